// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bash completion of bootdisk, made from the tables its help is made from (the commands, the
// options each takes with their values, the kinds of a creation list row), so that it offers
// what the program takes.
#include <string>

namespace bootdisk::cli {

std::string BashCompletion();

}  // namespace bootdisk::cli
