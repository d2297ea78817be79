// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drives held in byte vectors, with faults on demand, so every disk write runs without hardware.
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/RawDevice.h"

namespace bootdisk {

struct TSimDriveFaults {
    std::uint32_t openError = 0;   // the open fails with this code
    std::uint32_t sizeError = 0;   // the length query fails with this code
    std::uint32_t seekError = 0;
    std::uint32_t lockError = 0;
    std::optional<std::uint64_t> failWriteAtSector;   // a write reaching this sector fails there
    std::optional<std::uint64_t> shortWriteAtSector;  // a write reaching this sector stops there, no error
    int transientShortWrites = 0;                     // the next writes stop halfway, no error
};

struct TSimDrive {
    std::vector<std::uint8_t> bytes;
    THostDriveType type = THostDriveType::Removable;
    std::optional<TVolumeInfo> volume;
    std::optional<TFreeSpace> freeSpace;
    std::vector<std::string> mountPoints;
    std::string unmountRefusal;  // Unmount fails with this reason
    // What an open device of it tells of its disk; nothing: it cannot be asked.
    std::optional<TDiskIdentity> identity;
    TSimDriveFaults faults;
    // What happened to it.
    int openDevices = 0;
    int seeks = 0;
    int writes = 0;
    int flushes = 0;
    int writesFlushed = 0;  // writes made before the last flush
    int locks = 0;
    int unlocks = 0;
    int dismounts = 0;
    int unmounts = 0;
    std::optional<TDeviceAccess> lastAccess;
};

class TSimRawDevices : public IRawDevices {
public:
    static constexpr std::uint32_t kErrorFileNotFound = 2;
    static constexpr std::uint32_t kErrorSharingViolation = 32;
    static constexpr std::uint32_t kErrorWriteFault = 29;

    TSimDrive& Add(char drive, std::size_t bytes, THostDriveType type = THostDriveType::Removable);
    TSimDrive& Drive(char drive) { return drives_.at(drive); }

    std::unique_ptr<IRawDevice> Open(char drive, TDeviceAccess access, std::uint32_t& error) override;
    std::optional<TVolumeInfo> Volume(char drive) const override;
    std::optional<TFreeSpace> FreeSpace(char drive) const override;
    THostDriveType DriveType(char drive) const override;
    std::vector<std::string> MountPoints(char drive) const override;
    std::string Unmount(char drive) override;

private:
    std::map<char, TSimDrive> drives_;
};

}  // namespace bootdisk
