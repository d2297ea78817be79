// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes a run of sectors to floppy drive A: or B:, track by track through the BIOS on the 9x
// family or through the drive's device on NT, with retries and an optional confirmation.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "platform/HostSystem.h"
#include "platform/RawDevice.h"
#include "platform/Vwin32.h"

namespace bootdisk {

// The geometry of one floppy format, laid out like the start of a BIOS parameter block.
struct TFloppyMedia {
    std::uint16_t bytesPerSector;
    std::uint8_t sectorsPerCluster;
    std::uint16_t reservedSectors;
    std::uint8_t fatCount;
    std::uint16_t rootEntries;
    std::uint16_t totalSectors;
    std::uint8_t media;
    std::uint16_t sectorsPerFat;
    std::uint16_t sectorsPerTrack;
    std::uint16_t heads;
};

inline constexpr std::array<TFloppyMedia, 5> FloppyMediaTable{{
    {512, 1, 1, 2, 224, 2880, 0xF0, 9, 18, 2},
    {512, 2, 1, 2, 112, 720, 0xFD, 2, 9, 2},
    {512, 1, 1, 2, 224, 2400, 0xF9, 7, 15, 2},
    {512, 2, 1, 2, 112, 1440, 0xF9, 3, 9, 2},
    {512, 1, 1, 2, 224, 2880, 0xF0, 9, 18, 2},
}};
inline constexpr int kMedia144 = 4;
inline constexpr std::uint32_t kLargestFloppySectors = [] {
    std::uint32_t largest = 0;
    for (const auto& media : FloppyMediaTable) largest = media.totalSectors > largest ? media.totalSectors : largest;
    return largest;
}();

// Asks the user (text, caption); true only for Yes.
using TConfirmWrite = std::function<bool(const std::string& text, const std::string& caption)>;

struct TDirDiskHost {
    TWinVersion version;
    IRawDevices& devices;
    IVwin32& vwin32;
    TConfirmWrite confirm;
};

class TDirDisk {
public:
    static constexpr std::uint32_t kMinRetries = 1;
    static constexpr std::uint32_t kMaxRetries = 25;

    explicit TDirDisk(TDirDiskHost host);

    const std::string& About() const { return About_; }
    void SetAbout(const std::string&) { About_ = Banner(); }
    char DriveName() const { return DriveName_; }
    void SetDriveName(char drive);
    // The range rules count the floppy's own sectors, not the data area its file system reports:
    // that leaves out the boot sector, FATs and root directory, and is unknown on an unformatted
    // disk or a host without drive figures. The write checks the run against its media type.
    std::uint32_t FirstSector() const { return FirstSector_; }
    void SetFirstSector(std::uint32_t value);
    std::uint32_t Sectors() const { return Sectors_; }
    void SetSectors(std::uint32_t value);
    // NT: lock and dismount the volume around the write, so that the writes are let through and
    // the file system does not go on with the floppy's old contents.
    bool NeedDiskLock = false;
    bool NeedWriteWarn = false;
    std::uint32_t Retries() const { return Retries_; }
    void SetRetries(std::uint32_t value);

    bool DriveValid() const { return DriveValid_; }
    // Whether the last WriteSectors stopped because another program held the volume.
    bool VolumeInUse() const { return VolumeInUse_; }
    const TFreeSpace& DriveFigures() const { return Figures_; }

    // Writes Sectors sectors from the start of buffer to drive, beginning at FirstSector.
    bool WriteSectors(char drive, std::span<const std::uint8_t> buffer, int mediaType);

private:
    static std::string Banner();
    bool QueryFreeSpace(char drive);
    bool WriteThroughBios(char drive, std::span<const std::uint8_t> buffer, const TFloppyMedia& media);
    bool WriteThroughDevice(char drive, std::span<const std::uint8_t> buffer, const TFloppyMedia& media);

    TDirDiskHost host_;
    std::string About_;
    char DriveName_ = 0;
    std::uint32_t FirstSector_ = 0;
    std::uint32_t Sectors_ = 1;
    std::uint32_t Retries_ = 2;
    bool DriveValid_ = false;
    bool VolumeInUse_ = false;
    TFreeSpace Figures_;
};

}  // namespace bootdisk
