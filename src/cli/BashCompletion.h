// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bash completion of bootdisk, made from the tables its help is made from (the commands, the
// options each takes with their values, the kinds of a creation list row), so that it offers
// what the program takes.
#include <string>
#include <vector>

namespace bootdisk::cli {

// languages: the codes of the language files that ship ("en", "de"), which --language takes.
std::string BashCompletion(const std::vector<std::string>& languages);

}  // namespace bootdisk::cli
