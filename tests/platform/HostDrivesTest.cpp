// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "app/RemovableKinds.h"
#include "disk/HostFloppy.h"
#include "platform/HostDrives.h"
#include "platform/linux/BlockDevices.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::Optional;

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
    // A block device node numbered from a range kept for local use, which no driver here serves:
    // only what sysfs says about it is ever looked at.
    std::string Node(const std::string& name, unsigned minor) {
        const std::string path = temp / name;
        if (::mknod(path.c_str(), S_IFBLK | 0600, makedev(60, minor)) != 0) return {};
        return path;
    }

    test::TTempDir temp;
    fs::path sys = fs::path(temp.Path()) / "sys";
    linuxhost::TSystemPaths paths{sys.string(), (fs::path(temp.Path()) / "mounts").string(), "/",
                                  (fs::path(temp.Path()) / "swaps").string()};
};

TEST_F(BlockDevices, APartitionBelongsToItsDisk) {
    const auto disk = Disk("sdb", "8:16");
    Partition(disk, "sdb1", "8:17");
    EXPECT_THAT(linuxhost::DiskOf("8:17", paths), Optional(std::string("8:16")));
    EXPECT_THAT(linuxhost::DiskOf("8:16", paths), Optional(std::string("8:16")));
    EXPECT_EQ(fs::path(linuxhost::BlockFolder("8:17", paths).value_or("")).filename(), "sdb1");
    EXPECT_EQ(linuxhost::DiskOf("9:9", paths), std::nullopt);
}

