// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/Disk.h"

#include "disk/Disk9x.h"
#include "disk/DiskNT.h"
#include "platform/HostSystem.h"
#include "platform/Vwin32.h"

namespace bootdisk {

std::unique_ptr<TVirtualDisk> CreateDisk(char drive, const TDiskHost& host) {
    if (host.version.platformId == kPlatformNT) return std::make_unique<TDiskNT>(drive, host.devices);
    return std::make_unique<TDisk9x>(drive, host.devices, host.vwin32, host.buildNumber);
}

TDiskHost HostDiskAccess(IRawDevices& devices) {
    return {RealHost().Version(), RealHost().BuildNumber(), devices, HostVwin32()};
}

}  // namespace bootdisk
