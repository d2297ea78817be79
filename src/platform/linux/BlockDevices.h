// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the kernel tells about block devices: sysfs under /sys and the mount table. The roots are
// parameters so tests can lay out a made-up system.
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/HostDrives.h"
#include "platform/RawDevice.h"

namespace bootdisk::linuxhost {

struct TSystemPaths {
    std::string sys = "/sys";
    std::string mounts = "/proc/self/mounts";
    std::string root = "/";  // the running system's root folder
    std::string swaps = "/proc/swaps";
};

// "MAJOR:MINOR" of the block device node at path; nothing when path is no block device.
std::optional<std::string> NodeNumber(const std::string& path);
// The whole disk's number for a device number (the disk itself, or a partition's parent).
std::optional<std::string> DiskOf(const std::string& number, const TSystemPaths& paths);
// The sysfs folder of the device numbered number, named as the kernel names it ("sdb", "sdb1").
std::optional<std::string> BlockFolder(const std::string& number, const TSystemPaths& paths);

// What the block device with the sysfs folder is: a partition; a floppy drive or a disk the kernel
// calls removable; or another, fixed disk.
THostDriveType BlockType(const std::string& folder);
// The same for the block device node at path, read now; Unknown when path is no block device.
THostDriveType BlockNodeType(const std::string& path, const TSystemPaths& paths);

// "MAJOR:MINOR" of the whole disk that holds the block device node at path (the disk itself for a
// disk, its parent for a partition); nothing when path is no block device.
std::optional<std::string> DiskNumberOfNode(const std::string& path, const TSystemPaths& paths);

// The mount points of file systems on the disk numbered disk or on its partitions.
std::vector<std::string> MountPointsOnDisk(const std::string& disk, const TSystemPaths& paths);

// The disks the running system stands on: those holding its root, /boot, /boot/efi and /usr and a
// live system's boot medium, followed through overlays, loop devices and the files they are made
// of (a live stick's root is an overlay of a file on it), and those holding its swap.
struct TSystemDisks {
    std::set<std::string> numbers;  // of whole disks, "8:0"
    // A file system named above is a ZFS dataset, whose pool only the disk service can place.
    bool onZfs = false;
};
TSystemDisks SystemDisks(const TSystemPaths& paths);
// Where the system's own file systems, and a live system's boot medium, are mounted.
bool IsSystemMountPoint(const std::string& point);

// Devices built on the disk or its partitions (device-mapper, RAID): their kernel names.
std::vector<std::string> HoldersOfDisk(const std::string& blockName, const TSystemPaths& paths);

// The block device with the sysfs folder, reached at devicePath, as a candidate for the boot image.
THostDrive DescribeBlock(const std::string& folder, const std::string& devicePath, const TSystemPaths& paths);
// The block device node at device; nothing when it is no block device of this host.
std::optional<THostDrive> DescribeNode(const std::string& device, const TSystemPaths& paths);
// The block device numbered number ("8:16"), found as /dev/block/number; nothing when the kernel
// has none.
std::optional<THostDrive> DescribeNumber(const std::string& number, const TSystemPaths& paths);
// "MAJOR:MINOR" of a device number.
std::string NumberText(dev_t number);
// The host's drives and what writing a removable one takes, from one question to the disk service
// where it answers, else from the kernel.
TDriveScan ScanDrives();
// A watch over scan, made on a thread of its own (THostDriveWatch::Start scans with ScanDrives).
std::unique_ptr<THostDriveWatch> StartDriveWatch(std::function<TDriveScan()> scan, std::function<void()> changed);

// The host's devices, with drive types read under paths.
std::unique_ptr<IHostRawDevices> CreateRawDevices(const TSystemPaths& paths);

}  // namespace bootdisk::linuxhost
