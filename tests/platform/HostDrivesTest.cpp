#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/HostDrives.h"
#include "platform/linux/BlockDevices.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

namespace fs = std::filesystem;
using testing::Optional;

TEST(HostDrive, RefusalReasonsComeInOrderOfWeight) {
    THostDrive drive{"/dev/sdb", "Stick", 16'000'000'000, THostDriveType::Removable, false, std::nullopt, {}};
    EXPECT_EQ(drive.Refusal(), TDriveRefusal::None);
    drive.usedBy = {"dm-0"};
    EXPECT_EQ(drive.Refusal(), TDriveRefusal::InUse);
    drive.mountedAt = "/media/stick";
    EXPECT_EQ(drive.Refusal(), TDriveRefusal::Mounted);
    drive.holdsSystem = true;
    EXPECT_EQ(drive.Refusal(), TDriveRefusal::HoldsSystem);
    drive.type = THostDriveType::Fixed;
    EXPECT_EQ(drive.Refusal(), TDriveRefusal::NotRemovable);
    drive.type = THostDriveType::Other;  // a partition, say
    EXPECT_EQ(drive.Refusal(), TDriveRefusal::NotRemovable);
}

TEST(HostDrive, SizesReadAsDrivesAreSold) {
    EXPECT_EQ(FormatSize(0), "0 B");
    EXPECT_EQ(FormatSize(1'474'560), "1.5 MB");
    EXPECT_EQ(FormatSize(16'008'609'792), "16.0 GB");
    EXPECT_EQ(FormatSize(999), "999 B");
}

// A made-up sysfs: sys/block/NAME and sys/dev/block/MAJ:MIN links, as the kernel lays them out.
class BlockDevices : public ::testing::Test {
protected:
    fs::path Disk(const std::string& name, const std::string& number) {
        const fs::path folder = sys / "devices" / name;
        fs::create_directories(folder);
        Write(folder / "dev", number);
        fs::create_directories(sys / "block");
        fs::create_symlink(folder, sys / "block" / name);
        Link(number, folder);
        return folder;
    }
    void Partition(const fs::path& disk, const std::string& name, const std::string& number) {
        fs::create_directories(disk / name);
        Write(disk / name / "dev", number);
        Write(disk / name / "partition", "1");
        Link(number, disk / name);
    }
    void Link(const std::string& number, const fs::path& target) {
        fs::create_directories(sys / "dev/block");
        fs::create_symlink(target, sys / "dev/block" / number);
    }
    static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text << "\n"; }

    test::TTempDir temp;
    fs::path sys = fs::path(temp.Path()) / "sys";
    linuxhost::TSystemPaths paths{sys.string(), (fs::path(temp.Path()) / "mounts").string(), "/"};
};

TEST_F(BlockDevices, APartitionBelongsToItsDisk) {
    const auto disk = Disk("sdb", "8:16");
    Partition(disk, "sdb1", "8:17");
    EXPECT_THAT(linuxhost::DiskOf("8:17", paths), Optional(std::string("8:16")));
    EXPECT_THAT(linuxhost::DiskOf("8:16", paths), Optional(std::string("8:16")));
    EXPECT_THAT(linuxhost::BlockName("8:17", paths), Optional(std::string("sdb1")));
    EXPECT_EQ(linuxhost::DiskOf("9:9", paths), std::nullopt);
}

TEST_F(BlockDevices, HoldersOfTheDiskAndItsPartitionsAreCollected) {
    const auto disk = Disk("sdc", "8:32");
    Partition(disk, "sdc1", "8:33");
    fs::create_directories(disk / "holders" / "md0");
    fs::create_directories(disk / "sdc1" / "holders" / "dm-3");
    auto holders = linuxhost::HoldersOfDisk("sdc", paths);
    std::sort(holders.begin(), holders.end());
    EXPECT_EQ(holders, (std::vector<std::string>{"dm-3", "md0"}));
}

// The machine's own root disk: found as holding the system and as mounted at "/".
TEST(HostDrivesOnThisMachine, TheSystemDiskIsNeverOffered) {
    const linuxhost::TSystemPaths paths;
    const auto system = linuxhost::SystemDiskNumber(paths);
    if (!system) GTEST_SKIP() << "the root file system is on no block device here";
    for (const auto& drive : ScanHostDrives()) {
        if (!drive.holdsSystem) continue;
        EXPECT_NE(drive.Refusal(), TDriveRefusal::None) << drive.device;
        EXPECT_TRUE(drive.mountedAt.has_value()) << drive.device;
        return;
    }
    ADD_FAILURE() << "no scanned drive holds the system disk " << *system;
}

}  // namespace
}  // namespace bootdisk
