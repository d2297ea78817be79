// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts DOS shows on the boot screen are in the DOS code page of the Western languages, 850,
// not in the Windows-1252 of the rest of the boot disk's files.
#include <string>
#include <string_view>

namespace bootdisk {

// UTF-8 text in code page 850. A character the code page lacks becomes its nearest plain ASCII
// ("EUR" for the euro sign, "..." for the ellipsis), or "?" when there is none; a malformed
// sequence becomes "?" too.
std::string Utf8ToCp850(std::string_view text);

}  // namespace bootdisk
