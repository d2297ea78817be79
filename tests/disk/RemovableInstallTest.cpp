// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Errors.h"
#include "disk/RemovableInstall.h"
#include "image/Fat12Format.h"
#include "platform/sim/ScriptedDialogs.h"
#include "platform/sim/SimRawDevice.h"
#include "platform/sim/SimVwin32.h"

namespace bootdisk {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::StartsWith;

class RemovableInstall : public ::testing::Test {
protected:
    void SetUp() override {
        install.CreateImage();
        auto image = install.Image().Image();
        for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 13 + 5);
        image[36] = 0x00;
        install.OnImageProgress = [this](double fraction) { progress.push_back(fraction); };
    }
    TSimDrive& Stick(std::size_t bytes = 8 * 1024 * 1024) { return devices.Add('E', bytes); }

    TSimRawDevices devices;
    TSimVwin32 vwin32;
    TScriptedDialogs dialogs;
    TStringTable texts;
    TRemovableInstall install{{{{2, 5, 1}, 2600, devices, vwin32}, dialogs, texts}};
    std::vector<double> progress;
};

TEST_F(RemovableInstall, WritesTheImageTrackByTrackWithTheHardDiskBootMark) {
    auto& stick = Stick();
    ASSERT_TRUE(install.WriteImageToDrive('E'));

    const auto image = install.Image().Image();
    EXPECT_EQ(image[36], 0x00) << "the held image stays as built";
    std::vector<std::uint8_t> expected(image.begin(), image.end());
    expected[36] = 0x80;
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), stick.bytes.begin()));
    EXPECT_TRUE(std::all_of(stick.bytes.begin() + fat12::kImageSize, stick.bytes.end(), [](auto b) { return b == 0; }));
    EXPECT_EQ(stick.writes, 160);
    EXPECT_EQ(stick.flushes, 1);
    EXPECT_EQ(stick.writesFlushed, 160) << "the flush comes after the last write";
    ASSERT_EQ(progress.size(), 161u);
    EXPECT_DOUBLE_EQ(progress.front(), 0.0) << "said once the drive is taken, before its first sector";
    EXPECT_DOUBLE_EQ(progress[1], 18.0 / 2880);
    EXPECT_DOUBLE_EQ(progress.back(), 1.0);
    EXPECT_EQ(stick.locks, 1);
    EXPECT_EQ(stick.dismounts, 1);
    EXPECT_EQ(stick.unlocks, 1);
    EXPECT_EQ(stick.openDevices, 0) << "the device is closed when the write ends";
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_TRUE(install.VerifyImageOnDrive('E'));
}

TEST_F(RemovableInstall, AFailingFirstChunkStopsWithOneMessageAndUnlocks) {
    auto& stick = Stick();
    stick.faults.failWriteAtSector = 0;
    EXPECT_FALSE(install.WriteImageToDrive('E'));
    ASSERT_EQ(dialogs.log.size(), 1u);
    EXPECT_THAT(dialogs.log[0], StartsWith("message: Write Failed : "));
    EXPECT_EQ(stick.writes, 1);
    EXPECT_THAT(progress, ElementsAre(0.0)) << "the write began";
    EXPECT_EQ(stick.unlocks, 1);
    EXPECT_EQ(stick.openDevices, 0);
}

// The disk opened is asked what it is, for the write and again for the read-back: one that is not
// the disk confirmed (another number, another drive, or a drive that no longer says what it is) is
// named beside the confirmed one and left alone; a host that cannot ask an open device is trusted.
TEST_F(RemovableInstall, ADiskThatIsNotTheOneConfirmedIsNeitherWrittenNorReadBack) {
    auto& stick = Stick();
    const TConfirmedDisk confirmed{"/dev/sdb", {"8:16", "drive-A SN1", "Stick A, 8.4 MB"}};
    TRemovableInstall checked{{{{2, 5, 1}, 2600, devices, vwin32}, dialogs, texts, confirmed}};
    checked.CreateImage();
    checked.OnImageProgress = [this](double fraction) { progress.push_back(fraction); };
    const std::string refused = "/dev/sdb is not the drive you confirmed (Stick A, 8.4 MB) but ";
    for (const auto& other : {TDiskIdentity{"8:16", "drive-B SN2", "Stick B, 8.4 MB"},
                              TDiskIdentity{"8:32", "drive-A SN1", "Stick A, 8.4 MB"},
                              TDiskIdentity{"8:16", "", ""}}) {
        dialogs.log.clear();
        stick.identity = other;
        EXPECT_FALSE(checked.WriteImageToDrive('E')) << other.number << " " << other.identity;
        const auto named = other.details.empty()                ? texts[StrId::DRIVE_UNNAMED]
                           : other.details == "Stick A, 8.4 MB" ? "another " + other.details
                                                                : other.details;
        EXPECT_THAT(dialogs.Messages(), ElementsAre(refused + named + ", so it is left alone."));
    }
    EXPECT_EQ(stick.writes, 0);
    EXPECT_TRUE(progress.empty()) << "nothing was begun";
    EXPECT_EQ(stick.openDevices, 0);

    stick.identity = TDiskIdentity{"8:16", "drive-A SN1", "Stick A, 8.4 MB"};
    ASSERT_TRUE(checked.WriteImageToDrive('E'));
    stick.identity = TDiskIdentity{"8:16", "drive-B SN2", "Stick B, 8.4 MB"};
    dialogs.log.clear();
    EXPECT_FALSE(checked.VerifyImageOnDrive('E')) << "the read-back would have matched";
    EXPECT_THAT(dialogs.Messages(), ElementsAre(refused + "Stick B, 8.4 MB, so it is left alone."));

    stick.identity.reset();
    EXPECT_TRUE(checked.WriteImageToDrive('E'));
    EXPECT_TRUE(checked.VerifyImageOnDrive('E'));
}

