// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte offsets of the SCSI multimedia answers and parameter blocks the recorder reads or sends.
// Every multi-byte field is big-endian.
#include <cstddef>
#include <cstdint>

namespace bootdisk {

inline constexpr std::size_t kBlockSize = 2048;

namespace inquiry {
inline constexpr std::size_t kSize = 165;
inline constexpr std::size_t kDeviceType = 0, kRemovable = 1, kVersion = 2, kResponseFormat = 3, kFlags = 7;
inline constexpr std::size_t kVendor = 8, kVendorWidth = 8;
inline constexpr std::size_t kProduct = 16, kProductWidth = 16;
static_assert(kVendor + kVendorWidth == kProduct && kProduct + kProductWidth <= kSize);
}  // namespace inquiry

// The MODE SENSE(10) / MODE SELECT(10) parameter header in front of the block descriptors and the page.
namespace modeheader {
inline constexpr std::size_t kSize = 8;
inline constexpr std::size_t kDataLength = 0;             // 16 bits
inline constexpr std::size_t kBlockDescriptorLength = 6;  // 16 bits
static_assert(kBlockDescriptorLength + 2 == kSize);
}  // namespace modeheader

// Page 2Ah, offsets from the start of the page.
namespace capspage {
inline constexpr std::uint8_t kCode = 0x2A;
inline constexpr std::size_t kAnswerSize = 159;
inline constexpr std::size_t kReadBits = 2, kWriteBits = 3;
inline constexpr std::size_t kMaxReadSpeed = 8, kMaxWriteSpeed = 18;  // 16 bits, kB/s
inline constexpr std::size_t kFieldsEnd = kMaxWriteSpeed + 2;
inline constexpr std::uint8_t kReadCDR = 0x01, kReadCDRW = 0x02, kReadMethod2 = 0x04, kReadDVDROM = 0x08,
                              kReadDVDR = 0x10, kReadDVDRAM = 0x20;
inline constexpr std::uint8_t kWriteCDR = 0x01, kWriteCDRW = 0x02, kTestWrite = 0x04, kWriteDVDR = 0x10,
                              kWriteDVDRAM = 0x20;
inline constexpr std::uint32_t kSpeedUnit = 176;  // kB/s of a single-speed CD
static_assert(modeheader::kSize + kFieldsEnd <= kAnswerSize);
}  // namespace capspage

// Page 05h as read with the block descriptors disabled: the page starts right after the header.
namespace writeparams {
inline constexpr std::uint8_t kCode = 0x05;
inline constexpr std::size_t kBufferSize = 64;
inline constexpr std::size_t kPage = modeheader::kSize;
inline constexpr std::size_t kPageLength = kPage + 1;
inline constexpr std::size_t kWriteType = kPage + 2, kTrackMode = kPage + 3, kDataBlockType = kPage + 4;
inline constexpr std::size_t kHostApplicationCode = kPage + 7, kSessionFormat = kPage + 8;
inline constexpr std::size_t kAudioPauseLength = kPage + 14;  // 16 bits
inline constexpr std::uint8_t kTrackAtOnce = 0x01;            // BUFE, LS_V and Test Write off
inline constexpr std::uint8_t kNextSessionDataTrack = 0xC4;   // multi-session 11b, track mode 4
inline constexpr std::uint8_t kMode1 = 0x08;                  // 2048 user bytes per block
static_assert(kAudioPauseLength + 2 <= kBufferSize);
}  // namespace writeparams

namespace discinfo {
inline constexpr std::size_t kSize = 34;
inline constexpr std::size_t kStatus = 2;
inline constexpr std::uint8_t kErasable = 0x10, kDiscStatusMask = 0x03;
}  // namespace discinfo

namespace trackinfo {
inline constexpr std::size_t kSize = 28;
inline constexpr std::uint32_t kInvisibleTrack = 0xFF;
inline constexpr std::size_t kState = 6;  // bits 7..5: RT, Blank, Packet
inline constexpr std::size_t kNextWritableAddress = 12, kFreeBlocks = 24;  // 32 bits each
inline constexpr std::uint8_t kBlank = 2, kReservedBlank = 6;
static_assert(kFreeBlocks + 4 == kSize);
}  // namespace trackinfo

namespace buffercap {
inline constexpr std::size_t kSize = 12;
inline constexpr std::size_t kLength = 4, kBlankLength = 8;  // 32 bits each, in bytes
static_assert(kBlankLength + 4 == kSize);
}  // namespace buffercap

namespace getconfig {
inline constexpr std::size_t kSize = 145;
inline constexpr std::size_t kCurrentProfile = 4, kFeatureHeader = 8;  // 32 bits each
}  // namespace getconfig

}  // namespace bootdisk
