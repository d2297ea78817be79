// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "disk/DirectDisk.h"
#include "platform/sim/SimRawDevice.h"
#include "platform/sim/SimVwin32.h"

namespace bootdisk {
namespace {

constexpr std::size_t kFloppyBytes = 2880 * 512;

std::vector<std::uint8_t> Image(std::size_t bytes) {
    std::vector<std::uint8_t> data(bytes);
    for (std::size_t i = 0; i < bytes; ++i) data[i] = static_cast<std::uint8_t>(i / 512 + i);
    return data;
}

class DirDiskTest : public ::testing::Test {
protected:
    DirDiskTest() {
        auto& a = devices.Add('A', kFloppyBytes, THostDriveType::Removable);
        a.freeSpace = TFreeSpace{1, 512, 2800, 2847};
        devices.Add('C', 1 << 20, THostDriveType::Fixed).freeSpace = TFreeSpace{8, 512, 10, 20000};
        devices.Add('D', kFloppyBytes, THostDriveType::Removable);  // nothing mounted: no figures
    }
    TDirDisk Make(std::uint32_t platform) {
        return TDirDisk({{platform, 4, 10}, devices, vwin32, [this](const std::string& text, const std::string& caption) {
                             asked.push_back(caption + "|" + text);
                             return answer;
                         }});
    }
    std::vector<std::uint32_t> BiosCounts() const {
        std::vector<std::uint32_t> counts;
        for (const auto& request : vwin32.requests)
            if (request.service == vwin32::kDiosInt13) counts.push_back(request.registers.eax & 0xFF);
        return counts;
    }

