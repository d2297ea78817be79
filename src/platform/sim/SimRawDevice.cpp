// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sim/SimRawDevice.h"

#include <algorithm>

namespace bootdisk {
namespace {

constexpr std::uint64_t kSector = 512;

class TSimRawDevice : public IRawDevice {
public:
    TSimRawDevice(TSimDrive& drive, TDeviceAccess access) : drive_(drive), access_(access) { ++drive_.openDevices; }
    ~TSimRawDevice() override { --drive_.openDevices; }
    TSimRawDevice(const TSimRawDevice&) = delete;
    TSimRawDevice& operator=(const TSimRawDevice&) = delete;

    std::uint32_t QuerySize(std::uint64_t& size) override {
        if (drive_.faults.sizeError) return drive_.faults.sizeError;
        size = drive_.bytes.size();
        return 0;
    }
    std::uint32_t Seek(std::uint64_t offset) override {
        ++drive_.seeks;
        if (drive_.faults.seekError) return drive_.faults.seekError;
        position_ = offset;
        return 0;
    }
    TTransfer Read(std::span<std::uint8_t> data) override {
        const std::size_t n = Available(data.size());
        std::copy_n(drive_.bytes.begin() + static_cast<std::ptrdiff_t>(position_), n, data.begin());
        position_ += n;
        return {0, n};
    }
    TTransfer Write(std::span<const std::uint8_t> data) override {
        ++drive_.writes;
        if (access_ == TDeviceAccess::ReadOnly) return {5, 0};
        std::size_t n = Available(data.size());
        std::uint32_t error = 0;
        const auto stopAt = [&](std::optional<std::uint64_t> sector) {
            if (sector && *sector * kSector >= position_ && *sector * kSector < position_ + n) {
                n = static_cast<std::size_t>(*sector * kSector - position_);
                return true;
            }
            return false;
        };
        if (stopAt(drive_.faults.failWriteAtSector)) error = TSimRawDevices::kErrorWriteFault;
        stopAt(drive_.faults.shortWriteAtSector);
        if (drive_.faults.transientShortWrites > 0) {
            --drive_.faults.transientShortWrites;
            n /= 2;
        }
        std::copy_n(data.begin(), n, drive_.bytes.begin() + static_cast<std::ptrdiff_t>(position_));
        position_ += n;
        return {error, n};
    }
    std::uint32_t Flush() override {
        ++drive_.flushes;
        drive_.writesFlushed = drive_.writes;
        return 0;
    }
    std::uint32_t Lock() override {
        ++drive_.locks;
        return drive_.faults.lockError;
    }
    std::uint32_t Unlock() override {
        ++drive_.unlocks;
        return 0;
    }
    std::uint32_t Dismount() override {
        ++drive_.dismounts;
        return 0;
    }
    std::optional<TDiskIdentity> Identify() override { return drive_.identity; }

private:
    std::size_t Available(std::size_t wanted) const {
        const std::uint64_t size = drive_.bytes.size();
        return position_ >= size ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(wanted, size - position_));
    }
    TSimDrive& drive_;
    TDeviceAccess access_;
    std::uint64_t position_ = 0;
};

}  // namespace

TSimDrive& TSimRawDevices::Add(char drive, std::size_t bytes, THostDriveType type) {
    TSimDrive& entry = drives_[drive];
    entry.bytes.assign(bytes, 0);
    entry.type = type;
    return entry;
}

std::unique_ptr<IRawDevice> TSimRawDevices::Open(char drive, TDeviceAccess access, std::uint32_t& error) {
    const auto it = drives_.find(drive);
    error = it == drives_.end() ? kErrorFileNotFound : it->second.faults.openError;
    if (!error && it->second.openDevices > 0) error = kErrorSharingViolation;  // exclusive
    if (error) return nullptr;
    it->second.lastAccess = access;
    return std::make_unique<TSimRawDevice>(it->second, access);
}

std::optional<TVolumeInfo> TSimRawDevices::Volume(char drive) const {
    const auto it = drives_.find(drive);
    return it == drives_.end() ? std::nullopt : it->second.volume;
}

std::optional<TFreeSpace> TSimRawDevices::FreeSpace(char drive) const {
    const auto it = drives_.find(drive);
    return it == drives_.end() ? std::nullopt : it->second.freeSpace;
}

std::vector<std::string> TSimRawDevices::MountPoints(char drive) const {
    const auto it = drives_.find(drive);
    return it == drives_.end() ? std::vector<std::string>{} : it->second.mountPoints;
}

std::string TSimRawDevices::Unmount(char drive) {
    auto& sim = drives_.at(drive);
    ++sim.unmounts;
    if (sim.unmountRefusal.empty()) sim.mountPoints.clear();
    return sim.unmountRefusal;
}

THostDriveType TSimRawDevices::DriveType(char drive) const {
    const auto it = drives_.find(drive);
    return it == drives_.end() ? THostDriveType::Unknown : it->second.type;
}

}  // namespace bootdisk
