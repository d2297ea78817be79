// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a command tells: its results on stdout, its errors on stderr with every line led by
// "bootdisk COMMAND: ", so a log names the command that failed. Both are written in the
// terminal's character set; the texts handed in are UTF-8.
#include <cstdio>
#include <string_view>

namespace bootdisk::cli {

// Each line of message (LF, CR LF or the texts' lone CR) gets the lead.
void PrintError(std::string_view command, std::string_view message);
// text as it stands, on stdout unless another stream is named.
void Print(std::string_view text, std::FILE* stream = stdout);

// Flushes and closes stdout at the end, as GNU programs do: false, after saying why on stderr,
// when what was printed did not all get out (a full disk, a closed pipe or descriptor).
bool CloseStandardOutput();

}  // namespace bootdisk::cli
