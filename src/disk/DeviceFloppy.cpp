// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/DeviceFloppy.h"

#include <algorithm>
#include <cstring>

#include "image/Fat12Format.h"

namespace bootdisk {

using fat12::kSectorSize;

TDeviceFloppy::TDeviceFloppy(IRawDevice& device) : device_(device) {
    std::uint64_t size = fat12::kImageSize;
    if (device_.QuerySize(size) != 0) size = fat12::kImageSize;  // a floppy drive that does not say
    sectors_ = std::uint32_t(std::min<std::uint64_t>(size, fat12::kImageSize) / kSectorSize);
    cache_.resize(std::size_t(sectors_) * kSectorSize);
    state_.assign(sectors_, TState::Unread);
}

bool TDeviceFloppy::Inside(std::uint32_t lba, std::uint32_t count) const {
    return count > 0 && lba < sectors_ && count <= sectors_ - lba;
}

bool TDeviceFloppy::Load(std::uint32_t lba, std::uint32_t count) {
    const auto first = std::find(state_.begin() + lba, state_.begin() + lba + count, TState::Unread);
    if (first == state_.begin() + lba + count) return true;
    // One read from the first sector not yet held to the end of the run; held sectors keep their bytes.
    const auto from = std::uint32_t(first - state_.begin());
    const std::uint32_t n = lba + count - from;
    std::vector<std::uint8_t> bytes(std::size_t(n) * kSectorSize);
    if (device_.Seek(std::uint64_t{from} * kSectorSize) != 0) return false;
    const TTransfer done = device_.Read(bytes);
    if (done.error != 0 || done.moved != bytes.size()) return false;
    for (std::uint32_t i = 0; i < n; ++i) {
        if (state_[from + i] != TState::Unread) continue;
        std::memcpy(Sector(from + i), bytes.data() + std::size_t(i) * kSectorSize, kSectorSize);
        state_[from + i] = TState::Clean;
    }
    return true;
}

std::uint32_t TDeviceFloppy::ReadSectors(std::uint32_t lba, std::uint8_t* buffer, std::uint32_t count) {
    if (!Inside(lba, count) || !Load(lba, count)) return 0;
    std::memcpy(buffer, Sector(lba), std::size_t(count) * kSectorSize);
    return count;
}

std::uint32_t TDeviceFloppy::WriteSectors(std::uint32_t lba, const std::uint8_t* buffer, std::uint32_t count) {
    if (!Inside(lba, count)) return 0;
    std::memcpy(Sector(lba), buffer, std::size_t(count) * kSectorSize);
    std::fill_n(state_.begin() + lba, count, TState::Changed);
    return count;
}

bool TDeviceFloppy::Flush() {
    bool wrote = false;
    for (std::uint32_t lba = 0; lba < sectors_;) {
        if (state_[lba] != TState::Changed) {
            ++lba;
            continue;
        }
        std::uint32_t end = lba;
        while (end < sectors_ && state_[end] == TState::Changed) ++end;
        const std::span<const std::uint8_t> run(Sector(lba), std::size_t(end - lba) * kSectorSize);
        if (device_.Seek(std::uint64_t{lba} * kSectorSize) != 0) return false;
        const TTransfer done = device_.Write(run);
        if (done.error != 0 || done.moved != run.size()) return false;
        std::fill(state_.begin() + lba, state_.begin() + end, TState::Clean);
        wrote = true;
        lba = end;
    }
    return !wrote || device_.Flush() == 0;
}

TFloppyAccess DeviceFloppyAccess(IRawDevices& devices, char drive, TDeviceAccess access) {
    return [&devices, drive, access](const TFloppyWork& work) {
        std::uint32_t error = 0;
        const auto device = devices.Open(drive, access, error);
        if (!device) return false;
        TDeviceFloppy floppy(*device);
        const bool done = work(floppy);
        // What the work changed is kept even when it failed half-way, as a host file system would.
        return floppy.Flush() && done;
    };
}

}  // namespace bootdisk
