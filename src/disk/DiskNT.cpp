// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/DiskNT.h"

#include <cstdint>
#include <span>

namespace bootdisk {

namespace {
constexpr std::uint64_t kSectorBytes = 512;
constexpr std::uint64_t kFloppyBytes = 1'474'560;  // drive A: is taken to hold a 1.44 MB floppy
}  // namespace

bool TDiskNT::Open(bool readOnly) {
    SetResult(false);
    if (Handle) Close();
    GetDriveInfo();

    std::uint32_t error = 0;
    auto device = devices_.Open(Drive, readOnly ? TDeviceAccess::ReadOnly : TDeviceAccess::ReadWrite, error);
    if (!device) return SetResult(true, error);

    if (Drive == 'A' || Drive == 'a') {
        Size = kFloppyBytes;
    } else if ((error = device->QuerySize(Size)) != 0) {
        // A device whose length is unknown cannot be addressed safely: it is closed again.
        return SetResult(true, error);
    }
    BytesPerSector = kSectorBytes;
    SectorsPerCluster = 1;
    TotalSectors = Size / kSectorBytes;

    if ((error = device->Seek(0)) != 0) return SetResult(true, error);
    Position = 0;
    Handle = std::move(device);
    return SetResult(false);
}

bool TDiskNT::Close() {
    SetResult(false);
    Handle.reset();
    return Failed;
}

bool TDiskNT::SeekTo(std::uint64_t offset) {
    if (offset == Position) return true;
    if (const std::uint32_t error = Handle->Seek(offset); error != 0) {
        SetResult(true, error);
        return false;
    }
    Position = offset;
    return true;
}

template <typename TCall>
bool TDiskNT::Transfer(std::uint64_t start, std::uint64_t count, std::uint32_t shortError, TCall call) {
    if (!Handle || BytesPerSector == 0) return SetResult(true, kErrorInvalidHandle);
    // A run whose offset or length does not fit is refused, never wrapped onto other sectors.
    const std::uint64_t limit = UINT64_MAX / BytesPerSector;
    if (start > limit || count > limit || count * BytesPerSector > SIZE_MAX)
        return SetResult(true, kErrorInvalidParameter);
    const std::uint64_t offset = start * BytesPerSector;
    const std::uint64_t length = count * BytesPerSector;
    if (!SeekTo(offset)) return Failed;
    const TTransfer done = call(static_cast<std::size_t>(length));
    Position += done.moved;
    if (done.error != 0) return SetResult(true, done.error);
    // Only every byte moved counts as done.
    return done.moved == length ? SetResult(false) : SetResult(true, shortError);
}

bool TDiskNT::ReadSectors(std::uint8_t* buffer, std::uint64_t start, std::uint64_t count) {
    return Transfer(start, count, kErrorReadFault, [&](std::size_t length) { return Handle->Read({buffer, length}); });
}

bool TDiskNT::WriteSectors(const std::uint8_t* buffer, std::uint64_t start, std::uint64_t count) {
    return Transfer(start, count, kErrorWriteFault, [&](std::size_t length) { return Handle->Write({buffer, length}); });
}

bool TDiskNT::Control(std::uint32_t (IRawDevice::*operation)()) {
    if (!Handle) return SetResult(true, kErrorInvalidHandle);
    const std::uint32_t error = (Handle.get()->*operation)();
    return SetResult(error != 0, error);
}

bool TDiskNT::Lock() { return Control(&IRawDevice::Lock); }
bool TDiskNT::Unlock() { return Control(&IRawDevice::Unlock); }
bool TDiskNT::Flush() { return Control(&IRawDevice::Flush); }
bool TDiskNT::Dismount() { return Control(&IRawDevice::Dismount); }

}  // namespace bootdisk
