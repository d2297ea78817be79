// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 1.44 MB FAT12 floppy: fixed geometry, boot sector fields, the 32-byte directory entry and
// the 12-bit FAT entry packing.
#include <cstddef>
#include <cstdint>

#include "base/Bytes.h"

namespace bootdisk::fat12 {

// Geometry
inline constexpr std::uint32_t kSectorSize = 512;
inline constexpr std::uint32_t kSectorsPerTrack = 18;
inline constexpr std::uint32_t kHeads = 2;
inline constexpr std::uint32_t kCylinders = 80;
inline constexpr std::uint32_t kTotalSectors = kSectorsPerTrack * kHeads * kCylinders;
inline constexpr std::size_t kImageSize = std::size_t(kTotalSectors) * kSectorSize;
static_assert(kTotalSectors == 2880 && kImageSize == 1'474'560);

inline constexpr std::uint32_t kSectorsPerCluster = 1;
inline constexpr std::uint32_t kFatCount = 2;

inline constexpr std::uint32_t kBootSector = 0;
inline constexpr std::uint32_t kFirstFatSector = 1;
inline constexpr std::uint32_t kFatSectors = 9;
inline constexpr std::uint32_t kSecondFatSector = kFirstFatSector + kFatSectors;
inline constexpr std::uint32_t kRootDirSector = kSecondFatSector + kFatSectors;
static_assert(kSecondFatSector == 10 && kRootDirSector == 19);

// Boot sector (BIOS parameter block) fields; this layer reads only the two 16-bit counts and
// takes the others as the geometry above.
inline constexpr std::size_t kBpbBytesPerSector = 11;   // 16-bit
inline constexpr std::size_t kBpbSectorsPerCluster = 13;  // 8-bit
inline constexpr std::size_t kBpbReservedSectors = 14;  // 16-bit
inline constexpr std::size_t kBpbFatCount = 16;         // 8-bit
inline constexpr std::size_t kBpbRootEntryCount = 17;   // 16-bit
inline constexpr std::size_t kBpbTotalSectors = 19;     // 16-bit
inline constexpr std::size_t kBpbMediaDescriptor = 21;  // 8-bit
inline constexpr std::size_t kBpbSectorsPerFat = 22;    // 16-bit
static_assert(kBpbRootEntryCount + 2 == kBpbTotalSectors && kBpbTotalSectors + 2 == kBpbMediaDescriptor);

// Directory entry
inline constexpr std::size_t kDirEntrySize = 32;
inline constexpr std::uint32_t kEntriesPerSector = kSectorSize / kDirEntrySize;
inline constexpr std::size_t kEntryName = 0;
inline constexpr std::size_t kEntryNameLength = 8;
inline constexpr std::size_t kEntryExt = 8;
inline constexpr std::size_t kEntryExtLength = 3;
inline constexpr std::size_t kEntryAttributes = 11;
inline constexpr std::size_t kEntryReserved = 12;
inline constexpr std::size_t kEntryReservedLength = 10;
inline constexpr std::size_t kEntryTime = 22;       // 16-bit
inline constexpr std::size_t kEntryDate = 24;       // 16-bit
inline constexpr std::size_t kEntryCluster = 26;    // 16-bit
inline constexpr std::size_t kEntryFileSize = 28;   // 32-bit
static_assert(kEntriesPerSector == 16);
static_assert(kEntryName + kEntryNameLength == kEntryExt && kEntryExt + kEntryExtLength == kEntryAttributes);
static_assert(kEntryReserved + kEntryReservedLength == kEntryTime && kEntryFileSize + 4 == kDirEntrySize);

inline constexpr std::uint8_t kAttrVolumeLabel = 0x08;
inline constexpr std::uint8_t kAttrDirectory = 0x10;
inline constexpr std::uint8_t kAttrLongName = 0x0F;  // read-only | hidden | system | volume label

// First name byte
inline constexpr std::uint8_t kEntryEndMarker = 0x00;
inline constexpr std::uint8_t kEntryDeleted = 0xE5;
// A live entry whose name starts with E5h stores 05h instead.
inline constexpr std::uint8_t kEntryLeadingE5 = 0x05;

// FAT entries
inline constexpr std::uint16_t kFatFree = 0;
inline constexpr std::uint16_t kFatEndOfChain = 0xFFF;
inline constexpr std::uint16_t kFatEndMin = 0xFF8;  // this value and above end a chain
inline constexpr std::uint32_t kFirstCluster = 2;
inline constexpr std::uint32_t kFatCapacity = kFatSectors * kSectorSize * 2 / 3;  // entries in one FAT
// The FAT is read in chunks of whole entry triples so that no entry straddles a read.
inline constexpr std::uint32_t kFatChunkSectors = 3;
inline constexpr std::size_t kFatChunkBytes = kFatChunkSectors * kSectorSize;
inline constexpr std::uint32_t kFatChunkEntries = kFatChunkBytes * 2 / 3;
static_assert(kFatChunkEntries == 1024 && kFatChunkEntries % 2 == 0);
static_assert(kFatSectors % kFatChunkSectors == 0 && kFatCapacity == 3072);
// Media bytes at the start of each FAT of an empty disk.
inline constexpr std::uint8_t kEmptyFatStart[3] = {0xF0, 0xFF, 0xFF};

// Entry n of a FAT (or of a chunk of one) packed as 12 bits at byte (n div 2) x 3.
inline std::uint16_t GetFat12(const std::uint8_t* fat, std::uint32_t n) {
    const std::uint8_t* p = fat + std::size_t(n / 2) * 3;
    return n % 2 == 0 ? std::uint16_t(p[0] | (p[1] & 0x0F) << 8) : std::uint16_t(p[1] >> 4 | p[2] << 4);
}

inline void PutFat12(std::uint8_t* fat, std::uint32_t n, std::uint16_t value) {
    std::uint8_t* p = fat + std::size_t(n / 2) * 3;
    if (n % 2 == 0) {
        p[0] = std::uint8_t(value);
        p[1] = std::uint8_t((p[1] & 0xF0) | (value >> 8 & 0x0F));
    } else {
        p[1] = std::uint8_t((p[1] & 0x0F) | (value & 0x0F) << 4);
        p[2] = std::uint8_t(value >> 4);
    }
}

// The layout a boot sector describes, limited to what fits the image. A boot sector whose root
// entry count is zero or not whole sectors, or whose root reaches the end of the disk, gives an
// unusable layout: nothing is read or written through it.
struct TFat12Layout {
    std::uint32_t RootEntryCount = 0;
    std::uint32_t FirstDataSector = 0;
    std::uint32_t LastCluster = 0;  // clusters are 2..LastCluster

