// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The host's disks as candidates for a raw boot image: what identifies each one, and what the
// system tells about it that decides whether it is offered.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/StrConst.h"
#include "platform/RawDevice.h"

namespace bootdisk {

struct THostDrive {
    std::string device;  // "/dev/sdb", or "E:" on Windows
    std::string model;   // as the drive names itself; may be empty
    std::uint64_t size = 0;  // of the partition itself for a partition
    THostDriveType type = THostDriveType::Unknown;
    bool holdsSystem = false;
    std::vector<std::string> mountPoints;  // where file systems of it (or of its partitions) are mounted
    std::vector<std::string> usedBy;       // devices built on it (device-mapper, RAID)
    bool readOnly = false;
    // What tells this disk from another one later found at the same device.
    std::string identity;

    // "SanDisk Cruzer, 16.0 GB", or only the size when the drive names no model.
    std::string Details() const;
};

// The disks of the host, in the host's order: asked of the system's disk service where it answers,
// else of the kernel.
std::vector<THostDrive> ScanHostDrives();
// The disk at device; nothing when it is not a disk of this host.
std::optional<THostDrive> DescribeHostDrive(const std::string& device);

// The drives a run writes.
enum class TDriveWrite { Removable, Floppy, Disc };
// Whether writing a drive of this kind takes administrator rights this program lacks. Windows
// guards raw drive access and the SCSI pass-through alike: a process that is not elevated (on XP,
// not run by an administrator) lacks them. Elsewhere only a removable disk needs them, when no
// disk service opens devices on the user's behalf and the user is not root; a floppy (or its image
// file) and a writer go by their own device's permissions.
bool DriveWritesNeedAdministrator(TDriveWrite kind);
// Who is told how to get those rights, in the string-table text DriveRightsText gives.
enum class TFrontEnd { CommandLine, Wizard };
StrId DriveRightsText(TFrontEnd reader);
// Why this program cannot ask the system's disk service at all (a part of it cannot be loaded), so
// that drives are found and opened directly; empty when it can.
std::string DriveServiceProblem();

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
