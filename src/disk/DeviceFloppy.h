// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A floppy's own device (a device node or a 1.44 MB image file) as the sector device of the FAT
// layer, for hosts that cannot mount the floppy's file system.
#include <cstdint>
#include <vector>

#include "image/Fat12Format.h"
#include "image/FloppyDriveFiles.h"
#include "image/Vfloppy.h"
#include "platform/RawDevice.h"

namespace bootdisk {

// Sectors are read from the device once and kept; changed sectors reach it, in order, on Flush.
// Transfers outside the device's first 2880 sectors fail.
class TDeviceFloppy : public TGenericFloppy {
public:
    explicit TDeviceFloppy(IRawDevice& device);

    std::uint32_t WriteSectors(std::uint32_t lba, const std::uint8_t* buffer, std::uint32_t count) override;
    std::uint32_t ReadSectors(std::uint32_t lba, std::uint8_t* buffer, std::uint32_t count) override;
    // True when every changed sector is on the device.
    bool Flush();

private:
    enum class TState : std::uint8_t { Unread, Clean, Changed };
    bool Inside(std::uint32_t lba, std::uint32_t count) const;
    bool Load(std::uint32_t lba, std::uint32_t count);
    std::uint8_t* Sector(std::uint32_t lba) { return cache_.data() + std::size_t(lba) * fat12::kSectorSize; }

    IRawDevice& device_;
    std::uint32_t sectors_ = 0;
    std::vector<std::uint8_t> cache_;
    std::vector<TState> state_;
};

// Reaches the floppy of drive through its device, opened for each piece of work and closed after it,
// so other writers of the drive can open it in between.
TFloppyAccess DeviceFloppyAccess(IRawDevices& devices, char drive, TDeviceAccess access);

}  // namespace bootdisk
