// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Just enough JSON for the command line's listings: strings escaped, arrays of strings.
#include <string>
#include <string_view>
#include <vector>

namespace bootdisk::cli {

// text as a JSON string. Text that is not UTF-8 (a drive's model in another code page) is taken
// as Windows-1252, so the output always parses.
std::string JsonString(std::string_view text);
std::string JsonStrings(const std::vector<std::string>& texts);

}  // namespace bootdisk::cli
