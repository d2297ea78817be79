// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <numeric>
#include <vector>

#include "base/Bytes.h"
#include "disk/Disk.h"
#include "disk/Disk9x.h"
#include "disk/DiskNT.h"
#include "platform/sim/SimRawDevice.h"
#include "platform/sim/SimVwin32.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

TSimVwin32Config DriveE() {
    TSimVwin32Config config;
    config.driveIndex = 4;
    return config;
}

std::vector<std::uint8_t> Pattern(std::size_t bytes, std::uint8_t seed = 1) {
    std::vector<std::uint8_t> data(bytes);
    for (std::size_t i = 0; i < bytes; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return data;
}

TEST(CreateDisk, ChoosesByPlatformFamily) {
    TSimRawDevices devices;
    TSimVwin32 vwin32;
    for (std::uint32_t platform : {0u, 1u, 2u, 3u}) {
        const auto disk = CreateDisk('E', {{platform, 4, 0}, 950, devices, vwin32});
        EXPECT_EQ(dynamic_cast<TDiskNT*>(disk.get()) != nullptr, platform == 2) << platform;
        EXPECT_EQ(disk->Drive, 'E');
        EXPECT_TRUE(disk->Failed);
    }
}

TEST(DiskNT, OpenTakesSizeFromTheDeviceAndDriveInfoFromTheHost) {
    TSimRawDevices devices;
    auto& drive = devices.Add('E', 16 * 1024 * 1024 + 300, THostDriveType::Removable);
    drive.volume = TVolumeInfo{"STICK", "FAT32"};
    drive.freeSpace = TFreeSpace{8, 512, 100, 4000};
    TDiskNT disk('C', devices);
    EXPECT_FALSE(disk.OpenDrive('E', false));
    EXPECT_EQ(disk.Size, 16u * 1024 * 1024 + 300);
    EXPECT_EQ(disk.TotalSectors, 32768u);  // a partial last sector does not count
    EXPECT_EQ(disk.BytesPerSector, 512u);
    EXPECT_EQ(disk.SectorsPerCluster, 1u);
    EXPECT_EQ(disk.DriveType, 3);
    EXPECT_EQ(disk.VolumeName, "STICK");
    EXPECT_EQ(disk.FileSystemName, "FAT32");
    EXPECT_EQ(disk.ClusterBytes, 4096u);
    EXPECT_EQ(drive.lastAccess, TDeviceAccess::ReadWrite);
    EXPECT_FALSE(disk.Close());
    EXPECT_EQ(drive.openDevices, 0);

    EXPECT_FALSE(disk.Open(true));
    EXPECT_EQ(drive.lastAccess, TDeviceAccess::ReadOnly);
}

TEST(DiskNT, DriveTypesMapToTheirCodes) {
    TSimRawDevices devices;
    devices.Add('C', 4096, THostDriveType::Fixed);
    devices.Add('D', 4096, THostDriveType::Other);
    TDiskNT disk('C', devices);
    disk.Open(true);
    EXPECT_EQ(disk.DriveType, 1);
    EXPECT_TRUE(disk.VolumeName.empty());
    EXPECT_EQ(disk.ClusterBytes, 0u);
    disk.OpenDrive('D', true);
    EXPECT_EQ(disk.DriveType, 4);
    disk.OpenDrive('Q', true);
    EXPECT_EQ(disk.DriveType, 0);
}

TEST(DiskNT, DriveAIsAFloppyWithoutAskingItsLength) {
    TSimRawDevices devices;
    auto& drive = devices.Add('A', 720 * 1024);
    drive.faults.sizeError = 1;  // would fail if it were asked
    TDiskNT disk('A', devices);
    EXPECT_FALSE(disk.Open(false));
    EXPECT_EQ(disk.Size, 1'474'560u);
    EXPECT_EQ(disk.TotalSectors, 2880u);
}

TEST(DiskNT, FailedOpenLeavesNoDeviceOpen) {
    TSimRawDevices devices;
    auto& drive = devices.Add('E', 1 << 20);
    TDiskNT disk('E', devices);

    drive.faults.openError = 21;
    EXPECT_TRUE(disk.Open(false));
    EXPECT_EQ(disk.LastError, 21u);

    drive.faults = {};
    drive.faults.sizeError = 1117;
    EXPECT_TRUE(disk.Open(false));
    EXPECT_EQ(disk.LastError, 1117u);
    EXPECT_FALSE(disk.IsOpen());
    EXPECT_EQ(drive.openDevices, 0);

    drive.faults = {};
    drive.faults.seekError = 25;
    EXPECT_TRUE(disk.Open(false));
    EXPECT_EQ(disk.LastError, 25u);
    EXPECT_EQ(drive.openDevices, 0);

    // Nothing is written through a disk whose open failed.
    const auto data = Pattern(512);
    EXPECT_TRUE(disk.WriteSectors(data.data(), 0, 1));
    EXPECT_EQ(drive.writes, 0);

    drive.faults = {};
    EXPECT_FALSE(disk.Open(false));
    EXPECT_EQ(drive.openDevices, 1);
    // Opening again closes the old handle first, so the exclusive open succeeds.
    EXPECT_FALSE(disk.Open(false));
    EXPECT_EQ(drive.openDevices, 1);
}

TEST(DiskNT, ConsecutiveTransfersSeekOnlyWhenTheOffsetJumps) {
    TSimRawDevices devices;
    auto& drive = devices.Add('E', 64 * 512);
    TDiskNT disk('E', devices);
    ASSERT_FALSE(disk.Open(false));
    const int seeksAfterOpen = drive.seeks;
    const auto data = Pattern(8 * 512);
    EXPECT_FALSE(disk.WriteSectors(data.data(), 0, 4));
    EXPECT_FALSE(disk.WriteSectors(data.data() + 4 * 512, 4, 4));
    EXPECT_EQ(drive.seeks, seeksAfterOpen);
    EXPECT_EQ(disk.Position, 8u * 512);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), drive.bytes.begin()));

    std::vector<std::uint8_t> back(2 * 512);
    EXPECT_FALSE(disk.ReadSectors(back.data(), 3, 2));
    EXPECT_EQ(drive.seeks, seeksAfterOpen + 1);
    EXPECT_TRUE(std::equal(back.begin(), back.end(), data.begin() + 3 * 512));
}

