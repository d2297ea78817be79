// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostDrives.h"

#include <array>
#include <cstdio>

namespace bootdisk {

std::string THostDrive::Details() const { return (model.empty() ? "" : model + ", ") + FormatSize(size); }

std::string DeviceLead(const std::string& device) {
    return device.empty() || device.back() == ':' ? device + " " : device + ": ";
}

std::string FormatSize(std::uint64_t bytes) {
    constexpr std::array<const char*, 5> units = {"B", "kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= 1000.0 && unit + 1 < units.size()) {
        value /= 1000.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
    return text;
}

}  // namespace bootdisk
