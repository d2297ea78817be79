// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LicenseText.h"

#include <fstream>
#include <iterator>

namespace bootdisk {

std::optional<std::string> ReadLicense(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes(kMaxLicenseSize + 1, '\0');
    file.read(bytes.data(), std::streamsize(bytes.size()));
    if (file.bad() || std::size_t(file.gcount()) > kMaxLicenseSize) return std::nullopt;
    bytes.resize(std::size_t(file.gcount()));
    std::string text;
    for (const char c : bytes)
        if (c != '\r') text += c;
    return text;
}

}  // namespace bootdisk
