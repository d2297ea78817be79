// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/RemovableKinds.h"

namespace bootdisk {
namespace {

using testing::ElementsAre;

THostDrive Stick(std::string device, std::string model = "SanDisk Cruzer") {
    return {std::move(device), std::move(model), 16'008'609'792, THostDriveType::Removable, false, {}, {}, false, {}};
}

TEST(RemovableKinds, OnlyOfferedDrivesBecomeKindsEachWithItsOwnLetter) {
    const TStringTable texts;
    auto mounted = Stick("/dev/sdc");
    mounted.mountPoints = {"/media/stick", "/media/other"};
    auto fixed = Stick("/dev/sda", "");
    fixed.type = THostDriveType::Fixed;
    const auto table = CreateHostRawDevices();

    const auto kinds = RemovableMediaKinds(texts, {Stick("/dev/sdb"), mounted, fixed, Stick("/dev/sdd", "")}, *table);
    ASSERT_EQ(kinds.size(), 3u);
    EXPECT_EQ(kinds[0].label, "Removable storage device (SanDisk Cruzer, 16.0 GB, /dev/sdb)");
    EXPECT_EQ(kinds[1].label,
              "Removable storage device (SanDisk Cruzer, 16.0 GB, /dev/sdc, mounted at /media/stick, /media/other)");
    EXPECT_EQ(kinds[2].label, "Removable storage device (16.0 GB, /dev/sdd)");
    EXPECT_EQ(kinds[0].type, TMediaType::Removable);
    EXPECT_EQ(kinds[0].removable.device, "/dev/sdb");
    EXPECT_NE(kinds[0].removable.letter, kinds[1].removable.letter);
    EXPECT_EQ(table->Attach("/dev/sdb", THostDriveType::Removable), kinds[0].removable.letter)
        << "a drive keeps its letter";
}

// Drives that would be refused when written are not offered either; the weightiest reason is named,
// in words and by the key that scripts read in `devices --json`.
TEST(RemovableKinds, EveryRefusalHasItsReasonInWordsWeightiestFirst) {
    const TStringTable texts;
    auto drive = Stick("/dev/sdb");
    const auto table = CreateHostRawDevices();
    const auto offered = [&] { return RemovableMediaKinds(texts, {drive}, *table).size() == 1; };
    const auto key = [&] { return std::string(RefusalKey(RefusalOf(drive))); };
    EXPECT_EQ(RefusalText(texts, drive), "");
    EXPECT_EQ(key(), "");
    drive.size = 1'474'560;  // exactly the image
    EXPECT_TRUE(offered());
    drive.size = 1'474'559;
    EXPECT_EQ(RefusalText(texts, drive), "smaller than the boot image (1.5 MB)");
    EXPECT_EQ(key(), "too-small");
    EXPECT_FALSE(offered());
    drive.readOnly = true;
    EXPECT_EQ(RefusalText(texts, drive), "read-only");
    EXPECT_EQ(key(), "read-only");
    EXPECT_FALSE(offered());
    drive.usedBy = {"dm-0", "md1"};
    EXPECT_EQ(RefusalText(texts, drive), "is in use by dm-0, md1");
    EXPECT_EQ(key(), "in-use");
    drive.holdsSystem = true;
    EXPECT_EQ(RefusalText(texts, drive), "holds the running system");
    EXPECT_EQ(key(), "holds-system");
    drive.type = THostDriveType::Fixed;
    EXPECT_EQ(RefusalText(texts, drive), "not a removable disk");
    EXPECT_EQ(key(), "not-removable");
    drive.type = THostDriveType::Partition;
    EXPECT_EQ(RefusalText(texts, drive), "a partition, not a whole disk");
    EXPECT_EQ(key(), "partition");
}

// Drives come and go while the list is shown. Rows keep what they chose; a chosen drive that went
// stays as a removed entry, never turned into another disk found at its device; others vanish.
TEST(RemovableKinds, TheListFollowsDrivesAndRowsKeepTheirChoice) {
    const TStringTable texts;
    TOpticalDevice recorder;
    recorder.DisplayName = "Image recorder";
    const auto stick = [](const std::string& device, const std::string& identity) {
        return TMediaKind{"stick " + device, TMediaType::Removable, nullptr, {'C', device, identity, {}}};
    };
    auto kinds = BuildMediaKinds("Floppy", {}, {}, recorder);
    TCreationList list;
    list.Add();
    list.Add();
    list.Row(1).kind = 1;  // the recorder
    const auto labels = [&] {
        std::vector<std::string> out;
        for (const auto& kind : kinds) out.push_back(kind.label);
        return out;
    };

    EXPECT_TRUE(FollowRemovableKinds(texts, kinds, list, {stick("/dev/sdb", "A"), stick("/dev/sdc", "B")}));
    EXPECT_THAT(labels(), ElementsAre("Floppy", "stick /dev/sdb", "stick /dev/sdc", "Image recorder"));
    EXPECT_EQ(list.Rows()[1].kind, 3u) << "the recorder's row keeps the recorder";
    list.Row(0).kind = 2;
    EXPECT_FALSE(FollowRemovableKinds(texts, kinds, list, {stick("/dev/sdb", "A"), stick("/dev/sdc", "B")}));

    // Both go; another disk comes at /dev/sdc.
    EXPECT_TRUE(FollowRemovableKinds(texts, kinds, list, {stick("/dev/sdc", "C")}));
    EXPECT_THAT(labels(), ElementsAre("Floppy", "stick /dev/sdc", "Removed: stick /dev/sdc", "Image recorder"));
    EXPECT_EQ(list.Rows()[0].kind, 2u);
    EXPECT_TRUE(kinds[2].gone);
    EXPECT_EQ(kinds[2].removable.identity, "B");
    EXPECT_EQ(list.Rows()[1].kind, 3u);

    // The chosen drive comes back: the row has it again, present.
    EXPECT_TRUE(FollowRemovableKinds(texts, kinds, list, {stick("/dev/sdc", "B")}));
    EXPECT_THAT(labels(), ElementsAre("Floppy", "stick /dev/sdc", "Image recorder"));
    EXPECT_EQ(list.Rows()[0].kind, 1u);
    EXPECT_FALSE(kinds[1].gone);
    EXPECT_EQ(kinds[1].removable.identity, "B");
}

// Without an offered drive the list says what to do in the window, and names the removable drives
// left out with the reason.
TEST(RemovableKinds, TheNoticeSaysWhatToDoAndNamesTheRemovableDrivesLeftOut) {
    const TStringTable texts;
    auto fixed = Stick("/dev/sda");
    fixed.type = THostDriveType::Fixed;
    auto readOnly = Stick("/dev/sdc");
    readOnly.readOnly = true;
    EXPECT_EQ(RemovableNotice(texts, {fixed}, false), texts[StrId::DRIVE_NONEOFFERED]);
    EXPECT_EQ(RemovableNotice(texts, {fixed, readOnly}, false),
              texts[StrId::DRIVE_NONEOFFERED] + "\rNot offered: /dev/sdc (read-only)");
    EXPECT_EQ(RemovableNotice(texts, {fixed, Stick("/dev/sdb")}, false), "");
    EXPECT_EQ(RemovableNotice(texts, {Stick("/dev/sdb")}, true), texts[StrId::DRIVE_NEEDSADMIN]);
}

}  // namespace
}  // namespace bootdisk
