// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Blank floppies made by mkfs.fat, and raw looks into an image, for the floppy tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "base/Errors.h"
#include "base/Streams.h"
#include "image/Fat12Format.h"
#include "image/Vfloppy.h"
#include "support/TestSupport.h"

namespace bootdisk::test {

inline const std::string kNoMkfs = "mkfs.fat (dosfstools) is not installed; scripts/setup installs it";

// The standard 1.44 MB floppy as mkfs.fat makes it (the build makes it, for every host); empty
// when it is missing.
inline const std::vector<std::uint8_t>& BlankFloppyImage() {
    static const std::vector<std::uint8_t> image = [] {
        try {
            return ReadWholeFile(BOOTDISK_BLANK_FLOPPY);
        } catch (const EStreamError&) {
            return std::vector<std::uint8_t>();
        }
    }();
    return image;
}

inline bool LoadBlankFloppy(TVirtualFloppy& floppy) {
    const auto& image = BlankFloppyImage();
    if (image.size() != fat12::kImageSize) return false;
    TSpanStream stream(image);
    floppy.LoadFromStream(stream, image.size());
    return true;
}

inline std::span<std::uint8_t> SectorBytes(TVirtualFloppy& floppy, std::uint32_t sector) {
    return floppy.Image().subspan(std::size_t(sector) * fat12::kSectorSize, fat12::kSectorSize);
}

// The 32 bytes of entry index in the directory that starts at sector (contiguous sectors).
inline std::span<std::uint8_t> EntryBytes(TVirtualFloppy& floppy, std::uint32_t sector, std::uint32_t index) {
    return floppy.Image().subspan(std::size_t(sector) * fat12::kSectorSize + std::size_t(index) * fat12::kDirEntrySize,
                                  fat12::kDirEntrySize);
}

inline std::string EntryRawName(TVirtualFloppy& floppy, std::uint32_t sector, std::uint32_t index) {
    const auto entry = EntryBytes(floppy, sector, index);
    return std::string(entry.begin(), entry.begin() + 11);
}

inline std::uint16_t EntryCluster(TVirtualFloppy& floppy, std::uint32_t sector, std::uint32_t index) {
    return GetLE16(EntryBytes(floppy, sector, index).data() + fat12::kEntryCluster);
}

inline std::uint32_t EntrySize(TVirtualFloppy& floppy, std::uint32_t sector, std::uint32_t index) {
    return GetLE32(EntryBytes(floppy, sector, index).data() + fat12::kEntryFileSize);
}

inline std::uint32_t ClusterSector(std::uint32_t cluster) { return cluster - 2 + 33; }

// Entry n of the first FAT, read straight from the image.
inline std::uint16_t RawFat(TVirtualFloppy& floppy, std::uint32_t n) {
    return fat12::GetFat12(SectorBytes(floppy, fat12::kFirstFatSector).data(), n);
}

inline bool FatsIdentical(TVirtualFloppy& floppy) {
    const auto image = floppy.Image();
    const std::size_t fatBytes = fat12::kFatSectors * fat12::kSectorSize;
    return std::memcmp(image.data() + fat12::kFirstFatSector * fat12::kSectorSize,
                       image.data() + fat12::kSecondFatSector * fat12::kSectorSize, fatBytes) == 0;
}

// Marks every data cluster from first on as used, as a full disk has them.
inline void FillDataArea(TVirtualFloppy& floppy, std::uint32_t first = 2, std::uint32_t last = 2848) {
    for (std::uint32_t cluster = first; cluster <= last; ++cluster) floppy.SetFATEntry(cluster, fat12::kFatEndOfChain);
}

// Sets SOURCE_DATE_EPOCH for one scope.
class TSourceDateEpoch {
public:
#ifdef _WIN32
    explicit TSourceDateEpoch(const char* value) { _putenv_s("SOURCE_DATE_EPOCH", value); }
    ~TSourceDateEpoch() { _putenv_s("SOURCE_DATE_EPOCH", ""); }
#else
    explicit TSourceDateEpoch(const char* value) { setenv("SOURCE_DATE_EPOCH", value, 1); }
    ~TSourceDateEpoch() { unsetenv("SOURCE_DATE_EPOCH"); }
#endif
    TSourceDateEpoch(const TSourceDateEpoch&) = delete;
    TSourceDateEpoch& operator=(const TSourceDateEpoch&) = delete;
};

}  // namespace bootdisk::test
