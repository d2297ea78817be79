// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostDrives.h"

#include <array>
#include <cstdio>
#include <exception>

namespace bootdisk {

std::string THostDrive::Details() const { return (model.empty() ? "" : model + ", ") + FormatSize(size); }

std::string DeviceLead(const std::string& device) {
    return device.empty() || device.back() == ':' ? device + " " : device + ": ";
}

std::optional<TDriveScan> GuardedScan(const std::function<TDriveScan()>& scan, std::string& lastFailure) {
    try {
        auto result = scan();
        lastFailure.clear();
        return result;
    } catch (const std::exception& error) {
        if (lastFailure != error.what()) std::fprintf(stderr, "the drives cannot be listed now: %s\n", error.what());
        lastFailure = error.what();
        return std::nullopt;
    }
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