// A stick pulled out fails its write (or the read-back's open) with the system's error for a
// device that is not there: what happened is said instead, once.
TEST_F(RemovableInstall, AStickPulledOutIsSaidToBeRemovedNotAnErrorCode) {
    auto& stick = Stick();
    bool gone = false;
    TRemovableInstall watched{{{{2, 5, 1}, 2600, devices, vwin32}, dialogs, texts, std::nullopt, [&] { return gone; }}};
    watched.CreateImage();
    stick.faults.failWriteAtSector = 100;
    EXPECT_FALSE(watched.WriteImageToDrive('E')) << "still there: the system's error";
    EXPECT_THAT(dialogs.Messages(), ElementsAre(StartsWith("Write Failed : ")));
    gone = true;
    dialogs.log.clear();
    EXPECT_THROW(
        try { watched.WriteImageToDrive('E'); } catch (const ECopySkipped& removed) {
            EXPECT_STREQ(removed.what(), "The stick was removed during the copy.");
            throw;
        },
        ECopySkipped);
    stick.faults.failWriteAtSector.reset();
    gone = false;
    ASSERT_TRUE(watched.WriteImageToDrive('E'));
    gone = true;
    stick.faults.openError = TSimRawDevices::kErrorFileNotFound;
    EXPECT_THROW(watched.VerifyImageOnDrive('E'), ECopySkipped);
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_EQ(stick.openDevices, 0);
}

TEST_F(RemovableInstall, AVolumeThatCannotBeLockedIsNotWritten) {
    auto& stick = Stick();
    stick.faults.lockError = TSimRawDevices::kErrorSharingViolation;
    EXPECT_FALSE(install.WriteImageToDrive('E'));
    EXPECT_THAT(dialogs.Messages(), ElementsAre("E: " + texts[StrId::DISK_VOLUMEINUSE]));
    EXPECT_EQ(stick.writes, 0);
    EXPECT_EQ(stick.openDevices, 0);
}

TEST_F(RemovableInstall, RefusesBeforeOpeningAnything) {
    auto& fixed = devices.Add('C', 8 * 1024 * 1024, THostDriveType::Fixed);
    EXPECT_THROW(install.WriteImageToDrive('C'), EDiskProtectionFault);
    EXPECT_FALSE(fixed.lastAccess.has_value());
    EXPECT_THROW(install.WriteImageToDrive('Q'), EDiskProtectionFault) << "an unknown drive is no removable drive";

    auto& mounted = Stick();
    mounted.mountPoints = {"/media/stick"};
    EXPECT_FALSE(install.WriteImageToDrive('E'));
    EXPECT_THAT(dialogs.Messages(), ElementsAre(HasSubstr("/media/stick")));
    EXPECT_FALSE(mounted.lastAccess.has_value());
}

TEST_F(RemovableInstall, ADriveSmallerThanTheImageIsNotWritten) {
    auto& tiny = Stick(fat12::kImageSize - 512);
    EXPECT_FALSE(install.WriteImageToDrive('E'));
    EXPECT_THAT(dialogs.Messages(), ElementsAre(texts[StrId::REMOVABLEINSTALL_TOOSMALL]));
    EXPECT_EQ(tiny.writes, 0);
}

TEST_F(RemovableInstall, VerifyNamesTheFirstSectorThatReadsBackWrong) {
    auto& stick = Stick();
    ASSERT_TRUE(install.WriteImageToDrive('E'));
    stick.bytes[1000 * 512 + 7] ^= 0xFF;
    stick.bytes[2000 * 512] ^= 0xFF;
    EXPECT_FALSE(install.VerifyImageOnDrive('E'));
    EXPECT_THAT(dialogs.Messages(), ElementsAre(texts[StrId::REMOVABLEINSTALL_VERIFYFAILED] + "1000"));
}

TEST_F(RemovableInstall, WritingWorksWithoutAProgressCallback) {
    auto& stick = Stick();
    install.OnImageProgress = nullptr;
    EXPECT_TRUE(install.WriteImageToDrive('E'));
    EXPECT_EQ(stick.writes, 160);
}

}  // namespace
}  // namespace bootdisk
