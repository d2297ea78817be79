// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The disk service's client lives in a module of its own (bootdisk-udisks.so), loaded with the first
// question to the service: the D-Bus libraries it needs (sdbus-c++, libsystemd and theirs) then cost
// nothing to a run that never asks about drives.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/HostDrives.h"

namespace bootdisk::linuxhost {

inline constexpr const char* kUdisksModuleName = "bootdisk-udisks.so";
inline constexpr const char* kUdisksModuleEntry = "bootdisk_udisks_functions";

// TUdisks's operations as the module hands them over. The module must come from the same version
// of the program: it passes the program's own types.
struct TUdisksFunctions {
    const char* version;      // BOOTDISK_VERSION of the module
    std::size_t driveLayout;  // sizeof(THostDrive) there
    bool (*answers)();
    std::optional<std::vector<THostDrive>> (*drives)();
    std::optional<THostDrive> (*describe)(const std::string& device);
    std::optional<int> (*open)(const std::string& device, bool write);
    std::optional<std::string> (*unmount)(const std::string& device);
    std::shared_ptr<void> (*watch)(std::function<void()> changed);
};

// Why the module cannot be used, empty when it can (or has not been needed yet).
std::string UdisksModuleProblem();

}  // namespace bootdisk::linuxhost
