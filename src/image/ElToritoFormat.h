// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Layout of the boot CD image: no ISO 9660 directory tree, only the descriptors and the boot
// catalogue that El Torito floppy emulation needs, followed by the floppy image.
#include <cstddef>
#include <cstdint>

namespace bootdisk::eltorito {

inline constexpr std::size_t kSectorSize = 2048;
inline constexpr std::size_t kSectorCount = 740;
inline constexpr std::size_t kImageSize = kSectorSize * kSectorCount;
static_assert(kImageSize == 1'515'520);

inline constexpr std::uint32_t kFirstDescriptorSector = 16;
inline constexpr std::uint32_t kBootRecordSector = 17;
inline constexpr std::uint32_t kTerminatorSector = 18;
inline constexpr std::uint32_t kCatalogSector = 19;
inline constexpr std::uint32_t kFloppySector = 20;
inline constexpr std::size_t kFloppySize = 1'474'560;
static_assert((kSectorCount - kFloppySector) * kSectorSize == kFloppySize);

// Every volume descriptor: type byte, "CD001", version 1.
inline constexpr std::size_t kDescType = 0;
inline constexpr std::size_t kDescId = 1;
inline constexpr char kStandardId[] = "CD001";
inline constexpr std::size_t kDescVersion = 6;
inline constexpr std::uint8_t kTypeBootRecord = 0x00;
inline constexpr std::uint8_t kTypeLeadIn = 0xFE;  // a non-primary descriptor that opens the set
inline constexpr std::uint8_t kTypeTerminator = 0xFF;

// Boot record volume descriptor.
inline constexpr std::size_t kBootSystemId = 7;
inline constexpr char kBootSystemName[] = "EL TORITO SPECIFICATION";
inline constexpr std::size_t kBootCatalogPointer = 71;

// Validation entry of the boot catalogue.
inline constexpr std::size_t kValidationSize = 32;
inline constexpr std::size_t kValHeaderId = 0;
inline constexpr std::size_t kValPlatform = 1;
inline constexpr std::size_t kValIdString = 4;
inline constexpr std::size_t kValIdLength = 24;
inline constexpr std::size_t kValChecksum = 28;
inline constexpr std::size_t kValKey55 = 30;
inline constexpr std::size_t kValKeyAA = 31;

// Default entry, right after the validation entry.
inline constexpr std::size_t kDefBootIndicator = 32;
inline constexpr std::size_t kDefMediaType = 33;
inline constexpr std::size_t kDefLoadSegment = 34;
inline constexpr std::size_t kDefSystemType = 36;
inline constexpr std::size_t kDefSectorCount = 38;
inline constexpr std::size_t kDefLoadRba = 40;
inline constexpr std::uint8_t kBootable = 0x88;
inline constexpr std::uint8_t kMedia144Floppy = 2;
inline constexpr std::uint16_t kLoadSegment = 0x07C0;
inline constexpr std::uint8_t kSystemType = 4;

}  // namespace bootdisk::eltorito
