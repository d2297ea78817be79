// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/FloppyFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "image/FloppyTestImage.h"

namespace bootdisk {
namespace {

using namespace fat12;
using namespace bootdisk::test;

constexpr std::uint32_t kRoot = 19;

std::vector<std::uint8_t> Bytes(std::size_t size, std::uint8_t seed = 1) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = std::uint8_t(seed + i * 13 + i / 251);
    return bytes;
}

class FloppyFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LoadBlankFloppy(floppy)) GTEST_SKIP() << kNoMkfs;
    }

    std::vector<std::uint8_t> Snapshot() const { return {floppy.Image().begin(), floppy.Image().end()}; }
    bool Unchanged(const std::vector<std::uint8_t>& before) const {
        return std::equal(before.begin(), before.end(), floppy.Image().begin());
    }
    std::size_t WriteFile(TFloppyDirectory& dir, const std::string& name, const std::vector<std::uint8_t>& data) {
        auto file = dir.CreateFile(name);
        EXPECT_TRUE(file) << name;
        return file ? file->Write(data.data(), data.size()) : 0;
    }
    std::vector<std::string> Names(TFloppyDirectory& dir) {
        std::vector<std::string> names;
        TDirEntry entry;
        for (bool found = dir.FindFirst(entry); found; found = dir.FindNext(entry))
            names.push_back(TFloppyDirectory::EntryName(entry));
        return names;
    }
    void SetBootField(std::size_t offset, std::uint16_t value) { PutLE16(floppy.Image().data() + offset, value); }

    TVirtualFloppy floppy;
};

TEST(FloppyEntryName, TrimsNameAndExtensionAndDropsAnEmptyExtension) {
    const auto make = [](const char* raw) {
        TDirEntry entry{};
        std::copy(raw, raw + 11, entry.begin());
        return TFloppyDirectory::EntryName(entry);
    };
    EXPECT_EQ(make("AUTOEXECBAT"), "AUTOEXEC.BAT");
    EXPECT_EQ(make("KORVANE INI"), "KORVANE.INI");
    EXPECT_EQ(make("COMMAND    "), "COMMAND");
    EXPECT_EQ(make("A          "), "A");
    EXPECT_EQ(make("A       B  "), "A.B");
    EXPECT_EQ(make(".          "), ".");
    EXPECT_EQ(make("..         "), "..");
    EXPECT_EQ(make("\x05" "BC        "), "\xE5" "BC");
}

TEST_F(FloppyFiles, NamesAreStoredAsUpperCaseEightDotThree) {
    TFloppyDirectory root(floppy);
    for (const char* name : {"verylongname.textfile", "autoexec.bat", "a.b.c", "NoExt", "\xE5" "lf.x"})
        EXPECT_TRUE(root.CreateFile(name)) << name;
    EXPECT_EQ(EntryRawName(floppy, kRoot, 0), "VERYLONGTEX");
    EXPECT_EQ(EntryRawName(floppy, kRoot, 1), "AUTOEXECBAT");
    EXPECT_EQ(EntryRawName(floppy, kRoot, 2), "A       B.C");
    EXPECT_EQ(EntryRawName(floppy, kRoot, 3), "NOEXT      ");
    // A name starting with E5h must not look deleted.
    EXPECT_EQ(EntryRawName(floppy, kRoot, 4), "\x05" "LF     X  ");
    EXPECT_EQ(Names(root), (std::vector<std::string>{"VERYLONG.TEX", "AUTOEXEC.BAT", "A.B.C", "NOEXT", "\xE5" "LF.X"}));
    EXPECT_EQ(EntryBytes(floppy, kRoot, 0)[kEntryAttributes], 0);

    // Nothing before the dot is no name at all.
    const auto before = Snapshot();
    EXPECT_FALSE(root.CreateFile(".profile"));
    EXPECT_FALSE(root.CreateFile(""));
    EXPECT_FALSE(root.MakeDir("."));
    EXPECT_TRUE(Unchanged(before));
}

