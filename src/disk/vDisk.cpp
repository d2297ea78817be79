// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/vDisk.h"

namespace bootdisk {

void TVirtualDisk::GetDriveInfo() {
    if (const auto volume = devices_.Volume(Drive)) {
        FileSystemName = volume->fileSystemName;
        VolumeName = volume->volumeName;
        const auto space = devices_.FreeSpace(Drive);
        ClusterBytes = space ? space->sectorsPerCluster * space->bytesPerSector : 0;
    } else {
        FileSystemName.clear();
        VolumeName.clear();
        ClusterBytes = 0;
    }
    switch (devices_.DriveType(Drive)) {
        case THostDriveType::Unknown: DriveType = 0; break;
        case THostDriveType::Removable: DriveType = 3; break;
        case THostDriveType::Fixed: DriveType = 1; break;
        case THostDriveType::Partition:
        case THostDriveType::Other: DriveType = 4; break;
    }
}

}  // namespace bootdisk
