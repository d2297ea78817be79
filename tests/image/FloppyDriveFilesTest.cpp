// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/FloppyDriveFiles.h"

#include <gtest/gtest.h>

#include "image/FloppyFiles.h"
#include "image/FloppyTestImage.h"

namespace bootdisk {
namespace {

using namespace bootdisk::test;

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

class FloppyDriveFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LoadBlankFloppy(floppy)) GTEST_SKIP() << kNoMkfs;
    }
    bool Create(const std::string& path, std::vector<std::uint8_t> bytes) {
        TMemoryStream source(std::move(bytes));
        return files.CreateFile(path, source);
    }
    int LiveEntries(const std::string& name) {
        TFloppyDirectory dir(floppy);
        int count = 0;
        TDirEntry entry;
        for (bool found = dir.FindFirst(entry); found; found = dir.FindNext(entry))
            count += entry[0] != fat12::kEntryDeleted && TFloppyDirectory::EntryName(entry) == name;
        return count;
    }

    TVirtualFloppy floppy;
    int accesses = 0;
    TFloppyDriveFiles files{[this](const TFloppyWork& work) {
        ++accesses;
        return work(floppy);
    }};
};

TEST_F(FloppyDriveFilesTest, FoldersAndFilesReadBack) {
    ASSERT_TRUE(files.MakeFolder("Korvane\\DATA"));
    ASSERT_TRUE(files.MakeFolder("Korvane\\DATA"));  // already there
    ASSERT_TRUE(Create("Korvane\\DATA\\Methods.txt", Bytes("methods")));
    ASSERT_TRUE(Create("ROOT.TXT", {}));
    EXPECT_EQ(ReadFloppyFile(floppy, "KORVANE\\data\\METHODS.TXT"), Bytes("methods"));
    EXPECT_EQ(ReadFloppyFile(floppy, "root.txt"), std::vector<std::uint8_t>());
    EXPECT_FALSE(ReadFloppyFile(floppy, "Korvane\\DATA"));  // a folder
    EXPECT_FALSE(ReadFloppyFile(floppy, "MISSING.TXT"));
    EXPECT_EQ(accesses, 4);
}

TEST_F(FloppyDriveFilesTest, AFileOfTheSameNameGivesWay) {
    ASSERT_TRUE(Create("AUTOEXEC.BAT", std::vector<std::uint8_t>(3000, 'x')));
    ASSERT_TRUE(Create("Autoexec.bat", Bytes("@echo off\r\n")));
    EXPECT_EQ(ReadFloppyFile(floppy, "AUTOEXEC.BAT"), Bytes("@echo off\r\n"));
    EXPECT_EQ(LiveEntries("AUTOEXEC.BAT"), 1);
    // The first file's clusters are free again: the FATs hold only the new file's one cluster.
    EXPECT_EQ(RawFat(floppy, 2) >= fat12::kFatEndMin, true);
    EXPECT_EQ(RawFat(floppy, 3), fat12::kFatFree);
}

TEST_F(FloppyDriveFilesTest, WhatCannotBeWrittenGivesFalse) {
    ASSERT_TRUE(files.MakeFolder("KORVANE"));
    EXPECT_FALSE(Create("Korvane", Bytes("a folder is in the way")));
    EXPECT_FALSE(Create("MISSING\\FILE.TXT", Bytes("no such folder")));
    EXPECT_FALSE(Create("..\\ESCAPE.TXT", Bytes("outside")));
    EXPECT_FALSE(files.MakeFolder("C:\\DOS"));
    EXPECT_FALSE(Create("BIG.BIN", std::vector<std::uint8_t>(fat12::kImageSize + 1)));  // never read in whole
    EXPECT_FALSE(Create("FULL.BIN", std::vector<std::uint8_t>(fat12::kImageSize)));  // more than the disk holds
    EXPECT_EQ(LiveEntries("KORVANE"), 1);
}

TEST_F(FloppyDriveFilesTest, ADamagedChainReadsAsMissing) {
    ASSERT_TRUE(Create("TWO.BIN", std::vector<std::uint8_t>(1000, 7)));
    fat12::PutFat12(SectorBytes(floppy, fat12::kFirstFatSector).data(), 2, 2);  // the chain loops on itself
    EXPECT_EQ(ReadFloppyFile(floppy, "TWO.BIN")->size(), 1000u);  // the size ends the walk
    fat12::PutFat12(SectorBytes(floppy, fat12::kFirstFatSector).data(), 2, 4000 & 0xFFF);
    EXPECT_FALSE(ReadFloppyFile(floppy, "TWO.BIN"));
}

}  // namespace
}  // namespace bootdisk