TEST(DiskNT, ShortOrFailedWritesAreFailures) {
    TSimRawDevices devices;
    auto& drive = devices.Add('E', 64 * 512);
    TDiskNT disk('E', devices);
    ASSERT_FALSE(disk.Open(false));
    const auto data = Pattern(8 * 512);

    drive.faults.shortWriteAtSector = 5;
    EXPECT_TRUE(disk.WriteSectors(data.data(), 2, 8));
    EXPECT_EQ(disk.LastError, kErrorWriteFault);
    EXPECT_EQ(disk.Position, 5u * 512);  // the device stands where the write stopped

    drive.faults = {};
    drive.faults.failWriteAtSector = 40;
    EXPECT_TRUE(disk.WriteSectors(data.data(), 36, 8));
    EXPECT_EQ(disk.LastError, TSimRawDevices::kErrorWriteFault);

    // The next transfer seeks to its own offset again.
    drive.faults = {};
    EXPECT_FALSE(disk.WriteSectors(data.data(), 36, 8));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), drive.bytes.begin() + 36 * 512));

    // A write past the end moves fewer bytes than asked.
    EXPECT_TRUE(disk.WriteSectors(data.data(), 60, 8));

    // An offset beyond 64 bits is refused, not wrapped to the start of the drive.
    const int writes = drive.writes;
    EXPECT_TRUE(disk.WriteSectors(data.data(), (UINT64_MAX / 512) + 1, 1));
    EXPECT_EQ(disk.LastError, kErrorInvalidParameter);
    EXPECT_EQ(drive.writes, writes);
}

TEST(DiskNT, VolumeControlsReportTheirOutcome) {
    TSimRawDevices devices;
    auto& drive = devices.Add('E', 4096);
    TDiskNT disk('E', devices);
    EXPECT_TRUE(disk.Dismount());  // not open
    EXPECT_EQ(disk.LastError, kErrorInvalidHandle);
    ASSERT_FALSE(disk.Open(false));
    drive.faults.lockError = 33;
    EXPECT_TRUE(disk.Lock());
    EXPECT_EQ(disk.LastError, 33u);
    drive.faults.lockError = 0;
    EXPECT_FALSE(disk.Lock());
    EXPECT_FALSE(disk.Unlock());
    EXPECT_FALSE(disk.Dismount());
    EXPECT_EQ(drive.locks, 2);
    EXPECT_EQ(drive.unlocks, 1);
    EXPECT_EQ(drive.dismounts, 1);
}