TEST_F(FloppyFiles, WritesAllocateAscendingClustersOnlyForBytes) {
    TFloppyDirectory root(floppy);
    EXPECT_EQ(WriteFile(root, "EMPTY", {}), 0u);
    EXPECT_EQ(EntryCluster(floppy, kRoot, 0), 0);
    EXPECT_EQ(EntrySize(floppy, kRoot, 0), 0u);
    EXPECT_EQ(RawFat(floppy, 2), 0);

    EXPECT_EQ(WriteFile(root, "S512", Bytes(512)), 512u);
    EXPECT_EQ(EntryCluster(floppy, kRoot, 1), 2);
    EXPECT_EQ(RawFat(floppy, 2), kFatEndOfChain);
    EXPECT_EQ(RawFat(floppy, 3), 0);

    // The short tail of 513 bytes keeps the sector's old bytes behind it.
    std::fill_n(SectorBytes(floppy, ClusterSector(4)).begin(), 512, std::uint8_t(0xAA));
    const auto data = Bytes(513, 7);
    EXPECT_EQ(WriteFile(root, "S513", data), 513u);
    EXPECT_EQ(EntryCluster(floppy, kRoot, 2), 3);
    EXPECT_EQ(EntrySize(floppy, kRoot, 2), 513u);
    EXPECT_EQ(RawFat(floppy, 3), 4);
    EXPECT_EQ(RawFat(floppy, 4), kFatEndOfChain);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 512, SectorBytes(floppy, ClusterSector(3)).begin()));
    EXPECT_EQ(SectorBytes(floppy, ClusterSector(4))[0], data[512]);
    EXPECT_EQ(SectorBytes(floppy, ClusterSector(4))[1], 0xAA);
    EXPECT_EQ(SectorBytes(floppy, ClusterSector(4))[511], 0xAA);

    // A used cluster in the way is skipped; the chain takes the first free one after each.
    floppy.SetFATEntry(6, kFatEndOfChain);
    EXPECT_EQ(WriteFile(root, "GAP", Bytes(1536)), 1536u);
    EXPECT_EQ(EntryCluster(floppy, kRoot, 3), 5);
    EXPECT_EQ(RawFat(floppy, 5), 7);
    EXPECT_EQ(RawFat(floppy, 7), 8);
    EXPECT_EQ(RawFat(floppy, 8), kFatEndOfChain);
    EXPECT_TRUE(FatsIdentical(floppy));
}

TEST_F(FloppyFiles, SuccessiveWritesFillTheLastSectorFirst) {
    TFloppyDirectory root(floppy);
    auto file = root.CreateFile("TWICE.DAT");
    ASSERT_TRUE(file);
    const auto data = Bytes(600, 3);
    EXPECT_EQ(file->Write(data.data(), 300), 300u);
    EXPECT_EQ(file->Write(data.data() + 300, 300), 300u);
    EXPECT_EQ(EntrySize(floppy, kRoot, 0), 600u);
    EXPECT_EQ(RawFat(floppy, 2), 3);
    EXPECT_EQ(RawFat(floppy, 3), kFatEndOfChain);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 512, SectorBytes(floppy, ClusterSector(2)).begin()));
    EXPECT_TRUE(std::equal(data.begin() + 512, data.end(), SectorBytes(floppy, ClusterSector(3)).begin()));
}

