// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Disk objects: a drive addressed as a flat array of sectors, below its file system. Every
// operation that answers a bool answers Failed (true = failed), with the OS code in LastError.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/RawDevice.h"

namespace bootdisk {

// OS error codes the disk objects give themselves when no OS call has failed.
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorWriteFault = 29;
constexpr std::uint32_t kErrorReadFault = 30;
constexpr std::uint32_t kErrorInvalidParameter = 87;

class TVirtualDisk {
public:
    std::uint64_t TotalSectors = 0;
    std::uint64_t SectorsPerCluster = 0;
    std::uint64_t BytesPerSector = 0;
    std::uint64_t Size = 0;
    char Drive = 0;
    bool Failed = true;
    std::uint32_t LastError = 0;
    std::uint8_t DriveType = 0;  // 0 unknown, 1 fixed, 3 removable, 4 any other kind
    std::string FileSystemName;
    std::uint32_t ClusterBytes = 0;
    std::string VolumeName;

    TVirtualDisk(char drive, IRawDevices& devices) : Drive(drive), devices_(devices) {}
    virtual ~TVirtualDisk() = default;
    TVirtualDisk(const TVirtualDisk&) = delete;
    TVirtualDisk& operator=(const TVirtualDisk&) = delete;

    virtual bool Dismount() = 0;
    virtual bool Lock() = 0;
    virtual bool Unlock() = 0;
    virtual bool Open(bool readOnly) = 0;
    bool OpenDrive(char drive, bool readOnly) {
        Drive = drive;
        return Open(readOnly);
    }
    virtual bool Close() = 0;
    // buffer holds at least count * BytesPerSector bytes.
    virtual bool ReadSectors(std::uint8_t* buffer, std::uint64_t start, std::uint64_t count) = 0;
    virtual bool WriteSectors(const std::uint8_t* buffer, std::uint64_t start, std::uint64_t count) = 0;
    virtual void GetDriveInfo();
    // Puts every write on the medium; the 9x services write through already.
    virtual bool Flush() { return SetResult(false); }
    // The disk the open drive reaches (see IRawDevice::Identify); the 9x services cannot tell.
    virtual std::optional<TDiskIdentity> Identify() { return std::nullopt; }

protected:
    // Records the outcome; error is the OS code that goes with it.
    bool SetResult(bool failed, std::uint32_t error = 0) {
        Failed = failed;
        LastError = error;
        return Failed;
    }
    IRawDevices& devices_;
};

}  // namespace bootdisk
