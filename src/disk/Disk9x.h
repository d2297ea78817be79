// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 9x family's disk object: MS-DOS device services reached through VWIN32.
#include <cstdint>
#include <memory>
#include <span>

#include "disk/vDisk.h"
#include "platform/Vwin32.h"

namespace bootdisk {

class TDisk9x : public TVirtualDisk {
public:
    // Builds above 1000 have the FAT32 services (extended absolute read and write).
    TDisk9x(char drive, IRawDevices& devices, IVwin32& vwin32, std::uint32_t buildNumber)
        : TVirtualDisk(drive, devices), vwin32_(vwin32), extended_(buildNumber > 1000) {}

    bool Dismount() override { return Failed; }
    bool Lock() override;
    bool Unlock() override;
    bool Open(bool readOnly) override;
    bool Close() override;
    bool ReadSectors(std::uint8_t* buffer, std::uint64_t start, std::uint64_t count) override;
    bool WriteSectors(const std::uint8_t* buffer, std::uint64_t start, std::uint64_t count) override;

    bool IsOpen() const { return VWin32Handle != nullptr; }
    std::uint32_t DriveIndex = 0;
    bool ReadOnly = false;
    std::uint16_t SectorsPerTrack = 0;
    std::uint16_t Heads = 0;
    std::uint16_t Cylinders = 0;

private:
    bool Request(std::uint32_t service, TVwin32Registers registers);
    bool QueryGeometry();
    bool Transfer(std::span<std::uint8_t> buffer, std::uint64_t start, std::uint64_t count, bool write);
    std::uint32_t UnitNumber() const { return DriveIndex + 1; }

    IVwin32& vwin32_;
    bool extended_;
    std::unique_ptr<IVwin32Service> VWin32Handle;
};

}  // namespace bootdisk