TEST_F(FloppyFiles, FullDiskCutsWritesShortAndRecordsWhatWasWritten) {
    FillDataArea(floppy);
    TFloppyDirectory root(floppy);
    EXPECT_EQ(WriteFile(root, "NOROOM.TXT", Bytes(100)), 0u);
    EXPECT_EQ(EntryCluster(floppy, kRoot, 0), 0);
    EXPECT_EQ(EntrySize(floppy, kRoot, 0), 0u);

    floppy.SetFATEntry(2847, kFatFree);
    floppy.SetFATEntry(2848, kFatFree);
    auto file = root.CreateFile("SHORT.TXT");
    ASSERT_TRUE(file);
    const auto data = Bytes(2000);
    EXPECT_EQ(file->Write(data.data(), data.size()), 1024u);
    EXPECT_EQ(EntrySize(floppy, kRoot, 1), 1024u);
    EXPECT_EQ(EntryCluster(floppy, kRoot, 1), 2847);
    // A later write must neither restart the chain nor lose the clusters written.
    floppy.SetFATEntry(100, kFatFree);
    EXPECT_EQ(file->Write(data.data(), 10), 0u);
    EXPECT_EQ(EntryCluster(floppy, kRoot, 1), 2847);
    EXPECT_EQ(RawFat(floppy, 2847), 2848);
    EXPECT_EQ(RawFat(floppy, 100), 0);
}

TEST_F(FloppyFiles, MakeDirWritesDotEntriesAndChangeDirFollowsThem) {
    TFloppyDirectory dir(floppy);
    EXPECT_EQ(WriteFile(dir, "DATA", Bytes(10)), 10u);  // a file of the same name comes first
    ASSERT_TRUE(dir.MakeDir("Korvane"));
    const std::uint16_t korvane = EntryCluster(floppy, kRoot, 1);
    EXPECT_EQ(korvane, 3);
    EXPECT_EQ(EntryBytes(floppy, kRoot, 1)[kEntryAttributes], kAttrDirectory);
    const std::uint32_t sector = ClusterSector(korvane);
    EXPECT_EQ(EntryRawName(floppy, sector, 0), ".          ");
    EXPECT_EQ(EntryCluster(floppy, sector, 0), korvane);
    EXPECT_EQ(EntryRawName(floppy, sector, 1), "..         ");
    EXPECT_EQ(EntryCluster(floppy, sector, 1), 0);
    EXPECT_EQ(EntryBytes(floppy, sector, 2)[0], 0);
    EXPECT_EQ(EntryBytes(floppy, sector, 2)[kEntryAttributes], kAttrDirectory);
    EXPECT_EQ(EntryCluster(floppy, sector, 2), 0);
    EXPECT_EQ(std::count(SectorBytes(floppy, sector).begin() + 96, SectorBytes(floppy, sector).end(), 0), 512 - 96);

    ASSERT_TRUE(dir.ChangeDir("korvane"));
    ASSERT_TRUE(dir.MakeDir("DATA"));
    EXPECT_FALSE(dir.ChangeDir("MISSING"));
    ASSERT_TRUE(dir.ChangeDir("DATA"));
    const std::uint32_t data = ClusterSector(EntryCluster(floppy, sector, 2));
    EXPECT_EQ(EntryCluster(floppy, data, 1), korvane);
    EXPECT_EQ(WriteFile(dir, "KORVANE.INI", Bytes(5)), 5u);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{".", "..", "KORVANE.INI"}));

    ASSERT_TRUE(dir.ChangeDir(".."));
    ASSERT_TRUE(dir.ChangeDir(".."));  // ".." of a first-level directory leads to the root
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"DATA", "KORVANE"}));
    // Only the file is called DATA here.
    EXPECT_FALSE(dir.ChangeDir("DATA"));
    EXPECT_TRUE(FatsIdentical(floppy));
}