// A partition is offered as what it is, with its own size and write protection, and never as a
// disk or a floppy. A disk's type is asked of sysfs each time, as its medium may change.
TEST_F(BlockDevices, PartitionsAndFixedDisksAreNoFloppyTargetsAskedAnewEachTime) {
    const auto disk = Disk("sdz", "60:0");
    Write(disk / "size", "8192");
    Write(disk / "removable", "1");
    fs::create_directories(disk / "device");
    Write(disk / "device/model", "USB FLOPPY");
    Partition(disk, "sdz1", "60:1");
    Write(disk / "sdz1/size", "2880");
    Write(disk / "sdz1/ro", "1");
    const auto diskNode = Node("sdz", 0), partitionNode = Node("sdz1", 1);
    if (diskNode.empty() || partitionNode.empty()) GTEST_SKIP() << "device nodes cannot be made here";

    const auto partition = linuxhost::DescribeNode(partitionNode, paths);
    ASSERT_TRUE(partition);
    EXPECT_EQ(partition->type, THostDriveType::Partition);
    EXPECT_EQ(partition->size, 2880u * 512);
    EXPECT_TRUE(partition->readOnly);
    EXPECT_EQ(partition->model, "USB FLOPPY");
    EXPECT_EQ(RefusalText(TStringTable{}, *partition), "a partition, not a whole disk");

    const TStringTable texts;
    const auto devices = linuxhost::CreateRawDevices(paths);
    const auto attach = [&](const std::string& node) {
        try {
            AttachFloppy(*devices, node, texts);
            return std::string("attached");
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
    };
    // Refused before any open: an open of these nodes would fail with another message.
    EXPECT_THAT(attach(partitionNode), HasSubstr(": " + partitionNode + " (a partition, not a whole disk)"));
    Write(disk / "removable", "0");
    EXPECT_THAT(attach(diskNode), HasSubstr(": " + diskNode + " (not a removable disk)"));
    EXPECT_EQ(devices->DriveType(THostFloppy::kDrive), THostDriveType::Fixed);
    Write(disk / "removable", "1");
    EXPECT_EQ(devices->DriveType(THostFloppy::kDrive), THostDriveType::Removable);
    EXPECT_THAT(attach(diskNode), HasSubstr("The floppy cannot be opened: " + diskNode));
    EXPECT_THAT(attach(temp.Path()), HasSubstr(" (neither a disk nor a file)"));
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

// A live stick's system is an overlay of a file on the stick: the stick holds the system whether its
// file system is mounted where live systems mount it or elsewhere, as do the disks of the swap and
// of /boot; a stick beside them does not.
TEST_F(BlockDevices, ALiveSystemsStickAndTheSwapAndBootDisksHoldTheSystem) {
    const std::pair<const char*, unsigned> disks[] = {{"sdb", 16}, {"sdc", 32}, {"sdd", 48}, {"sde", 64}};
    std::map<std::string, std::string> nodes;
    for (const auto& [name, minor] : disks) {
        const auto disk = Disk(name, "60:" + std::to_string(minor));
        Write(disk / "removable", "1");
        Write(disk / "size", "65536");
        Partition(disk, std::string(name) + "1", "60:" + std::to_string(minor + 1));
        nodes[name] = Node(std::string(name) + "1", minor + 1);
        if (nodes[name].empty()) GTEST_SKIP() << "device nodes cannot be made here";
    }
    fs::create_directories(sys / "block/loop0/loop");
    // The mount table escapes a blank of a path; sysfs does not.
    const auto table = [&](const std::string& medium) {
        auto path = medium;
        if (const auto blank = path.find("\\040"); blank != std::string::npos) path.replace(blank, 4, " ");
        Write(sys / "block/loop0/loop/backing_file", path + "/live/filesystem.squashfs");
        std::ofstream(paths.mounts)
            << "overlay / overlay rw,lowerdir=/run/live/rootfs/filesystem.squashfs/,upperdir=/run/live/overlay/rw,"
               "workdir=/run/live/overlay/work 0 0\n"
            << nodes["sdb"] << " " << medium << " vfat ro 0 0\n"
            << "/dev/loop0 /run/live/rootfs/filesystem.squashfs squashfs ro 0 0\n"
            << "tmpfs /run/live/overlay tmpfs rw 0 0\n"
            << nodes["sdd"] << " /boot ext4 rw 0 0\n"
            << nodes["sde"] << " /media/user/STICK vfat rw 0 0\n";
    };
    paths.root = temp.Path();
    std::ofstream(paths.swaps) << "Filename\tType\tSize\tUsed\tPriority\n" << nodes["sdc"] << "\tpartition\t1024\t0\t-2\n";
    const std::set<std::string> system = {"60:16", "60:32", "60:48"};
    for (const auto medium : {"/run/live/medium", "/mnt/medium\\040one"}) {
        table(medium);
        EXPECT_EQ(linuxhost::SystemDisks(paths).numbers, system) << medium;
        const auto stick = linuxhost::DescribeBlock((sys / "block/sdb").string(), "/dev/sdb", paths);
        EXPECT_EQ(RefusalOf(stick), TDriveRefusal::HoldsSystem) << medium;
        EXPECT_EQ(RefusalOf(linuxhost::DescribeBlock((sys / "block/sde").string(), "/dev/sde", paths)),
                  TDriveRefusal::None);
    }
}

// The machine's own root disk: found as holding the system and as mounted at "/".
// A scan that throws (a disk service answering nonsense) neither ends the watch's thread, which
// would end the wizard, nor empties the list: the last one stands until a scan succeeds again.
TEST(HostDriveWatch, AFailedScanKeepsTheLastListAndTheWatchGoesOn) {
    TDriveScan first, later;
    first.drives.resize(1);
    first.drives[0].device = "/dev/sdx";
    later.drives.resize(1);
    later.drives[0].device = "/dev/sdy";
    std::atomic<int> scans{0};
    std::atomic<bool> changed{false};
    const auto watch = linuxhost::StartDriveWatch(
        [&] {
            const int scan = ++scans;
            if (scan == 2) throw std::runtime_error("the disk service answered nonsense");
            return scan == 1 ? first : later;
        },
        [&] { changed = true; });
    EXPECT_EQ(watch->Latest(std::chrono::seconds(5)), first);
    for (int i = 0; i < 500 && scans < 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(watch->Latest(std::chrono::milliseconds(0)), first);
    for (int i = 0; i < 500 && !changed; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(changed);
    EXPECT_EQ(watch->Latest(std::chrono::milliseconds(0)), later);
}

TEST(HostDrivesOnThisMachine, TheSystemDiskIsNeverOffered) {
    const linuxhost::TSystemPaths paths;
    const auto system = linuxhost::SystemDisks(paths).numbers;
    if (system.empty()) GTEST_SKIP() << "the system stands on no block device here";
    for (const auto& drive : ScanHostDrives()) {
        if (!drive.holdsSystem) continue;
        EXPECT_NE(RefusalOf(drive), TDriveRefusal::None) << drive.device;
        EXPECT_FALSE(drive.mountPoints.empty()) << drive.device;
        return;
    }
    ADD_FAILURE() << "no scanned drive holds the system disk " << *system.begin();
}

}  // namespace
}  // namespace bootdisk
