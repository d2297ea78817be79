#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/RemovableKinds.h"

namespace bootdisk {
namespace {

THostDrive Stick(std::string device, std::string model = "SanDisk Cruzer") {
    return {std::move(device), std::move(model), 16'008'609'792, THostDriveType::Removable, false, std::nullopt, {}};
}

TEST(RemovableKinds, OnlyOfferedDrivesBecomeKindsEachWithItsOwnLetter) {
    const TStringTable texts;
    auto mounted = Stick("/dev/sdc");
    mounted.mountedAt = "/media/stick";
    auto fixed = Stick("/dev/sda", "");
    fixed.type = THostDriveType::Fixed;
    const auto table = CreateHostRawDevices();

    const auto kinds = RemovableMediaKinds(texts, {Stick("/dev/sdb"), mounted, fixed, Stick("/dev/sdd", "")}, *table);
    ASSERT_EQ(kinds.size(), 2u);
    EXPECT_EQ(kinds[0].label, "Removable storage device (SanDisk Cruzer, 16.0 GB, /dev/sdb)");
    EXPECT_EQ(kinds[1].label, "Removable storage device (16.0 GB, /dev/sdd)");
    EXPECT_EQ(kinds[0].type, TMediaType::Removable);
    EXPECT_EQ(kinds[0].removable.device, "/dev/sdb");
    EXPECT_NE(kinds[0].removable.letter, kinds[1].removable.letter);
    EXPECT_EQ(table->Attach("/dev/sdb", THostDriveType::Removable), kinds[0].removable.letter)
        << "a drive keeps its letter";
}

// Drives that would be refused when written are not offered either; the weightiest reason is named.
TEST(RemovableKinds, EveryRefusalHasItsReasonInWordsWeightiestFirst) {
    const TStringTable texts;
    auto drive = Stick("/dev/sdb");
    const auto table = CreateHostRawDevices();
    const auto offered = [&] { return RemovableMediaKinds(texts, {drive}, *table).size() == 1; };
    EXPECT_EQ(RefusalText(texts, drive), "");
    drive.size = 1'474'560;  // exactly the image
    EXPECT_TRUE(offered());
    drive.size = 1'474'559;
    EXPECT_EQ(RefusalText(texts, drive), "smaller than the boot image (1.5 MB)");
    EXPECT_FALSE(offered());
    drive.readOnly = true;
    EXPECT_EQ(RefusalText(texts, drive), "read-only");
    EXPECT_FALSE(offered());
    drive.usedBy = {"dm-0", "md1"};
    EXPECT_EQ(RefusalText(texts, drive), "is in use by dm-0, md1");
    drive.mountedAt = "/media/my stick";
    EXPECT_EQ(RefusalText(texts, drive), "has a file system mounted at /media/my stick");
    drive.holdsSystem = true;
    EXPECT_EQ(RefusalText(texts, drive), "holds the running system");
    drive.type = THostDriveType::Fixed;
    EXPECT_EQ(RefusalText(texts, drive), "not a removable disk");
    drive.type = THostDriveType::Partition;
    EXPECT_EQ(RefusalText(texts, drive), "a partition, not a whole disk");
}

}  // namespace
}  // namespace bootdisk