TEST_F(FloppyFiles, FourteenthSubdirectoryEntryTakesTheLastSlotAndLinksAZeroedCluster) {
    TFloppyDirectory dir(floppy);
    ASSERT_TRUE(dir.MakeDir("SUB"));
    ASSERT_TRUE(dir.ChangeDir("SUB"));
    std::fill_n(SectorBytes(floppy, ClusterSector(3)).begin(), 512, std::uint8_t(0xAA));
    for (int i = 1; i <= 13; ++i) ASSERT_TRUE(dir.CreateFile("F" + std::to_string(i)));
    EXPECT_EQ(RawFat(floppy, 2), kFatEndOfChain);
    EXPECT_EQ(RawFat(floppy, 3), 0);

    ASSERT_TRUE(dir.CreateFile("F14"));
    EXPECT_EQ(EntryRawName(floppy, ClusterSector(2), 15), "F14        ");
    EXPECT_EQ(RawFat(floppy, 2), 3);
    EXPECT_EQ(RawFat(floppy, 3), kFatEndOfChain);
    EXPECT_EQ(std::count(SectorBytes(floppy, ClusterSector(3)).begin(), SectorBytes(floppy, ClusterSector(3)).end(), 0),
              512);
    ASSERT_TRUE(dir.CreateFile("F15"));
    EXPECT_EQ(EntryRawName(floppy, ClusterSector(3), 0), "F15        ");
    EXPECT_EQ(Names(dir).size(), 17u);
    EXPECT_TRUE(FatsIdentical(floppy));
}

TEST_F(FloppyFiles, DeletedEntriesAreReusedButLeadingE5NamesAreNot) {
    TFloppyDirectory root(floppy);
    for (const char* name : {"ONE", "TWO", "THREE", "FOUR"}) ASSERT_TRUE(root.CreateFile(name));
    EntryBytes(floppy, kRoot, 1)[0] = 0x05;  // a live file whose name starts with E5h
    EntryBytes(floppy, kRoot, 2)[0] = 0xE5;
    ASSERT_TRUE(root.CreateFile("NEW"));
    EXPECT_EQ(EntryRawName(floppy, kRoot, 2), "NEW        ");
    ASSERT_TRUE(root.CreateFile("NEXT"));
    EXPECT_EQ(EntryRawName(floppy, kRoot, 4), "NEXT       ");
    EXPECT_EQ(EntryBytes(floppy, kRoot, 1)[0], 0x05);
}

// The last root slot needs no end marker behind it; with every slot in use nothing may spill into
// the data area, and the directory says it was the root that was full.
TEST_F(FloppyFiles, RootTakesAllItsEntriesAndThenSaysItIsFull) {
    TFloppyDirectory root(floppy);
    for (int i = 0; i < 223; ++i) ASSERT_TRUE(root.CreateFile("F" + std::to_string(i))) << i;
    ASSERT_TRUE(root.CreateFile("LAST"));
    EXPECT_FALSE(root.RootIsFull());
    EXPECT_EQ(EntryRawName(floppy, kRoot, 223), "LAST       ");
    const auto full = Snapshot();
    EXPECT_FALSE(root.CreateFile("SPILL"));
    EXPECT_TRUE(root.RootIsFull());
    EXPECT_FALSE(root.MakeDir("SPILLDIR"));
    EXPECT_TRUE(root.RootIsFull());
    EXPECT_TRUE(Unchanged(full));
}

TEST_F(FloppyFiles, FullDiskInSubdirectoryFailsWithoutChangingTheDisk) {
    TFloppyDirectory dir(floppy);
    ASSERT_TRUE(dir.MakeDir("SUB"));
    ASSERT_TRUE(dir.ChangeDir("SUB"));
    for (int i = 1; i <= 13; ++i) ASSERT_TRUE(dir.CreateFile("F" + std::to_string(i)));
    FillDataArea(floppy, 3);
    const auto before = Snapshot();
    EXPECT_FALSE(dir.CreateFile("F14"));
    EXPECT_FALSE(dir.MakeDir("D14"));
    EXPECT_TRUE(Unchanged(before));
}

