// SPDX-License-Identifier: GPL-3.0-or-later
// A USB copy through the Windows drive port, over a stand-in for the system that refuses raw writes
// under a mounted volume as Windows does, and the rights the process is found to have.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "app/RemovableKinds.h"
#include "disk/RemovableInstall.h"
#include "image/Fat12Format.h"
#include "platform/sim/ScriptedDialogs.h"
#include "platform/sim/SimVwin32.h"
#include "platform/win32/DiskVolumes.h"
#include "support/FakeWin32.h"

namespace bootdisk {
namespace {

using testing::ElementsAre;

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += "\n  " + line;
    return text;
}

class Win32Drives : public testing::Test {
protected:
    Win32Drives() {
        fake.driveTypes = {{'C', DRIVE_FIXED}, {'E', DRIVE_REMOVABLE}, {'F', DRIVE_REMOVABLE}};
        fake.volumes = {{L"\\\\?\\Volume{c}\\", 'C', 0},
                        {L"\\\\?\\Volume{e}\\", 'E', 1},  // the stick's two partitions
                        {L"\\\\?\\Volume{f}\\", 'F', 1},
                        {L"\\\\?\\Volume{r}\\", std::nullopt, std::nullopt}};  // an empty card reader
        fake.disks[0].assign(64 << 20, 0);
        fake.disks[1].assign(8 << 20, 0xEE);
        install.CreateImage();
        auto image = install.Image().Image();
        for (std::size_t i = 0; i < image.size(); ++i) image[i] = std::uint8_t(i * 7 + 1);
    }
    test::TFakeWin32::TVolume& Volume(char letter) {
        return *std::find_if(fake.volumes.begin(), fake.volumes.end(),
                             [letter](const auto& volume) { return volume.letter == letter; });
    }
    // The calls that take, use and give back the stick, consecutive repeats counted.
    std::vector<std::string> DiskEvents() const {
        static const std::regex kept("(CreateFileW|CloseHandle) .* rw?$|FSCTL_(UN)?LOCK|FSCTL_DISMOUNT|(Write|Read)File|"
                                     "Flush|Sleep");
        std::vector<std::string> events;
        for (const auto& line : fake.Summary())
            if (std::regex_search(line, kept)) events.push_back(line);
        return events;
    }

