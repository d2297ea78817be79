// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a command tells: its results on stdout, its errors on stderr with every line led by
// "bootdisk COMMAND: ", so a log names the command that failed.
#include <string_view>

namespace bootdisk::cli {

// text is UTF-8; each of its lines gets the lead.
void PrintError(std::string_view command, std::string_view text);

// Flushes and closes stdout at the end, as GNU programs do: false, after saying why on stderr,
// when what was printed did not all get out (a full disk, a closed pipe or descriptor).
bool CloseStandardOutput();

}  // namespace bootdisk::cli