    TSimRawDevices devices;
    TSimVwin32 vwin32;
    std::vector<std::string> asked;
    bool answer = true;
};

TEST_F(DirDiskTest, ConstructionDefaults) {
    auto disk = Make(2);
    EXPECT_EQ(disk.DriveName(), 'C');
    EXPECT_TRUE(disk.DriveValid());
    EXPECT_EQ(disk.FirstSector(), 0u);
    EXPECT_EQ(disk.Sectors(), 1u);
    EXPECT_EQ(disk.Retries(), 2u);
    EXPECT_FALSE(disk.NeedDiskLock);
    EXPECT_FALSE(disk.NeedWriteWarn);
    const std::string banner = disk.About();
    disk.SetAbout("something else");
    EXPECT_EQ(disk.About(), banner);
    disk.SetRetries(0);
    disk.SetRetries(26);
    EXPECT_EQ(disk.Retries(), 2u);
}

TEST_F(DirDiskTest, DriveNameAndRangeRules) {
    auto disk = Make(2);
    disk.SetDriveName('a');
    EXPECT_EQ(disk.DriveName(), 'A');
    EXPECT_TRUE(disk.DriveValid());
    disk.SetDriveName('1');
    EXPECT_FALSE(disk.DriveValid());
    EXPECT_EQ(disk.DriveName(), 'A');

    // D: cannot be read: A:'s figures stay in force.
    disk.SetDriveName('D');
    EXPECT_FALSE(disk.DriveValid());
    EXPECT_EQ(disk.DriveName(), 'A');
    EXPECT_EQ(disk.DriveFigures().totalClusters, 2847u);

    // The rules count the floppy's 2880 sectors, not the 2847 of its data area, figures or none.
    disk.SetSectors(2881);  // would reach past the floppy
    EXPECT_EQ(disk.Sectors(), 1u);
    disk.SetSectors(2880);
    EXPECT_EQ(disk.Sectors(), 2880u);
    disk.SetFirstSector(2880);
    EXPECT_EQ(disk.FirstSector(), 0u);
    disk.SetFirstSector(2862);
    EXPECT_EQ(disk.FirstSector(), 2862u);
    disk.SetSectors(19);  // checked against the new first sector
    EXPECT_EQ(disk.Sectors(), 2880u);
    disk.SetSectors(18);
    EXPECT_EQ(disk.Sectors(), 18u);
}

TEST_F(DirDiskTest, RunsBeyondTheDataAreaLandOnTheirOwnSectors) {
    const auto image = Image(18 * 512);
    // A formatted floppy's figures (2847 data sectors), then none at all: an unformatted disk, or
    // a host that gives no figures.
    for (const bool figures : {true, false}) {
        if (!figures) {
            devices.Drive('A').freeSpace.reset();
            devices.Drive('C').freeSpace.reset();
        }
        for (const std::uint32_t platform : {1u, 2u}) {
            auto disk = Make(platform);
            disk.SetDriveName('A');
            disk.SetSectors(18);
            disk.SetFirstSector(2862);
            ASSERT_TRUE(disk.WriteSectors('A', image, kMedia144)) << platform;
            auto& written = platform == 1 ? vwin32.disk : devices.Drive('A').bytes;
            EXPECT_TRUE(std::equal(image.begin(), image.end(), written.begin() + 2862 * 512)) << platform;
            std::fill(written.begin(), written.end(), std::uint8_t(0));
        }
    }
    // A run that does not fit the media type is refused.
    auto disk = Make(2);
    disk.SetSectors(18);
    disk.SetFirstSector(1430);
    EXPECT_FALSE(disk.WriteSectors('A', image, 1));  // 720 KB: 1440 sectors
}

TEST_F(DirDiskTest, OnlyRemovableDrivesAOrBAreWrittenAndNeverAskedAbout) {
    auto disk = Make(2);
    disk.NeedWriteWarn = true;
    const auto image = Image(512);
    EXPECT_FALSE(disk.WriteSectors('c', image, kMedia144));
    EXPECT_FALSE(disk.DriveValid());
    disk.SetDriveName('C');
    EXPECT_FALSE(disk.WriteSectors('D', image, kMedia144));  // removable but not a floppy drive
    EXPECT_FALSE(disk.DriveValid());
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(devices.Drive('C').writes + devices.Drive('D').writes, 0);
}

TEST_F(DirDiskTest, ConfirmationGuardsEveryWrite) {
    auto disk = Make(2);
    disk.NeedWriteWarn = true;
    const auto image = Image(512);
    answer = false;
    EXPECT_FALSE(disk.WriteSectors('a', image, kMedia144));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "Attention|Dangerous!\rDo you want to write to the drive A: really?");
    EXPECT_EQ(devices.Drive('A').writes, 0);
    answer = true;
    EXPECT_TRUE(disk.WriteSectors('A', image, kMedia144));
    EXPECT_EQ(asked.size(), 2u);
}

TEST_F(DirDiskTest, BadArgumentsAreRefused) {
    auto disk = Make(2);
    disk.SetDriveName('A');
    disk.SetSectors(4);
    EXPECT_FALSE(disk.WriteSectors('A', Image(3 * 512), kMedia144));  // buffer shorter than the run
    EXPECT_FALSE(disk.WriteSectors('A', Image(4 * 512), 5));
    EXPECT_FALSE(disk.WriteSectors('A', Image(4 * 512), -1));
    EXPECT_EQ(devices.Drive('A').writes, 0);
    EXPECT_FALSE(Make(3).WriteSectors('A', Image(512), kMedia144));  // unknown platform
}

TEST_F(DirDiskTest, NineXWritesWholeTracksThenSingleSectors) {
    auto disk = Make(1);
    disk.SetDriveName('A');
    const auto image = Image(kFloppyBytes);
    disk.SetSectors(36);
    EXPECT_TRUE(disk.WriteSectors('A', image, kMedia144));
    EXPECT_EQ(BiosCounts(), (std::vector<std::uint32_t>{18, 18}));
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 36 * 512, vwin32.disk.begin()));

    vwin32.requests.clear();
    disk.SetSectors(20);
    disk.SetFirstSector(36);
    EXPECT_TRUE(disk.WriteSectors('A', {image.data() + 36 * 512, 20 * 512}, kMedia144));
    EXPECT_EQ(BiosCounts(), (std::vector<std::uint32_t>{18, 1, 1}));
    const auto& first = vwin32.requests[0].registers;
    EXPECT_EQ(first.eax, 0x0312u);
    EXPECT_EQ(first.ecx, 1u << 8 | 1);  // cylinder 1, sector 1
    EXPECT_EQ(first.edx, 0u);           // head 0, drive 0
    EXPECT_EQ(vwin32.requests[1].registers.edx, 1u << 8);  // head 1
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 56 * 512, vwin32.disk.begin()));

    // A run that starts inside a track stays on that track sector by sector.
    vwin32.requests.clear();
    disk.SetFirstSector(5);
    disk.SetSectors(18);
    EXPECT_TRUE(disk.WriteSectors('A', {image.data() + 5 * 512, 18 * 512}, kMedia144));
    EXPECT_EQ(BiosCounts(), std::vector<std::uint32_t>(18, 1));
    EXPECT_EQ(vwin32.openServices, 0);
}