    bool Usable() const { return RootEntryCount != 0; }
    std::uint32_t ClusterCount() const { return LastCluster >= kFirstCluster ? LastCluster - 1 : 0; }
    bool IsCluster(std::uint32_t cluster) const { return cluster >= kFirstCluster && cluster <= LastCluster; }
    std::uint32_t ClusterSector(std::uint32_t cluster) const { return cluster - kFirstCluster + FirstDataSector; }
};

inline TFat12Layout LayoutFromBootSector(const std::uint8_t* bootSector) {
    const std::uint32_t rootEntries = GetLE16(bootSector + kBpbRootEntryCount);
    std::uint32_t totalSectors = GetLE16(bootSector + kBpbTotalSectors);
    if (totalSectors > kTotalSectors) totalSectors = kTotalSectors;
    const std::uint32_t firstData = kRootDirSector + rootEntries / kEntriesPerSector;
    if (rootEntries == 0 || rootEntries % kEntriesPerSector != 0 || firstData >= totalSectors) return {};
    return {rootEntries, firstData, totalSectors - firstData + 1};
}
// Even the smallest usable root leaves every cluster number inside one FAT.
static_assert(kTotalSectors - (kRootDirSector + 1) + 1 < kFatCapacity);

}  // namespace bootdisk::fat12