TEST(DiskNT, WritesAndReadsARealFileExclusively) {
    test::TTempDir dir;
    const std::string path = dir / "disk.img";
    {
        std::ofstream file(path, std::ios::binary);
        const std::vector<char> zeros(100 * 512, 0);
        file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    auto host = CreateHostRawDevices();
    host->Assign('e', path, THostDriveType::Removable);
    TDiskNT disk('E', *host);
    ASSERT_FALSE(disk.Open(false)) << disk.LastError;
    EXPECT_EQ(disk.Size, 100u * 512);
    EXPECT_EQ(disk.TotalSectors, 100u);
    EXPECT_EQ(disk.DriveType, 3);

    const auto data = Pattern(3 * 512, 9);
    EXPECT_FALSE(disk.WriteSectors(data.data(), 10, 3));
    EXPECT_FALSE(disk.WriteSectors(data.data(), 97, 3));
    TDiskNT second('E', *host);
    EXPECT_TRUE(second.Open(true));  // the first holds the device exclusively
    EXPECT_NE(second.LastError, 0u);
    EXPECT_FALSE(disk.Lock());
    EXPECT_FALSE(disk.Unlock());
    std::vector<std::uint8_t> back(3 * 512);
    EXPECT_FALSE(disk.ReadSectors(back.data(), 10, 3));
    EXPECT_EQ(back, data);
    EXPECT_TRUE(disk.ReadSectors(back.data(), 99, 3));  // runs past the end
    EXPECT_FALSE(disk.Close());
    EXPECT_FALSE(second.Open(true));

    std::ifstream file(path, std::ios::binary);
    std::vector<char> contents(100 * 512);
    file.read(contents.data(), static_cast<std::streamsize>(contents.size()));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), contents.begin() + 10 * 512,
                           [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));
    EXPECT_EQ(file.gcount(), 100 * 512);

    host->Assign('F', dir / "missing.img", THostDriveType::Removable);
    TDiskNT missing('F', *host);
    EXPECT_TRUE(missing.Open(true));
    EXPECT_NE(missing.LastError, 0u);
    EXPECT_TRUE(TDiskNT('G', *host).Open(true));  // no device behind the letter
}

class Disk9xTest : public ::testing::Test {
protected:
    TSimRawDevices devices;
    TSimVwin32 vwin32{DriveE()};
};

TEST_F(Disk9xTest, OpenReadsTheGeometryFromTheDeviceParameters) {
    TDisk9x disk('e', devices, vwin32, 1111);
    EXPECT_FALSE(disk.Open(false));
    EXPECT_EQ(disk.DriveIndex, 4u);
    EXPECT_EQ(disk.BytesPerSector, 512u);
    EXPECT_EQ(disk.TotalSectors, 2880u);
    EXPECT_EQ(disk.Size, 1'474'560u);
    EXPECT_EQ(disk.SectorsPerTrack, 18);
    EXPECT_EQ(disk.Heads, 2);
    EXPECT_EQ(disk.Cylinders, 80);
    ASSERT_EQ(vwin32.requests.size(), 1u);
    const auto& r = vwin32.requests[0].registers;
    EXPECT_EQ(vwin32.requests[0].service, vwin32::kDiosIoctl);
    EXPECT_EQ(r.eax, 0x440Du);
    EXPECT_EQ(r.ebx, 5u);
    EXPECT_EQ(r.ecx, 0x0860u);
    EXPECT_EQ(r.flags, vwin32::kCarryFlag);  // preset: only the service clears it
    EXPECT_FALSE(disk.Close());
    EXPECT_EQ(vwin32.openServices, 0);
}

// DOS gives a volume under 65,536 sectors its count in the 16-bit field only, a larger one in the
// 32-bit field only; the simulated service does the same.
TEST_F(Disk9xTest, TheSectorCountComesFromWhicheverFieldDosFilled) {
    for (const std::uint32_t sectors : {2880u, 65535u, 65536u, 100000u}) {
        vwin32.config.sectors = sectors;
        TDisk9x disk('E', devices, vwin32, 1111);
        EXPECT_FALSE(disk.Open(false)) << sectors;
        EXPECT_EQ(disk.TotalSectors, sectors);
        EXPECT_EQ(disk.Size, std::uint64_t{sectors} * 512);
    }
}

TEST_F(Disk9xTest, FailedGeometryQueryLeavesAnEmptyDisk) {
    vwin32.config.carryOnFunction = 0x0860;
    TDisk9x disk('E', devices, vwin32, 1111);
    EXPECT_TRUE(disk.Open(false));
    EXPECT_EQ(disk.LastError, TSimVwin32::kDosInvalidFunction);
    EXPECT_EQ(disk.BytesPerSector, 512u);
    EXPECT_EQ(disk.TotalSectors, 0u);
    EXPECT_EQ(disk.Size, 0u);

    vwin32.config = DriveE();
    vwin32.config.openError = 2;
    EXPECT_TRUE(disk.Open(false));
    EXPECT_EQ(disk.LastError, 2u);
    EXPECT_FALSE(disk.IsOpen());
}

