// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/Vfloppy.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "base/Bytes.h"
#include "image/Fat12Format.h"

namespace bootdisk {

using namespace fat12;

namespace {

std::optional<std::uint32_t> ChsToLba(std::uint32_t head, std::uint32_t cylinder, std::uint32_t sector) {
    if (head >= kHeads || cylinder >= kCylinders || sector < 1 || sector > kSectorsPerTrack) return std::nullopt;
    return cylinder * kHeads * kSectorsPerTrack + head * kSectorsPerTrack + (sector - 1);
}

bool InsideImage(std::uint32_t lba, std::uint32_t count) {
    return count > 0 && lba < kTotalSectors && count <= kTotalSectors - lba;
}

std::uint32_t FatChunkSector(std::uint32_t cluster) {
    return cluster / kFatChunkEntries * kFatChunkSectors + kFirstFatSector;
}

struct TFixedField {
    std::size_t offset;
    std::size_t width;  // bytes, little-endian
    std::uint32_t value;
    const char* name;
};

// The fields the file layer takes as given rather than reading them.
constexpr TFixedField kFixedFields[] = {
    {kBpbBytesPerSector, 2, kSectorSize, "bytes per sector"},
    {kBpbSectorsPerCluster, 1, kSectorsPerCluster, "sectors per cluster"},
    {kBpbReservedSectors, 2, kFirstFatSector, "reserved sectors"},
    {kBpbFatCount, 1, kFatCount, "number of FATs"},
    {kBpbTotalSectors, 2, kTotalSectors, "total sectors"},
    {kBpbSectorsPerFat, 2, kFatSectors, "sectors per FAT"},
};

std::string FieldText(const char* name, std::size_t offset) {
    return std::string(name) + " (byte " + std::to_string(offset) + ")";
}

}  // namespace

std::optional<std::string> BootSectorProblem(std::span<const std::uint8_t> bootSector) {
    if (bootSector.size() < kSectorSize) return "the boot sector is cut short";
    for (const auto& field : kFixedFields) {
        const std::uint32_t value = field.width == 1 ? bootSector[field.offset] : GetLE16(&bootSector[field.offset]);
        if (value != field.value)
            return FieldText(field.name, field.offset) + " is " + std::to_string(value) + " instead of " +
                   std::to_string(field.value);
    }
    if (!LayoutFromBootSector(bootSector.data()).Usable())
        return FieldText("root entries", kBpbRootEntryCount) + " is " +
               std::to_string(GetLE16(&bootSector[kBpbRootEntryCount])) +
               ", not a whole number of sectors that leaves room for data";
    return std::nullopt;
}

std::optional<std::string> FloppyImageProblem(std::uint64_t length, std::span<const std::uint8_t> start) {
    if (length != kImageSize)
        return "it is " + std::to_string(length) + " bytes long instead of " + std::to_string(kImageSize);
    return BootSectorProblem(start);
}

std::uint32_t TGenericFloppy::WriteSectorsCHS(std::uint32_t head, std::uint32_t cylinder, std::uint32_t sector,
                                              const std::uint8_t* buffer, std::uint32_t count) {
    const auto lba = ChsToLba(head, cylinder, sector);
    return lba ? WriteSectors(*lba, buffer, count) : 0;
}

std::uint32_t TGenericFloppy::WriteSectors(std::uint32_t, const std::uint8_t*, std::uint32_t) { return 0; }

std::uint32_t TGenericFloppy::ReadSectorsCHS(std::uint32_t head, std::uint32_t cylinder, std::uint32_t sector,
                                             std::uint8_t* buffer, std::uint32_t count) {
    const auto lba = ChsToLba(head, cylinder, sector);
    return lba ? ReadSectors(*lba, buffer, count) : 0;
}

std::uint32_t TGenericFloppy::ReadSectors(std::uint32_t, std::uint8_t*, std::uint32_t) { return 0; }

std::uint16_t TGenericFloppy::GetFATEntry(std::uint32_t cluster) {
    std::array<std::uint8_t, kFatChunkBytes> chunk;
    if (cluster >= kFatCapacity || ReadSectors(FatChunkSector(cluster), chunk.data(), kFatChunkSectors) == 0)
        return kFatEndOfChain;
    return GetFat12(chunk.data(), cluster % kFatChunkEntries);
}

std::uint32_t TGenericFloppy::SetFATEntry(std::uint32_t cluster, std::uint16_t value) {
    std::array<std::uint8_t, kFatChunkBytes> chunk;
    const std::uint32_t sector = FatChunkSector(cluster);
    if (cluster >= kFatCapacity || ReadSectors(sector, chunk.data(), kFatChunkSectors) == 0) return 0;
    PutFat12(chunk.data(), cluster % kFatChunkEntries, value);
    const std::uint32_t first = WriteSectors(sector, chunk.data(), kFatChunkSectors);
    const std::uint32_t second = WriteSectors(sector + kFatSectors, chunk.data(), kFatChunkSectors);
    return first != 0 ? second : 0;
}

TVirtualFloppy::TVirtualFloppy() : own_(kImageSize), image_(own_.Bytes().first<kImageSize>()) {}

TVirtualFloppy::TVirtualFloppy(std::span<std::uint8_t, kImageSize> storage) : image_(storage) {}

std::uint32_t TVirtualFloppy::WriteSectors(std::uint32_t lba, const std::uint8_t* buffer, std::uint32_t count) {
    if (!InsideImage(lba, count)) return 0;
    std::memcpy(image_.data() + std::size_t(lba) * kSectorSize, buffer, std::size_t(count) * kSectorSize);
    return count;
}

std::uint32_t TVirtualFloppy::ReadSectors(std::uint32_t lba, std::uint8_t* buffer, std::uint32_t count) {
    if (!InsideImage(lba, count)) return 0;
    std::memcpy(buffer, image_.data() + std::size_t(lba) * kSectorSize, std::size_t(count) * kSectorSize);
    return count;
}

std::uint64_t TVirtualFloppy::LoadFromStream(TStream& stream, std::uint64_t count) {
    const auto wanted = std::size_t(std::min<std::uint64_t>(count, image_.size()));
    std::size_t loaded = 0;
    while (loaded < wanted) {
        const std::size_t n = stream.Read(image_.data() + loaded, wanted - loaded);
        if (n == 0) break;
        loaded += n;
    }
    // Only what the stream left is cleared: a whole image is copied once and nothing more.
    std::fill(image_.begin() + std::ptrdiff_t(loaded), image_.end(), std::uint8_t(0));
    for (const std::uint32_t fat : {kFirstFatSector, kSecondFatSector})
        for (std::size_t i = 0; i < std::size(kEmptyFatStart); ++i)
            if (const auto at = std::size_t(fat) * kSectorSize + i; at >= loaded) image_[at] = kEmptyFatStart[i];
    return loaded;
}

}  // namespace bootdisk
