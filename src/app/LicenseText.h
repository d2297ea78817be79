// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The licence as the wizard's own viewer shows it, for a desktop where nothing opens text files.
#include <optional>
#include <string>

namespace bootdisk {

inline const std::string kLicenseFile = "license.txt";
// Far above any licence; a larger file is not one and is not read whole.
inline constexpr std::size_t kMaxLicenseSize = 1024 * 1024;

// The file's text (UTF-8), one "\n" ending each line; nothing when it cannot be read or is too
// large to be a licence.
std::optional<std::string> ReadLicense(const std::string& path);

}  // namespace bootdisk
