#pragma once
// The host's disks as candidates for a raw boot image: what identifies each one, and what the
// system tells about it that decides whether it is offered.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/RawDevice.h"

namespace bootdisk {

struct THostDrive {
    std::string device;  // "/dev/sdb", or "E:" on Windows
    std::string model;   // as the drive names itself; may be empty
    std::uint64_t size = 0;  // of the partition itself for a partition
    THostDriveType type = THostDriveType::Unknown;
    bool holdsSystem = false;
    std::optional<std::string> mountedAt;  // a file system of it (or of a partition) mounted there
    std::vector<std::string> usedBy;       // devices built on it (device-mapper, RAID)
    bool readOnly = false;

    // "SanDisk Cruzer, 16.0 GB", or only the size when the drive names no model.
    std::string Details() const;
};

// The disks of the host, in the host's order.
std::vector<THostDrive> ScanHostDrives();
// The disk at device; nothing when it is not a disk of this host.
std::optional<THostDrive> DescribeHostDrive(const std::string& device);

// The floppy drive's device: "/dev/fd0", or "A:" on Windows.
std::string DefaultFloppyDevice();
// Whether the floppy installation's drive A: can stand for device: on Windows only A: itself, as
// drive letters are the system's; elsewhere any device node or file, whose kind is checked when it
// is attached.
bool CanStandForFloppyDrive(const std::string& device);
// How a CD/DVD writer is named on this host, for help texts: "/dev/srN, iscsi://...", or "E:".
std::string WriterDeviceExample();
// "E: " before a message about a device: a drive letter brings its own colon.
std::string DeviceLead(const std::string& device);

// "16.0 GB", "1.4 MB": decimal units, as drives are sold.
std::string FormatSize(std::uint64_t bytes);

}  // namespace bootdisk