TEST_F(FloppyFiles, DeleteFileFreesEntryLongNameAndChainInBothFats) {
    TFloppyDirectory root(floppy);
    ASSERT_TRUE(root.MakeDir("KEEP.ME"));
    EXPECT_EQ(WriteFile(root, "KEEP.ME", Bytes(10)), 10u);
    // A long-name entry in front of a file belongs to it.
    auto longName = EntryBytes(floppy, kRoot, 2);
    longName[0] = 0x41;
    longName[kEntryAttributes] = kAttrLongName;
    EXPECT_EQ(WriteFile(root, "VICTIM.BIN", Bytes(1500)), 1500u);
    ASSERT_EQ(EntryRawName(floppy, kRoot, 3), "VICTIM  BIN");
    ASSERT_EQ(RawFat(floppy, 4), 5);

    EXPECT_TRUE(root.DeleteFile("victim.bin"));
    EXPECT_EQ(EntryBytes(floppy, kRoot, 2)[0], kEntryDeleted);
    EXPECT_EQ(EntryBytes(floppy, kRoot, 3)[0], kEntryDeleted);
    for (const std::uint32_t cluster : {4u, 5u, 6u}) EXPECT_EQ(RawFat(floppy, cluster), 0) << cluster;
    EXPECT_FALSE(root.DeleteFile("VICTIM.BIN"));

    EXPECT_TRUE(root.DeleteFile("KEEP.ME"));  // the file, not the directory of the same name
    EXPECT_FALSE(root.DeleteFile("KEEP.ME"));
    EXPECT_EQ(EntryBytes(floppy, kRoot, 0)[0], 'K');
    EXPECT_EQ(RawFat(floppy, 2), kFatEndOfChain);
    EXPECT_EQ(RawFat(floppy, 3), 0);
    EXPECT_TRUE(FatsIdentical(floppy));

    ASSERT_TRUE(root.CreateFile("NEW"));
    EXPECT_EQ(EntryRawName(floppy, kRoot, 1), "NEW        ");
}

class DamagedFloppy : public FloppyFiles {
protected:
    // A subdirectory SUB at cluster 2 whose first cluster is full of live entries.
    void MakeFullSubdirectory() {
        TFloppyDirectory root(floppy);
        ASSERT_TRUE(root.MakeDir("SUB"));
        for (std::uint32_t i = 2; i < 16; ++i) {
            const std::string name = "LIVE" + std::to_string(i) + "       ";
            std::copy_n(name.begin(), 11, EntryBytes(floppy, ClusterSector(2), i).begin());
        }
    }
};

TEST_F(DamagedFloppy, LoopingChainsAreWalkedAtMostOnceAroundTheDisk) {
    MakeFullSubdirectory();
    floppy.SetFATEntry(2, 2);
    TFloppyDirectory dir(floppy);
    ASSERT_TRUE(dir.ChangeDir("SUB"));
    EXPECT_LE(Names(dir).size(), 2847u * 16);
    const auto before = Snapshot();
    EXPECT_FALSE(dir.CreateFile("MORE"));
    EXPECT_FALSE(dir.DeleteFile("NOTHERE"));
    EXPECT_TRUE(Unchanged(before));

    // A file whose chain loops is freed all the same.
    TFloppyDirectory root(floppy);
    ASSERT_EQ(WriteFile(root, "LOOPED", Bytes(1024)), 1024u);
    const std::uint16_t first = EntryCluster(floppy, kRoot, 1);
    floppy.SetFATEntry(first + 1u, std::uint16_t(first));
    EXPECT_TRUE(root.DeleteFile("LOOPED"));
    EXPECT_EQ(RawFat(floppy, first), 0);
    EXPECT_EQ(RawFat(floppy, first + 1u), 0);
}

