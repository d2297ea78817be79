// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sector-level access to a whole drive below its file system, and the drive queries the disk
// objects make. Every operation answers with the OS error code, 0 meaning success.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace bootdisk {

enum class TDeviceAccess { ReadOnly, ReadWrite };
// A floppy drive counts as removable; a partition is part of a disk, never a drive of its own.
enum class THostDriveType { Unknown, Removable, Fixed, Partition, Other };

struct TVolumeInfo {
    std::string volumeName;
    std::string fileSystemName;
};

struct TFreeSpace {
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
};

// What tells the disk an open device reaches from any other: the system's number of it ("8:16",
// or the N of \\.\PhysicalDriveN), the drive's identity as THostDrive gives it, and the drive's
// details for naming it ("SanDisk Cruzer, 16.0 GB"). An empty field is one the host cannot tell.
struct TDiskIdentity {
    std::string number;
    std::string identity;
    std::string details;
};

// Open's error for a removable drive whose whole disk cannot be found: its letter alone reaches
// only a volume, and a boot image written there does not boot. Outside the system's own codes.
inline constexpr std::uint32_t kErrorNoWholeDisk = 0x2000'0001;

struct TTransfer {
    std::uint32_t error = 0;
    std::size_t moved = 0;
};

// An open device; the destructor closes it.
class IRawDevice {
public:
    virtual ~IRawDevice() = default;
    virtual std::uint32_t QuerySize(std::uint64_t& size) = 0;
    virtual std::uint32_t Seek(std::uint64_t offset) = 0;
    virtual TTransfer Read(std::span<std::uint8_t> data) = 0;
    virtual TTransfer Write(std::span<const std::uint8_t> data) = 0;
    virtual std::uint32_t Flush() = 0;
    // The volume this device is (a floppy drive's): Lock takes it for this handle alone, waiting a
    // few seconds for programs that hold it briefly; Dismount makes its file system let go, so that
    // nothing of the old contents stays cached; Unlock gives it back. A device that is a whole disk
    // leaves its volumes to HoldVolumes; hosts that unmount instead (Unmount) have nothing to lock.
    virtual std::uint32_t Lock() = 0;
    virtual std::uint32_t Unlock() = 0;
    virtual std::uint32_t Dismount() = 0;
    // The disk this device reaches, asked of the open device itself, so that what is written is
    // the disk the user confirmed even when another one took its place in the meantime. Nothing
    // where the host cannot ask (an image file, the 9x family).
    virtual std::optional<TDiskIdentity> Identify() { return std::nullopt; }
};

// Volumes kept from their file systems while it lives.
class TVolumeHold {
public:
    virtual ~TVolumeHold() = default;
};

class IRawDevices {
public:
    virtual ~IRawDevices() = default;
    // Opens the drive's device exclusively (on Windows the whole disk behind a removable drive's
    // letter); nothing and the error code when it cannot.
    virtual std::unique_ptr<IRawDevice> Open(char drive, TDeviceAccess access, std::uint32_t& error) = 0;
    virtual std::optional<TVolumeInfo> Volume(char drive) const = 0;
    virtual std::optional<TFreeSpace> FreeSpace(char drive) const = 0;
    // Asked of the system at each call: the medium behind a drive can change between two copies.
    virtual THostDriveType DriveType(char drive) const = 0;
    // Where file systems on the drive are mounted, when the host mounts file systems beside raw
    // access (Windows locks the volume instead and answers nothing).
    virtual std::vector<std::string> MountPoints(char drive) const = 0;
    // Unmounts every file system on the drive; empty when done, else the system's reason.
    virtual std::string Unmount(char drive) = 0;
    // Takes every volume of the disk behind drive from its file system until the hold ends (on
    // Windows each is locked, waiting a few seconds for programs that hold it briefly, and
    // dismounted), so that raw writes of the disk are let through and no file system keeps the old
    // contents. Nothing, and the error code, when a volume stays in use. Hosts that unmount
    // instead (Unmount) hold nothing.
    virtual std::unique_ptr<TVolumeHold> HoldVolumes(char drive, std::uint32_t& error) {
        (void)drive;
        error = 0;
        return std::make_unique<TVolumeHold>();
    }
};

// The host's devices. On hosts without drive letters a letter is mapped to a device node or file
// with Assign; an unassigned letter cannot be opened.
class IHostRawDevices : public IRawDevices {
public:
    // type is the drive type of a file at path, which no system can tell; a device's type is the
    // system's.
    virtual void Assign(char drive, std::string path, THostDriveType type) = 0;
    // The letter by which the disk objects reach device ("/dev/sdb", or "E:" on Windows); a letter
    // from C: up is assigned to it where needed. 0 when no letter is left.
    virtual char Attach(const std::string& device, THostDriveType type) = 0;
};
std::unique_ptr<IHostRawDevices> CreateHostRawDevices();

}  // namespace bootdisk
