// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The boot payload container: a small header, then the item list either stored or LZH-compressed.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace bootdisk::payload {

// Container header.
inline constexpr std::size_t kFlagOffset = 0;
inline constexpr std::size_t kStoredLengthOffset = 1;
inline constexpr std::size_t kHeaderSize = 5;
inline constexpr std::uint8_t kFlagStored = 0;
inline constexpr std::uint8_t kFlagLZH = 1;  // any non-zero flag means compressed

// Item list: a count, then per item kind, name length, name, data length, data.
inline constexpr std::size_t kCountSize = 4;
inline constexpr std::size_t kKindSize = 1;
inline constexpr std::size_t kLengthSize = 4;
inline constexpr std::size_t kMinItemSize = kKindSize + 2 * kLengthSize;

inline constexpr std::uint8_t kKindFile = 1;

// The decoded item list never comes near this; a larger announced size means a damaged stream.
inline constexpr std::uint32_t kMaxDecodedSize = 64u << 20;

// Reserved items, never copied as files: the ready-made boot floppy and the empty MS-DOS floppy.
inline constexpr char kReservedPrefix = '.';
inline constexpr std::string_view kBootItem = ".BOOT";
inline constexpr std::string_view kBootRecordItem = ".BOOTRECORD";

// Resource names of the two collections.
inline constexpr std::string_view kCdResource = "SANITCD";
inline constexpr std::string_view kFloppyResource = "SANITDSK";

static_assert(kStoredLengthOffset == kFlagOffset + 1);
static_assert(kHeaderSize == kStoredLengthOffset + 4);
static_assert(kMinItemSize == 9);

}  // namespace bootdisk::payload
