#pragma once
// The request blocks of the Windows SCSI pass-through (32-bit layout of SCSI_PASS_THROUGH and
// SCSI_PASS_THROUGH_DIRECT), built as bytes so that every host can check them.
#include <array>
#include <cstddef>
#include <cstdint>

#include "optical/ScsiTransport.h"

namespace bootdisk {

inline constexpr std::uint32_t kIoctlScsiPassThrough = 0x0004D004;
inline constexpr std::uint32_t kIoctlScsiPassThroughDirect = 0x0004D014;

namespace spti {
// Field offsets, shared by both structures; the direct one holds a buffer address at DataBuffer.
inline constexpr std::size_t Length = 0, ScsiStatus = 2, PathId = 3, TargetId = 4, Lun = 5, CdbLength = 6,
                             SenseInfoLength = 7, DataIn = 8, DataTransferLength = 12, TimeOutValue = 16,
                             DataBufferOffset = 20, DataBuffer = 20, SenseInfoOffset = 24, Cdb = 28;
inline constexpr std::size_t HeaderSize = 44;
inline constexpr std::size_t SenseSize = 128;
inline constexpr std::size_t SenseOffset = HeaderSize;
inline constexpr std::size_t DataSize = 512;
inline constexpr std::size_t DataOffset = SenseOffset + SenseSize;
inline constexpr std::size_t BufferedSize = DataOffset + DataSize;
inline constexpr std::size_t DirectSize = SenseOffset + SenseSize;
static_assert(Cdb + 16 == HeaderSize);
static_assert(DataOffset == 172 && BufferedSize == 684 && DirectSize == 172);
inline constexpr std::uint8_t DataOut = 0, DataInFlag = 1;
}  // namespace spti

using TSptiBufferedBlock = std::array<std::uint8_t, spti::BufferedSize>;
using TSptiDirectBlock = std::array<std::uint8_t, spti::DirectSize>;

// True when the request goes through the buffered block: answers that fit its data area and
// commands without data. Everything else goes direct.
bool UsesBufferedBlock(const TScsiRequest& request);

// The buffered block, data area empty; DataIn is 1 also for commands without data.
TSptiBufferedBlock MakeBufferedBlock(const TScsiRequest& request);

// The direct block; the caller's buffer address is set by the host transport (dataBufferAddress).
TSptiDirectBlock MakeDirectBlock(const TScsiRequest& request, std::uint32_t dataBufferAddress);

}  // namespace bootdisk
