// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The request blocks of the Windows SCSI pass-through (SCSI_PASS_THROUGH and
// SCSI_PASS_THROUGH_DIRECT), built as bytes so that every host can check them. The system reads
// them in the caller's own layout: 32-bit programs (also on 64-bit Windows) use the 32-bit one,
// 64-bit programs the 64-bit one, where the pointer-sized field moves the fields after it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "optical/ScsiTransport.h"

namespace bootdisk {

inline constexpr std::uint32_t kIoctlScsiPassThrough = 0x0004D004;
inline constexpr std::uint32_t kIoctlScsiPassThroughDirect = 0x0004D014;

namespace spti {
// Offsets of the fields before the pointer-sized one, the same in both layouts.
inline constexpr std::size_t Length = 0, ScsiStatus = 2, PathId = 3, TargetId = 4, Lun = 5, CdbLength = 6,
                             SenseInfoLength = 7, DataIn = 8, DataTransferLength = 12, TimeOutValue = 16;
inline constexpr std::size_t SenseSize = 128;
inline constexpr std::size_t DataSize = 512;
inline constexpr std::uint8_t DataOut = 0, DataInFlag = 1;
}  // namespace spti

// Where the layouts differ. DataBuffer (direct block) and DataBufferOffset (buffered block) share
// the pointer-sized field; the sense area follows the structure, the buffered data area the sense.
struct TSptiLayout {
    std::size_t dataBuffer;       // offset of the pointer-sized field
    std::size_t pointerSize;      // 4 or 8
    std::size_t senseInfoOffset;  // offset of the SenseInfoOffset field
    std::size_t cdb;              // offset of the 16-byte command block
    std::size_t headerSize;       // sizeof the structure, padding included

    constexpr std::size_t SenseOffset() const { return headerSize; }
    constexpr std::size_t DataOffset() const { return headerSize + spti::SenseSize; }
    constexpr std::size_t BufferedSize() const { return DataOffset() + spti::DataSize; }
    constexpr std::size_t DirectSize() const { return headerSize + spti::SenseSize; }
};

inline constexpr TSptiLayout kSptiLayout32{20, 4, 24, 28, 44};
inline constexpr TSptiLayout kSptiLayout64{24, 8, 32, 36, 56};
static_assert(kSptiLayout32.cdb + 16 == kSptiLayout32.headerSize);
static_assert(kSptiLayout32.DataOffset() == 172 && kSptiLayout32.BufferedSize() == 684 &&
              kSptiLayout32.DirectSize() == 172);
// The 64-bit structure ends 4 bytes after its command block, padded to its 8-byte alignment.
static_assert(kSptiLayout64.cdb + 16 + 4 == kSptiLayout64.headerSize && kSptiLayout64.headerSize % 8 == 0);
static_assert(kSptiLayout64.DataOffset() == 184 && kSptiLayout64.BufferedSize() == 696);

// The layout of this program's own pointer width.
inline constexpr TSptiLayout kSptiHostLayout = sizeof(void*) == 8 ? kSptiLayout64 : kSptiLayout32;

using TSptiBlock = std::vector<std::uint8_t>;

// True when the request goes through the buffered block: answers that fit its data area and
// commands without data. Everything else goes direct.
bool UsesBufferedBlock(const TScsiRequest& request);

// The buffered block, data area empty; DataIn is 1 also for commands without data.
TSptiBlock MakeBufferedBlock(const TScsiRequest& request, const TSptiLayout& layout = kSptiHostLayout);

// The direct block; the caller's buffer address is set by the host transport (dataBufferAddress).
TSptiBlock MakeDirectBlock(const TScsiRequest& request, std::uint64_t dataBufferAddress,
                           const TSptiLayout& layout = kSptiHostLayout);

// What the drive answered in a block the system has carried: its status byte, the bytes that moved
// (the system leaves them in DataTransferLength) and, with CHECK CONDITION, the SenseInfoLength
// bytes of the sense area.
TScsiReply SptiReply(const TSptiBlock& block, const TSptiLayout& layout = kSptiHostLayout);

}  // namespace bootdisk
