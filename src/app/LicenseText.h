// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The licences (and help topics) as the wizard's own viewer shows them, for a desktop where nothing
// opens them.
#include <optional>
#include <string>

namespace bootdisk {

// The product's licence agreement, and the GNU GPL that the program itself is under.
inline const std::string kLicenseFile = "license.txt";
inline const std::string kGplFile = "gpl-3.0.txt";
// Far above any licence or topic; a larger file is not one and is not read whole.
inline constexpr std::size_t kMaxViewerTextSize = 1024 * 1024;

// The file's text (UTF-8), one "\n" ending each line; nothing when it cannot be read or is too
// large to be a licence or topic.
std::optional<std::string> ReadViewerText(const std::string& path);

}  // namespace bootdisk
