// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/Vfloppy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "image/FloppyTestImage.h"

namespace bootdisk {
namespace {

using namespace fat12;
using test::RawFat;
using test::SectorBytes;

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = std::uint8_t(seed + i * 7);
    return bytes;
}

TEST(VirtualFloppySectors, ChsMapsCylinderHeadSectorAndRejectsImpossibleAddresses) {
    TVirtualFloppy floppy;
    const auto data = Pattern(2 * kSectorSize, 3);
    EXPECT_EQ(floppy.WriteSectorsCHS(1, 2, 3, data.data(), 2), 2u);  // 2 x 36 + 18 + 2
    EXPECT_TRUE(std::equal(data.begin(), data.end(), floppy.Image().begin() + 92 * kSectorSize));
    std::vector<std::uint8_t> back(kSectorSize);
    EXPECT_EQ(floppy.ReadSectorsCHS(1, 79, 18, back.data(), 1), 1u);  // the last sector, 2879

    const auto before = std::vector<std::uint8_t>(floppy.Image().begin(), floppy.Image().end());
    EXPECT_EQ(floppy.WriteSectorsCHS(0, 0, 0, data.data(), 1), 0u);
    EXPECT_EQ(floppy.WriteSectorsCHS(0, 0, 19, data.data(), 1), 0u);
    EXPECT_EQ(floppy.WriteSectorsCHS(2, 0, 1, data.data(), 1), 0u);
    EXPECT_EQ(floppy.WriteSectorsCHS(0, 80, 1, data.data(), 1), 0u);
    EXPECT_EQ(floppy.ReadSectorsCHS(1, 79, 18, back.data(), 2), 0u);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), floppy.Image().begin()));
}

TEST(VirtualFloppySectors, TransfersMustLieInsideTheImage) {
    TVirtualFloppy floppy;
    std::vector<std::uint8_t> buffer(2 * kSectorSize, 0x5A);
    EXPECT_EQ(floppy.WriteSectors(2879, buffer.data(), 1), 1u);
    EXPECT_EQ(floppy.Image().back(), 0x5A);
    EXPECT_EQ(floppy.ReadSectors(2878, buffer.data(), 2), 2u);
    for (const auto& [lba, count] : {std::pair<std::uint32_t, std::uint32_t>{2879, 2}, {2880, 1}, {0xFFFFFFFF, 2},
                                    {1, 0xFFFFFFFF}, {0, 0}}) {
        EXPECT_EQ(floppy.WriteSectors(lba, buffer.data(), count), 0u) << lba << "+" << count;
        EXPECT_EQ(floppy.ReadSectors(lba, buffer.data(), count), 0u) << lba << "+" << count;
    }
}

TEST(VirtualFloppyLoad, PresetsEmptyFatsThenCopiesTheStreamCutToTheImage) {
    TVirtualFloppy floppy;
    std::fill(floppy.Image().begin(), floppy.Image().end(), std::uint8_t(0x77));
    TMemoryStream empty;
    EXPECT_EQ(floppy.LoadFromStream(empty, kImageSize), 0u);
    EXPECT_EQ(std::count(floppy.Image().begin(), floppy.Image().end(), 0), std::ptrdiff_t(kImageSize - 6));
    for (const std::size_t fat : {512u, 5120u}) {
        EXPECT_EQ(floppy.Image()[fat], 0xF0);
        EXPECT_EQ(floppy.Image()[fat + 1], 0xFF);
        EXPECT_EQ(floppy.Image()[fat + 2], 0xFF);
    }

    auto bytes = Pattern(kImageSize + 100, 1);
    TMemoryStream large(bytes);
    EXPECT_EQ(floppy.LoadFromStream(large, 1u << 30), kImageSize);
    EXPECT_EQ(large.Position(), kImageSize);
    EXPECT_TRUE(std::equal(floppy.Image().begin(), floppy.Image().end(), bytes.begin()));

    TMemoryStream shortStream(Pattern(1000, 9));
    shortStream.SetPosition(10);
    EXPECT_EQ(floppy.LoadFromStream(shortStream, kImageSize), 990u);
    EXPECT_EQ(floppy.Image()[0], std::uint8_t(9 + 70));
    EXPECT_EQ(floppy.Image()[5120], 0xF0);
    EXPECT_EQ(floppy.Image()[990], 0);
}

TEST(VirtualFloppyFat, PacksTwelveBitEntriesIntoBothCopiesAcrossChunks) {
    TVirtualFloppy floppy;
    EXPECT_EQ(floppy.SetFATEntry(2, 0x123), 3u);
    EXPECT_EQ(floppy.SetFATEntry(3, 0x456), 3u);
    // Even entry: low byte, then low nibble; odd entry: high nibble, then high byte.
    EXPECT_EQ(SectorBytes(floppy, 1)[3], 0x23);
    EXPECT_EQ(SectorBytes(floppy, 1)[4], 0x61);
    EXPECT_EQ(SectorBytes(floppy, 1)[5], 0x45);

    const std::array<std::uint32_t, 7> clusters = {1023, 1024, 1025, 2047, 2048, 2849, 3071};
    for (const auto cluster : clusters) floppy.SetFATEntry(cluster, std::uint16_t(0xA00 + cluster % 256));
    for (const auto cluster : clusters) {
        EXPECT_EQ(floppy.GetFATEntry(cluster), 0xA00 + cluster % 256) << cluster;
        EXPECT_EQ(RawFat(floppy, cluster), 0xA00 + cluster % 256) << cluster;
    }
    EXPECT_EQ(floppy.GetFATEntry(2), 0x123);
    EXPECT_EQ(floppy.GetFATEntry(3), 0x456);
    EXPECT_EQ(floppy.GetFATEntry(1022), 0);
    EXPECT_EQ(floppy.GetFATEntry(1026), 0);
    EXPECT_TRUE(test::FatsIdentical(floppy));
    // Nothing beyond the FATs: the root directory stays clear.
    EXPECT_EQ(std::count(floppy.Image().begin() + 19 * kSectorSize, floppy.Image().end(), 0),
              std::ptrdiff_t(kImageSize - 19 * kSectorSize));
}

TEST(VirtualFloppyFat, EntriesBeyondTheFatReadAsEndOfChainAndAreNeverWritten) {
    TVirtualFloppy floppy;
    const auto before = std::vector<std::uint8_t>(floppy.Image().begin(), floppy.Image().end());
    EXPECT_EQ(floppy.GetFATEntry(3072), kFatEndOfChain);
    EXPECT_EQ(floppy.GetFATEntry(0xFFFFFFFF), kFatEndOfChain);
    EXPECT_EQ(floppy.SetFATEntry(3072, 5), 0u);
    EXPECT_EQ(floppy.SetFATEntry(100000, 5), 0u);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), floppy.Image().begin()));
}

TEST(GenericFloppy, FailsEveryTransferAndEndsEveryChain) {
    TGenericFloppy device;
    std::array<std::uint8_t, kSectorSize> buffer{};
    EXPECT_EQ(device.ReadSectors(0, buffer.data(), 1), 0u);
    EXPECT_EQ(device.WriteSectorsCHS(0, 0, 1, buffer.data(), 1), 0u);
    EXPECT_EQ(device.GetFATEntry(2), kFatEndOfChain);
    EXPECT_EQ(device.SetFATEntry(2, 0), 0u);
}

}  // namespace
}  // namespace bootdisk
