// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's UTF-8 strings and the wide strings of the Windows API.
#include <string>
#include <string_view>

namespace bootdisk {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace bootdisk
