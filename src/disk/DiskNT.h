// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The NT family's disk object: the drive's own device, opened exclusively.
#include <memory>

#include "disk/vDisk.h"

namespace bootdisk {

class TDiskNT : public TVirtualDisk {
public:
    using TVirtualDisk::TVirtualDisk;

    bool Dismount() override;
    bool Lock() override;
    bool Unlock() override;
    bool Open(bool readOnly) override;
    bool Close() override;
    bool ReadSectors(std::uint8_t* buffer, std::uint64_t start, std::uint64_t count) override;
    bool WriteSectors(const std::uint8_t* buffer, std::uint64_t start, std::uint64_t count) override;
    bool Flush() override;
    std::optional<TDiskIdentity> Identify() override { return Handle ? Handle->Identify() : std::nullopt; }

    bool IsOpen() const { return Handle != nullptr; }
    std::uint64_t Position = 0;  // where the device stands, so consecutive transfers need no seek

private:
    bool SeekTo(std::uint64_t offset);
    template <typename TCall>
    bool Transfer(std::uint64_t start, std::uint64_t count, std::uint32_t shortError, TCall call);
    bool Control(std::uint32_t (IRawDevice::*operation)());

    std::unique_ptr<IRawDevice> Handle;
};

}  // namespace bootdisk
