// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The disk object that fits the host: the VWIN32 services on the 9x family, the drive's device
// on every other platform.
#include <cstdint>
#include <memory>

#include "disk/vDisk.h"
#include "platform/HostSystem.h"
#include "platform/RawDevice.h"
#include "platform/Vwin32.h"

namespace bootdisk {

struct TDiskHost {
    TWinVersion version;
    std::uint32_t buildNumber = 0;
    IRawDevices& devices;
    IVwin32& vwin32;
};

constexpr std::uint32_t kPlatformNT = 2;

std::unique_ptr<TVirtualDisk> CreateDisk(char drive, const TDiskHost& host);

// The running host's disk access through devices.
TDiskHost HostDiskAccess(IRawDevices& devices);

}  // namespace bootdisk