TEST_F(DirDiskTest, NineXRetriesEachTransfer) {
    auto disk = Make(1);
    disk.SetDriveName('A');
    disk.SetSectors(18);
    const auto image = Image(18 * 512);
    vwin32.config.transientWriteFailures = 1;
    EXPECT_TRUE(disk.WriteSectors('A', image, kMedia144));
    EXPECT_EQ(BiosCounts().size(), 2u);

    vwin32.requests.clear();
    vwin32.config.transientWriteFailures = 2;
    EXPECT_FALSE(disk.WriteSectors('A', image, kMedia144));
    EXPECT_EQ(BiosCounts().size(), 2u);

    vwin32.config.openError = 2;
    EXPECT_FALSE(disk.WriteSectors('A', image, kMedia144));
}

TEST_F(DirDiskTest, NtWritesTheRunAtItsOffset) {
    auto disk = Make(2);
    disk.SetDriveName('A');
    disk.SetSectors(40);
    disk.SetFirstSector(3);
    disk.NeedDiskLock = true;
    const auto image = Image(40 * 512);
    EXPECT_TRUE(disk.WriteSectors('A', image, kMedia144));
    auto& a = devices.Drive('A');
    EXPECT_TRUE(std::equal(image.begin(), image.end(), a.bytes.begin() + 3 * 512));
    EXPECT_EQ(a.locks, 1);
    EXPECT_EQ(a.dismounts, 1) << "the file system lets go of the floppy's old contents";
    EXPECT_EQ(a.unlocks, 1);
    EXPECT_EQ(a.openDevices, 0);
    EXPECT_FALSE(disk.VolumeInUse());

    a.faults.lockError = 19;
    EXPECT_FALSE(disk.WriteSectors('A', image, kMedia144));
    EXPECT_EQ(a.writes, 1);
    EXPECT_TRUE(disk.VolumeInUse());
}

TEST_F(DirDiskTest, NtRetryStartsAgainAtTheOffsetAndNeedsEveryByte) {
    auto disk = Make(2);
    disk.SetDriveName('A');
    disk.SetSectors(18);
    disk.SetFirstSector(18);
    auto& a = devices.Drive('A');
    const auto image = Image(18 * 512);

    a.faults.transientShortWrites = 1;
    EXPECT_TRUE(disk.WriteSectors('A', image, kMedia144));
    EXPECT_EQ(a.writes, 2);
    EXPECT_EQ(a.seeks, 2);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), a.bytes.begin() + 18 * 512));
    EXPECT_TRUE(std::all_of(a.bytes.begin() + 36 * 512, a.bytes.end(), [](std::uint8_t b) { return b == 0; }));

    a.faults.transientShortWrites = 2;
    EXPECT_FALSE(disk.WriteSectors('A', image, kMedia144));
    a.faults = {};
    a.faults.failWriteAtSector = 20;
    EXPECT_FALSE(disk.WriteSectors('A', image, kMedia144));
    EXPECT_EQ(a.writes, 6);
}

}  // namespace
}  // namespace bootdisk
