// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a command tells: its results on stdout, its errors on stderr with every line led by
// "bootdisk COMMAND: ", so a log names the command that failed.
#include <string_view>

namespace bootdisk::cli {

// message is UTF-8; each of its lines (LF, CR LF or the texts' lone CR) gets the lead.
void PrintError(std::string_view command, std::string_view message);

}  // namespace bootdisk::cli
