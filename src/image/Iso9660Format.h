// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Layout of the optional ISO 9660 volume of the boot CD: the primary volume descriptor, directory
// records and path table records, and where this volume puts them. Numbers are stored both-endian
// (little-endian, then big-endian) unless a field says otherwise.
#include <cstddef>
#include <cstdint>

#include "image/ElToritoFormat.h"

namespace bootdisk::iso9660 {

inline constexpr std::uint8_t kTypePrimary = 1;

// Primary volume descriptor, in the sector of the boot image's lead-in descriptor.
inline constexpr std::uint32_t kPrimarySector = eltorito::kFirstDescriptorSector;
inline constexpr std::size_t kSystemId = 8, kVolumeId = 40, kIdLength = 32;
inline constexpr std::size_t kVolumeSpaceSize = 80;       // 32 bits
inline constexpr std::size_t kVolumeSetSize = 120;        // 16 bits
inline constexpr std::size_t kVolumeSequenceNumber = 124;  // 16 bits
inline constexpr std::size_t kLogicalBlockSize = 128;     // 16 bits
inline constexpr std::size_t kPathTableSize = 132;        // 32 bits
inline constexpr std::size_t kTypeLPathTable = 140;       // 32 bits, little-endian only
inline constexpr std::size_t kTypeMPathTable = 148;       // 32 bits, big-endian only
inline constexpr std::size_t kRootDirectoryRecord = 156;
inline constexpr std::size_t kVolumeSetId = 190, kPublisherId = 318, kPreparerId = 446, kApplicationId = 574;
inline constexpr std::size_t kLongIdLength = 128;
inline constexpr std::size_t kCopyrightFileId = 702, kAbstractFileId = 739, kBibliographicFileId = 776;
inline constexpr std::size_t kFileIdLength = 37;
inline constexpr std::size_t kCreationDate = 813, kModificationDate = 830, kExpirationDate = 847,
                             kEffectiveDate = 864;
inline constexpr std::size_t kVolumeDateLength = 17;  // "YYYYMMDDHHMMSScc" and the offset from UTC
inline constexpr std::size_t kFileStructureVersion = 881;
static_assert(kVolumeSetId + 4 * kLongIdLength == kCopyrightFileId &&
              kCopyrightFileId + 3 * kFileIdLength == kCreationDate &&
              kCreationDate + 4 * kVolumeDateLength == kFileStructureVersion);

// Directory record.
inline constexpr std::size_t kRecordLength = 0, kRecordExtent = 2, kRecordDataLength = 10, kRecordDate = 18,
                             kRecordFlags = 25, kRecordSequenceNumber = 28, kRecordNameLength = 32, kRecordName = 33;
inline constexpr std::size_t kRecordDateLength = 7;  // years since 1900, month, day, hour, minute, second, offset
inline constexpr std::uint8_t kFlagDirectory = 0x02;
inline constexpr std::size_t kRootRecordSize = kRecordName + 1;  // the root's name is one byte
static_assert(kRecordDate + kRecordDateLength == kRecordFlags && kRootRecordSize == 34);

// Path table record.
inline constexpr std::size_t kPathNameLength = 0, kPathExtent = 2, kPathParent = 6, kPathName = 8;
inline constexpr std::size_t kRootPathRecordSize = kPathName + 2;  // one-byte name, padded to even

// The sectors this volume adds after the floppy image.
inline constexpr std::uint32_t kRootSector = eltorito::kSectorCount;
inline constexpr std::uint32_t kLPathSector = kRootSector + 1;
inline constexpr std::uint32_t kMPathSector = kRootSector + 2;
inline constexpr std::uint32_t kReadmeSector = kRootSector + 3;
inline constexpr std::uint32_t kVolumeSectors = kRootSector + 4;

}  // namespace bootdisk::iso9660
