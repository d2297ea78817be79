// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The host's disks as candidates for a raw boot image: what identifies each one, and what the
// system tells about it that decides whether it is offered.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
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
    // The system's number of the block device ("8:16"; the N of \\.\PhysicalDriveN on Windows);
    // empty when the system gives none.
    std::string number{};
    // Where a disk's volumes have names of their own (drive letters on Windows), each volume of the
    // disk as the user knows it: "E: (DATA, 28.0 GB)". Writing the drive erases them all.
    std::vector<std::string> volumes{};

    // "SanDisk Cruzer, 16.0 GB", or only the size when the drive names no model.
    std::string Details() const;
    bool operator==(const THostDrive&) const = default;
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
// The host's drives as last asked, with whether writing a removable one takes rights this program
// lacks (both come from the disk service where there is one).
struct TDriveScan {
    std::vector<THostDrive> drives;
    bool writesNeedAdministrator = false;
    bool operator==(const TDriveScan&) const = default;
};

// The host's drives followed apart from the window that shows them: the system may take its time to
// answer (a disk service busy asking the user for authorisation), and the window reads the latest
// scan at once instead of waiting for it. Where the system says that drives came or went the scan
// is made again at once, else once a second.
class THostDriveWatch {
public:
    // changed is called, from any thread, when a scan differs from the one before.
    static std::unique_ptr<THostDriveWatch> Start(std::function<void()> changed);
    virtual ~THostDriveWatch() = default;
    // The latest scan; before the first one has come, waits at most wait for it, then nothing.
    virtual std::optional<TDriveScan> Latest(std::chrono::milliseconds wait) = 0;
};

// One scan of a watch's thread: a scan that throws leaves the watch's last list standing (nothing is
// returned) and is said on stderr, once for each new reason; lastFailure keeps the reason.
std::optional<TDriveScan> GuardedScan(const std::function<TDriveScan()>& scan, std::string& lastFailure);

// What a thread with a window does while the system's disk service keeps it waiting.
struct TDriveServiceWait {
    // Called every few milliseconds until the service answers: device is the drive whose opening or
    // unmounting may wait for the user's authorisation, empty for a question about drives.
    std::function<void(const std::string& device, std::chrono::milliseconds waited)> waiting;
    // Once the service has answered a call that was waited for.
    std::function<void()> answered;
};
// The calling thread's calls to the disk service run apart from it from now on, and wait through
// wait; an empty wait ends that. Other threads' calls block as before.
void SetDriveServiceWait(TDriveServiceWait wait);

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