TEST_F(DamagedFloppy, ClustersBeyondTheDiskAreNeverUsed) {
    SetBootField(kBpbTotalSectors, 1000);  // clusters 2..968
    MakeFullSubdirectory();
    floppy.SetFATEntry(2, 1500);
    std::copy_n("GHOST      ", 11, EntryBytes(floppy, ClusterSector(1500), 0).begin());
    TFloppyDirectory dir(floppy);
    ASSERT_TRUE(dir.ChangeDir("SUB"));
    EXPECT_EQ(Names(dir).size(), 16u);
    const auto before = Snapshot();
    EXPECT_FALSE(dir.CreateFile("MORE"));
    EXPECT_TRUE(Unchanged(before));

    TFloppyDirectory root(floppy);
    ASSERT_TRUE(root.MakeDir("FAR"));
    for (const std::uint16_t cluster : {std::uint16_t(1500), std::uint16_t(4000), std::uint16_t(1)}) {
        PutLE16(EntryBytes(floppy, kRoot, 1).data() + kEntryCluster, cluster);
        EXPECT_FALSE(root.ChangeDir("FAR")) << cluster;
    }
    const auto big = Bytes(600 * 1024);
    EXPECT_EQ(WriteFile(root, "BIG", big), (968u - 3 + 1 - 1) * 512);  // 3 is FAR's own cluster
    EXPECT_TRUE(std::equal(before.begin() + 1000 * 512, before.end(), floppy.Image().begin() + 1000 * 512));
}

TEST_F(DamagedFloppy, BootSectorCountsOutsideTheImageMakeEveryOperationFail) {
    const std::pair<std::uint16_t, std::uint16_t> cases[] = {{0, 2880}, {65535, 2880}, {20, 2880}, {224, 10}, {224, 0}};
    for (const auto& [rootEntries, totalSectors] : cases) {
        ASSERT_TRUE(LoadBlankFloppy(floppy));
        SetBootField(kBpbRootEntryCount, rootEntries);
        SetBootField(kBpbTotalSectors, totalSectors);
        const auto before = Snapshot();
        TFloppyDirectory root(floppy);
        TDirEntry entry;
        EXPECT_FALSE(root.FindFirst(entry)) << rootEntries << "/" << totalSectors;
        EXPECT_FALSE(root.CreateFile("FILE")) << rootEntries << "/" << totalSectors;
        EXPECT_FALSE(root.MakeDir("DIR")) << rootEntries << "/" << totalSectors;
        EXPECT_TRUE(Unchanged(before)) << rootEntries << "/" << totalSectors;
    }
    // A total beyond the image is held to the image.
    ASSERT_TRUE(LoadBlankFloppy(floppy));
    SetBootField(kBpbTotalSectors, 65535);
    TFloppyDirectory root(floppy);
    EXPECT_EQ(WriteFile(root, "ALL", Bytes(1500 * 1024)), 2847u * 512);
}

TEST_F(FloppyFiles, SourceDateEpochFixesEntryDateAndTime) {
    const auto stamp = [this](const char* epoch, const std::string& name) {
        TSourceDateEpoch fixed(epoch);
        TFloppyDirectory root(floppy);
        EXPECT_TRUE(root.MakeDir(name));
        TDirEntry entry;
        for (bool found = root.FindFirst(entry); found; found = root.FindNext(entry))
            if (TFloppyDirectory::EntryName(entry) == name) break;
        return std::pair(GetLE16(entry.data() + kEntryDate), GetLE16(entry.data() + kEntryTime));
    };
    // 2023-11-14 22:13:20 UTC
    EXPECT_EQ(stamp("1700000000", "NOW"), std::pair(std::uint16_t(43 << 9 | 11 << 5 | 14),
                                                    std::uint16_t(22 << 11 | 13 << 5 | 10)));
    // Outside the DOS range: its first and last moments.
    EXPECT_EQ(stamp("0", "EARLY"), std::pair(std::uint16_t(1 << 5 | 1), std::uint16_t(0)));
    EXPECT_EQ(stamp("99999999999", "LATE"), std::pair(std::uint16_t(127 << 9 | 12 << 5 | 31),
                                                      std::uint16_t(23 << 11 | 59 << 5 | 29)));
}

}  // namespace
}  // namespace bootdisk
