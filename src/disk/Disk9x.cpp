// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/Disk9x.h"

#include <array>
#include <cctype>

#include "base/Bytes.h"

namespace bootdisk {

namespace {
constexpr std::uint32_t kDosIoctl = 0x440D;
constexpr std::uint32_t kGetDeviceParameters = 0x0860;
constexpr std::uint32_t kLockLogicalVolume = 0x084A;
constexpr std::uint32_t kUnlockLogicalVolume = 0x086A;
constexpr std::uint32_t kUnlockLogicalVolumeFat32 = 0x486A;
constexpr std::uint32_t kExtendedAbsoluteIo = 0x7305;
constexpr std::uint32_t kAllSectorsPacket = 0xFFFF;  // CX = -1: the request carries a packet

// MS-DOS device parameter block.
namespace dpb {
constexpr std::size_t kSize = 182;
constexpr std::size_t kCylinders = 4;
constexpr std::size_t kBytesPerSector = 7;
constexpr std::size_t kSectorsPerCluster = 9;
constexpr std::size_t kTotalSectors16 = 15;
constexpr std::size_t kSectorsPerTrack = 20;
constexpr std::size_t kHeads = 22;
constexpr std::size_t kTotalSectors = 28;
static_assert(kTotalSectors + 4 <= kSize);
}  // namespace dpb

// Absolute disk transfer packet.
namespace packet {
constexpr std::size_t kSize = 10;
constexpr std::size_t kStart = 0;
constexpr std::size_t kCount = 4;
constexpr std::size_t kBuffer = 6;
static_assert(kBuffer + 4 == kSize);
}  // namespace packet
}  // namespace

bool TDisk9x::Request(std::uint32_t service, TVwin32Registers registers) {
    if (!VWin32Handle) return SetResult(true, kErrorInvalidHandle);
    registers.flags = vwin32::kCarryFlag;
    auto block = registers.Encode();
    if (const std::uint32_t error = VWin32Handle->Control(service, block); error != 0)
        return SetResult(true, error);
    const auto answer = TVwin32Registers::Decode(block);
    // With the carry set, AX holds the service's error code.
    if (answer.flags & vwin32::kCarryFlag) return SetResult(true, answer.eax & 0xFFFF);
    return SetResult(false);
}

bool TDisk9x::Open(bool readOnly) {
    SetResult(false);
    VWin32Handle.reset();
    GetDriveInfo();
    DriveIndex = static_cast<std::uint32_t>(std::toupper(static_cast<unsigned char>(Drive)) - 'A');
    ReadOnly = readOnly;
    std::uint32_t error = 0;
    VWin32Handle = vwin32_.Open(error);
    if (!VWin32Handle) return SetResult(true, error);
    return QueryGeometry();
}

bool TDisk9x::QueryGeometry() {
    std::array<std::uint8_t, dpb::kSize> block{};
    TVwin32Registers r;
    r.eax = kDosIoctl;
    r.ebx = UnitNumber();
    r.ecx = kGetDeviceParameters;
    r.edx = VWin32Handle ? VWin32Handle->AddressOf(block) : 0;
    Request(vwin32::kDiosIoctl, r);
    BytesPerSector = GetLE16(block.data() + dpb::kBytesPerSector);
    SectorsPerCluster = block[dpb::kSectorsPerCluster];
    // DOS fills the 32-bit count only for volumes of 65,536 sectors or more.
    TotalSectors = GetLE32(block.data() + dpb::kTotalSectors);
    if (TotalSectors == 0) TotalSectors = GetLE16(block.data() + dpb::kTotalSectors16);
    SectorsPerTrack = GetLE16(block.data() + dpb::kSectorsPerTrack);
    Heads = GetLE16(block.data() + dpb::kHeads);
    Cylinders = GetLE16(block.data() + dpb::kCylinders);
    Size = BytesPerSector * TotalSectors;
    if (Failed) {
        BytesPerSector = 512;
        SectorsPerCluster = TotalSectors = Size = 0;
    }
    return Failed;
}

bool TDisk9x::Close() {
    SetResult(false);
    VWin32Handle.reset();
    return Failed;
}

bool TDisk9x::Lock() {
    for (const std::uint32_t permissions : {0u, 4u}) {
        TVwin32Registers r;
        r.eax = kDosIoctl;
        r.ebx = UnitNumber();  // lock level 0 in BH
        r.ecx = kLockLogicalVolume;
        r.edx = permissions;
        Request(vwin32::kDiosIoctl, r);
    }
    return Failed;
}

bool TDisk9x::Unlock() {
    const bool failed = Failed;
    const std::uint32_t error = LastError;
    TVwin32Registers r;
    r.eax = kDosIoctl;
    r.ebx = UnitNumber();
    r.ecx = extended_ ? kUnlockLogicalVolumeFat32 : kUnlockLogicalVolume;
    Request(vwin32::kDiosIoctl, r);
    return SetResult(failed, error);
}

bool TDisk9x::Transfer(std::span<std::uint8_t> buffer, std::uint64_t start, std::uint64_t count, bool write) {
    if (!VWin32Handle) return SetResult(true, kErrorInvalidHandle);
    // The packet holds a 32-bit start and a 16-bit count; a run beyond them is refused rather
    // than cut short or wrapped onto other sectors.
    if (start > 0xFFFFFFFFu || count > 0xFFFFu || start + count > 0x1'0000'0000u)
        return SetResult(true, kErrorInvalidParameter);
    std::array<std::uint8_t, packet::kSize> p{};
    PutLE32(p.data() + packet::kStart, static_cast<std::uint32_t>(start));
    PutLE16(p.data() + packet::kCount, static_cast<std::uint16_t>(count));
    PutLE32(p.data() + packet::kBuffer, VWin32Handle->AddressOf(buffer));
    TVwin32Registers r;
    r.ebx = VWin32Handle->AddressOf(p);
    r.ecx = kAllSectorsPacket;
    if (extended_) {
        r.eax = kExtendedAbsoluteIo;
        r.edx = UnitNumber();
        r.esi = write ? 1 : 0;
        return Request(vwin32::kDiosDriveInfo, r);
    }
    r.eax = DriveIndex;
    return Request(write ? vwin32::kDiosWrite : vwin32::kDiosRead, r);
}

bool TDisk9x::ReadSectors(std::uint8_t* buffer, std::uint64_t start, std::uint64_t count) {
    return Transfer({buffer, static_cast<std::size_t>(count * BytesPerSector)}, start, count, false);
}

bool TDisk9x::WriteSectors(const std::uint8_t* buffer, std::uint64_t start, std::uint64_t count) {
    if (ReadOnly) return SetResult(true, kErrorAccessDenied);
    // The service only reads from the buffer of a write.
    auto* data = const_cast<std::uint8_t*>(buffer);
    return Transfer({data, static_cast<std::size_t>(count * BytesPerSector)}, start, count, true);
}

}  // namespace bootdisk