TEST_F(Disk9xTest, ReadOnlyDiskRefusesWritesWithoutSendingThem) {
    TDisk9x disk('E', devices, vwin32, 1111);
    ASSERT_FALSE(disk.Open(true));
    const auto sent = vwin32.requests.size();
    const auto data = Pattern(512);
    EXPECT_TRUE(disk.WriteSectors(data.data(), 0, 1));
    EXPECT_EQ(disk.LastError, 5u);
    EXPECT_EQ(vwin32.requests.size(), sent);
    std::vector<std::uint8_t> back(512);
    EXPECT_FALSE(disk.ReadSectors(back.data(), 0, 1));
}

TEST_F(Disk9xTest, BuildNumberChoosesThePlainOrExtendedServices) {
    for (const std::uint32_t build : {1000u, 1001u}) {
        vwin32.requests.clear();
        TDisk9x disk('E', devices, vwin32, build);
        ASSERT_FALSE(disk.Open(false));
        const auto data = Pattern(4 * 512, static_cast<std::uint8_t>(build));
        EXPECT_FALSE(disk.WriteSectors(data.data(), 100, 4));
        std::vector<std::uint8_t> back(4 * 512);
        EXPECT_FALSE(disk.ReadSectors(back.data(), 100, 4));
        EXPECT_EQ(back, data);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), vwin32.disk.begin() + 100 * 512));
        ASSERT_EQ(vwin32.requests.size(), 3u);
        const auto& write = vwin32.requests[1];
        const auto& read = vwin32.requests[2];
        if (build == 1000) {
            EXPECT_EQ(write.service, vwin32::kDiosWrite);
            EXPECT_EQ(read.service, vwin32::kDiosRead);
            EXPECT_EQ(write.registers.eax, 4u);
        } else {
            EXPECT_EQ(write.service, vwin32::kDiosDriveInfo);
            EXPECT_EQ(read.service, vwin32::kDiosDriveInfo);
            EXPECT_EQ(write.registers.eax, 0x7305u);
            EXPECT_EQ(write.registers.edx, 5u);
            EXPECT_EQ(write.registers.esi, 1u);
            EXPECT_EQ(read.registers.esi, 0u);
        }
        EXPECT_EQ(write.registers.ecx, 0xFFFFu);
    }
}

TEST_F(Disk9xTest, ServiceFailuresAreReported) {
    TDisk9x disk('E', devices, vwin32, 1111);
    ASSERT_FALSE(disk.Open(false));
    const auto data = Pattern(4 * 512);
    vwin32.config.failWriteAtSector = 2;
    EXPECT_TRUE(disk.WriteSectors(data.data(), 0, 4));
    EXPECT_EQ(disk.LastError, TSimVwin32::kDosWriteFault);

    vwin32.config.controlError = 50;
    EXPECT_TRUE(disk.WriteSectors(data.data(), 8, 4));
    EXPECT_EQ(disk.LastError, 50u);

    vwin32.config.controlError = 0;
    EXPECT_TRUE(disk.WriteSectors(data.data(), 2879, 4));  // past the last sector

    // Runs the transfer packet cannot describe are refused before anything is sent.
    const auto sent = vwin32.requests.size();
    EXPECT_TRUE(disk.ReadSectors(nullptr, 0x1'0000'0000u, 1));
    EXPECT_TRUE(disk.ReadSectors(nullptr, 0, 0x10000));
    EXPECT_EQ(disk.LastError, kErrorInvalidParameter);
    EXPECT_EQ(vwin32.requests.size(), sent);

    disk.Close();
    EXPECT_TRUE(disk.ReadSectors(nullptr, 0, 1));
    EXPECT_EQ(disk.LastError, kErrorInvalidHandle);
}

TEST_F(Disk9xTest, LockSendsTwoRequestsAndUnlockReportsNothing) {
    TDisk9x disk('E', devices, vwin32, 1000);
    ASSERT_FALSE(disk.Open(false));
    vwin32.requests.clear();
    EXPECT_FALSE(disk.Lock());
    ASSERT_EQ(vwin32.requests.size(), 2u);
    EXPECT_EQ(vwin32.requests[0].registers.ecx, 0x084Au);
    EXPECT_EQ(vwin32.requests[0].registers.ebx, 5u);
    EXPECT_EQ(vwin32.requests[0].registers.edx, 0u);
    EXPECT_EQ(vwin32.requests[1].registers.edx, 4u);

    vwin32.config.carryOnFunction = 0x086A;
    EXPECT_FALSE(disk.Unlock());
    EXPECT_EQ(vwin32.requests.back().registers.ecx, 0x086Au);

    vwin32.config.carryOnFunction = 0x084A;
    EXPECT_TRUE(disk.Lock());

    TDisk9x extended('E', devices, vwin32, 1001);
    ASSERT_FALSE(extended.Open(false));
    extended.Unlock();
    EXPECT_EQ(vwin32.requests.back().registers.ecx, 0x486Au);
}

}  // namespace
}  // namespace bootdisk