    test::TFakeWin32 fake;
    std::unique_ptr<IHostRawDevices> devices = CreateWin32RawDevices(fake);
    TSimVwin32 vwin32;
    TScriptedDialogs dialogs;
    TStringTable texts;
    TRemovableInstall install{{{{2, 10, 0}, 19045, *devices, vwin32}, dialogs, texts}};
};

TEST_F(Win32Drives, AUsbCopyTakesEveryVolumeOfTheStickForTheWriteAndTheReadBack) {
    ASSERT_TRUE(install.WriteImageToDrive('E')) << Lines(dialogs.log) << Lines(fake.Summary());
    ASSERT_TRUE(install.VerifyImageOnDrive('E')) << Lines(dialogs.log);
    EXPECT_THAT(DiskEvents(),
                ElementsAre("CreateFileW \\\\.\\PhysicalDrive1 rw", "CreateFileW \\\\?\\Volume{e} rw",
                            "CreateFileW \\\\?\\Volume{f} rw", "DeviceIoControl \\\\?\\Volume{e} FSCTL_LOCK_VOLUME",
                            "DeviceIoControl \\\\?\\Volume{f} FSCTL_LOCK_VOLUME",
                            "DeviceIoControl \\\\?\\Volume{e} FSCTL_DISMOUNT_VOLUME",
                            "DeviceIoControl \\\\?\\Volume{f} FSCTL_DISMOUNT_VOLUME",
                            "WriteFile \\\\.\\PhysicalDrive1 9216 x160", "FlushFileBuffers \\\\.\\PhysicalDrive1",
                            "CloseHandle \\\\.\\PhysicalDrive1 rw", "CreateFileW \\\\.\\PhysicalDrive1 r",
                            "ReadFile \\\\.\\PhysicalDrive1 9216 x160", "CloseHandle \\\\.\\PhysicalDrive1 r",
                            "DeviceIoControl \\\\?\\Volume{e} FSCTL_UNLOCK_VOLUME",
                            "DeviceIoControl \\\\?\\Volume{f} FSCTL_UNLOCK_VOLUME", "CloseHandle \\\\?\\Volume{e} rw",
                            "CloseHandle \\\\?\\Volume{f} rw"))
        << Lines(fake.Summary());
    // The image starts at the disk's first sector, not inside the stick's first partition.
    const auto image = install.Image().Image();
    const auto& disk = fake.disks[1];
    EXPECT_EQ(disk[36], 0x80);
    EXPECT_TRUE(std::equal(image.begin() + 37, image.end(), disk.begin() + 37));
    EXPECT_EQ(disk[fat12::kImageSize], 0xEE);
    EXPECT_TRUE(fake.open.empty());
    EXPECT_EQ(fake.errorBoxes, 0);
}

TEST_F(Win32Drives, AVolumeAProgramHoldsIsWaitedForAFewSecondsThenTheCopyStopsNamingTheDrive) {
    Volume('F').busy = 3;  // let go after three refusals
    ASSERT_TRUE(install.WriteImageToDrive('E')) << Lines(dialogs.log);
    EXPECT_EQ(fake.sleptMs, 3 * kVolumeLockPauseMs);
    install.VerifyImageOnDrive('E');

    fake.log.clear();
    fake.sleptMs = 0;
    Volume('F').busy = 1000;  // held throughout
    EXPECT_FALSE(install.WriteImageToDrive('E'));
    EXPECT_THAT(dialogs.Messages(), ElementsAre("E: " + texts[StrId::DISK_VOLUMEINUSE]));
    const auto attempts = std::count(fake.log.begin(), fake.log.end(), "DeviceIoControl \\\\?\\Volume{f} FSCTL_LOCK_VOLUME");
    EXPECT_EQ(attempts, kVolumeLockAttempts);
    EXPECT_LE(fake.sleptMs, 5000u);
    EXPECT_EQ(std::count_if(fake.log.begin(), fake.log.end(), [](const auto& l) { return l.starts_with("WriteFile"); }),
              0);
    EXPECT_FALSE(Volume('E').locked) << "what was locked is given back";
    EXPECT_TRUE(fake.open.empty()) << Lines(fake.Summary());
}

// Writing through one letter erases the whole disk: every lettered volume of it is named. A
// removable drive whose disk cannot be found is not opened at all, as its volume alone would take
// an image that does not boot.
TEST_F(Win32Drives, AStickIsNamedWithEveryVolumeOfItsDiskAndOneWithoutADiskIsNotOpened) {
    Volume('E').label = L"DATA";
    Volume('E').bytes = 6'000'000;
    Volume('F').label = L"BOOT";
    Volume('F').bytes = 2'000'000;
    const auto volumes = LetteredVolumesOf(fake, 1);
    EXPECT_THAT(volumes, ElementsAre("E: (DATA, 6.0 MB)", "F: (BOOT, 2.0 MB)"));
    EXPECT_EQ(WithValues(texts[StrId::DRIVE_WILLERASE], {WholeDiskName(texts, "F:", volumes)}),
              "All data on E: (DATA, 6.0 MB) and F: (BOOT, 2.0 MB) on the same stick will be erased.");
    EXPECT_THAT(LetteredVolumesOf(fake, 0), ElementsAre("C:"));

    fake.driveTypes['G'] = DRIVE_REMOVABLE;
    fake.volumes.push_back({L"\\\\?\\Volume{g}\\", 'G', std::nullopt});
    fake.log.clear();
    EXPECT_FALSE(install.WriteImageToDrive('G'));
    EXPECT_THAT(dialogs.Messages(), ElementsAre("G: " + texts[StrId::DISK_NOWHOLEDISK]));
    EXPECT_EQ(std::count_if(fake.log.begin(), fake.log.end(), [](const auto& l) { return l.ends_with(" rw"); }), 0)
        << Lines(fake.Summary());
}

// The disk opened for the write, and again for the read-back, tells its number and its descriptor's
// serial; another stick at that number, or another number, is left alone.
TEST_F(Win32Drives, TheDiskOpenedMustTellTheNumberAndSerialConfirmed) {
    fake.descriptors[1] = {"SanDisk", "Cruzer", "4C53"};
    // As the drive was described through its letter when the user confirmed it.
    const auto confirmed = AskDisk(fake, OpenDeviceQuietly(fake, L"\\\\.\\E:", 0).Get()).Identity();
    EXPECT_EQ(confirmed.number, "1");
    EXPECT_EQ(confirmed.identity, "SanDisk Cruzer 8388608 4C53");
    EXPECT_EQ(confirmed.details, "SanDisk Cruzer, 8.4 MB");
    TRemovableInstall checked{{{{2, 10, 0}, 19045, *devices, vwin32}, dialogs, texts, TConfirmedDisk{"E:", confirmed}}};
    checked.CreateImage();

    fake.descriptors[1].serial = "7A21";  // another stick of the same make and size took disk 1
    EXPECT_FALSE(checked.WriteImageToDrive('E'));
    fake.descriptors[1].serial = "4C53";
    TRemovableInstall elsewhere{
        {{{2, 10, 0}, 19045, *devices, vwin32}, dialogs, texts, TConfirmedDisk{"E:", {"2", confirmed.identity, confirmed.details}}}};
    elsewhere.CreateImage();
    EXPECT_FALSE(elsewhere.WriteImageToDrive('E'));
    EXPECT_THAT(dialogs.Messages(),
                ElementsAre("E: is not the drive you confirmed (SanDisk Cruzer, 8.4 MB) but another SanDisk Cruzer, "
                            "8.4 MB, so it is left alone.",
                            "E: is not the drive you confirmed (SanDisk Cruzer, 8.4 MB) but another SanDisk Cruzer, "
                            "8.4 MB, so it is left alone."));
    EXPECT_EQ(std::count_if(fake.log.begin(), fake.log.end(), [](const auto& l) { return l.starts_with("WriteFile"); }),
              0);

    ASSERT_TRUE(checked.WriteImageToDrive('E')) << Lines(dialogs.log);
    fake.descriptors[1].serial = "7A21";
    EXPECT_FALSE(checked.VerifyImageOnDrive('E'));
    EXPECT_TRUE(fake.open.empty()) << Lines(fake.Summary());
}

TEST(Win32Rights, ElevationOnVistaAndLaterMembershipBefore) {
    test::TFakeWin32 fake;
    const TWinVersion win10{2, 10, 0}, xp{2, 5, 1}, me{1, 4, 90};
    fake.elevated = false;
    EXPECT_TRUE(ProcessLacksAdministrator(fake, win10));
    fake.administrator = true;  // an administrator's program that was not elevated still lacks them
    EXPECT_TRUE(ProcessLacksAdministrator(fake, win10));
    fake.elevated = true;
    EXPECT_FALSE(ProcessLacksAdministrator(fake, win10));
    fake.elevated.reset();  // a token that cannot be asked leaves it to the open of the drive
    EXPECT_FALSE(ProcessLacksAdministrator(fake, win10));
    EXPECT_TRUE(fake.open.empty());

    fake.elevated = false;  // XP has no elevation to ask about
    EXPECT_FALSE(ProcessLacksAdministrator(fake, xp));
    fake.administrator = false;
    EXPECT_TRUE(ProcessLacksAdministrator(fake, xp));
    fake.log.clear();
    EXPECT_FALSE(ProcessLacksAdministrator(fake, me));
    EXPECT_TRUE(fake.log.empty());

    // Where the rule changes: Vista (6.0) asks for elevation, Server 2003 (5.2) for membership.
    fake.elevated = false;
    fake.administrator = true;
    EXPECT_TRUE(ProcessLacksAdministrator(fake, {2, 6, 0}));
    EXPECT_FALSE(ProcessLacksAdministrator(fake, {2, 5, 2}));
}

}  // namespace
}  // namespace bootdisk
