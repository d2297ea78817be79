// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/FloppyInstall.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "disk/DeviceFloppy.h"
#include "image/FloppyDriveFiles.h"
#include "image/FloppyFiles.h"
#include "image/FloppyTestImage.h"
#include "platform/sim/ScriptedDialogs.h"
#include "platform/sim/SimHost.h"
#include "platform/sim/SimRawDevice.h"
#include "platform/sim/SimVwin32.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using fat12::kImageSize;
using Item = std::pair<std::string, std::vector<std::uint8_t>>;

constexpr TWinVersion kWin95{1, 4, 0}, kWin98{1, 4, 10}, kWinMe{1, 4, 90}, kWinXP{2, 5, 1}, kWinNT4{2, 4, 0},
    kWin2000{2, 5, 0}, kLinux{2, 0, 0};

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = std::uint8_t(i / 512 * 7 + i + seed);
    return bytes;
}

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

class FloppyInstallTest : public ::testing::Test {
protected:
    FloppyInstallTest() { devices.Add('A', kImageSize).freeSpace = TFreeSpace{1, 512, 2800, 2847}; }

    void UsePayload(const std::vector<Item>& items) {
        TMemoryStream container(test::StoredContainer(items));
        payload.LoadFromStream(container);
    }
    // The floppy in A: as mkfs.fat formats it, so that files can go onto it.
    void FormatDriveA() {
        const auto& blank = test::BlankFloppyImage();
        if (blank.size() != kImageSize) GTEST_SKIP() << test::kNoMkfs;
        devices.Drive('A').bytes = blank;
    }
    // A command interpreter standing in for the host's: it records the command and runs script.
    void StandInFormat(const std::string& script) {
        const std::string path = temp / "command.sh";
        std::ofstream(path) << "#!/bin/sh\nprintf '%s\\n' \"$2\" > '" << (temp / "format-command") << "'\n"
                            << "say() { printf '%s\\r\\n' \"$1\"; }\n"
                            << script;
        ::chmod(path.c_str(), 0755);
        formatHost.Comspec = path;
    }
    std::string FormatCommand() const {
        try {
            const auto bytes = ReadWholeFile(temp / "format-command");
            return {bytes.begin(), bytes.end()};
        } catch (const std::exception&) {
            return "<not run>";
        }
    }

    TFloppyInstall Make() {
        TFloppyInstall install({dialogs, texts, host, devices, vwin32, payload, files, formatHost});
        install.OnFloppyProgress = [this](double fraction) { progress.push_back(fraction); };
        return install;
    }
    std::optional<std::vector<std::uint8_t>> FileOnA(const std::string& path) {
        TMemoryStream image(devices.Drive('A').bytes);
        TVirtualFloppy floppy;
        floppy.LoadFromStream(image, kImageSize);
        return ReadFloppyFile(floppy, path);
    }

    test::TTempDir temp;
    TSimHost host;
    TSimRawDevices devices;
    TSimVwin32 vwin32;
    TScriptedDialogs dialogs;
    TStringTable texts;
    TExeDataBase payload;
    TFloppyDriveFiles files{DeviceFloppyAccess(devices, 'A', TDeviceAccess::ReadWrite)};
    TFormatHost formatHost;  // no interpreter: a format cannot start
    std::vector<double> progress;
};

// The ready-made image

TEST_F(FloppyInstallTest, ReadyImageLandsWholeWithOrWithoutDriveFigures) {
    const auto image = Pattern(kImageSize, 1);
    UsePayload({{".Boot", image}});
    for (const bool figures : {true, false}) {
        host.version = figures ? kWinXP : kLinux;
        auto& a = devices.Drive('A');
        a.bytes.assign(kImageSize, 0);
        if (!figures) a.freeSpace.reset();
        progress.clear();
        ASSERT_TRUE(Make().InstallBoot('A', false)) << figures;
        EXPECT_TRUE(a.bytes == image) << figures;
        // 0, then ten chunks of 288 sectors, then 1.
        ASSERT_EQ(progress.size(), 12u);
        EXPECT_EQ(progress.front(), 0.0);
        EXPECT_DOUBLE_EQ(progress[1], 147456.0 / (kImageSize + 1));
        EXPECT_DOUBLE_EQ(progress[10], double(kImageSize) / (kImageSize + 1));
        EXPECT_EQ(progress.back(), 1.0);
        EXPECT_EQ(a.openDevices, 0);
    }
    EXPECT_TRUE(dialogs.log.empty());
}

TEST_F(FloppyInstallTest, NineXWritesTracksUpToTheLastOneBeyondTheDataArea) {
    host.version = kWin98;
    const auto image = Pattern(kImageSize, 2);
    UsePayload({{".Boot", image}});
    ASSERT_TRUE(Make().InstallBoot('A', false));
    EXPECT_TRUE(vwin32.disk == image);
    std::vector<std::uint32_t> tracks;
    for (const auto& request : vwin32.requests)
        if (request.service == vwin32::kDiosInt13) tracks.push_back(request.registers.eax & 0xFF);
    EXPECT_EQ(tracks, std::vector<std::uint32_t>(160, 18));
    const auto& last = vwin32.requests.back().registers;
    EXPECT_EQ(last.ecx, 79u << 8 | 1);  // sector 2862: cylinder 79, head 1, sector 1
    EXPECT_EQ(last.edx, 1u << 8);
    EXPECT_EQ(progress.size(), 162u);
}

TEST_F(FloppyInstallTest, ShortImageIsPaddedToWholeSectorsAndMissingImageFailsSilently) {
    host.version = kWinXP;
    UsePayload({{".Boot", Pattern(1000, 3)}});
    ASSERT_TRUE(Make().InstallBoot('A', false));
    const auto& a = devices.Drive('A').bytes;
    EXPECT_TRUE(std::equal(a.begin(), a.begin() + 1000, Pattern(1000, 3).begin()));
    EXPECT_TRUE(std::all_of(a.begin() + 1000, a.end(), [](std::uint8_t b) { return b == 0; }));

    UsePayload({{"AUTOEXEC.BAT", {}}});
    EXPECT_FALSE(Make().InstallBoot('A', false));
    UsePayload({{".Boot", Pattern(kImageSize + 512, 4)}});  // larger than a floppy
    EXPECT_FALSE(Make().InstallBoot('A', false));
    EXPECT_TRUE(dialogs.log.empty());
}

TEST_F(FloppyInstallTest, FailedWriteAsksRetryOrAbort) {
    host.version = kWinXP;
    const auto image = Pattern(kImageSize, 5);
    UsePayload({{".Boot", image}});
    auto& a = devices.Drive('A');
    a.faults.transientShortWrites = 2;  // both attempts of the first chunk fall short
    dialogs.retryAbortAnswers = {kAnswerRetry};
    ASSERT_TRUE(Make().InstallBoot('A', false));
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"retry: Cannot write to drive A:"});
    EXPECT_TRUE(a.bytes == image);

    dialogs.log.clear();
    progress.clear();
    a.faults = {};
    a.faults.failWriteAtSector = 300;  // inside the second chunk
    dialogs.retryAbortAnswers = {kAnswerRetry, kAnswerAbort};
    EXPECT_FALSE(Make().InstallBoot('A', false));
    EXPECT_EQ(dialogs.log.size(), 2u);
    EXPECT_EQ(progress.back(), 147456.0 / (kImageSize + 1));
    EXPECT_EQ(a.openDevices, 0);
}

// The MS-DOS system disk by host version

TEST_F(FloppyInstallTest, NtVersionsWithoutMsDosTouchNothing) {
    StandInFormat("exit 0\n");
    for (const auto version : {kWinNT4, kWin2000}) {
        host.version = version;
        host.AddResource("DiskCopy.dll", "#1", "BINFILE", Pattern(kImageSize, 6));
        EXPECT_FALSE(Make().InstallBoot('A', true));
    }
    EXPECT_EQ(dialogs.Messages(), std::vector<std::string>(2, "Invalid Windows version."));
    EXPECT_EQ(devices.Drive('A').writes, 0);
    EXPECT_EQ(FormatCommand(), "<not run>");
}

TEST_F(FloppyInstallTest, XpWritesTheStartupDiskImageWhenTheHostHasIt) {
    host.version = kWinXP;
    const auto image = Pattern(kImageSize, 7);
    host.AddResource("DiskCopy.dll", "#1", "BINFILE", image);
    ASSERT_TRUE(Make().InstallBoot('a', true));
    EXPECT_TRUE(devices.Drive('A').bytes == image);
    EXPECT_EQ(devices.Drive('A').writes, 160);  // 9,216 bytes at a time
    EXPECT_DOUBLE_EQ(progress[1], 9216.0 / kImageSize);
    EXPECT_EQ(progress.back(), 1.0);
    EXPECT_TRUE(dialogs.log.empty());
}

TEST_F(FloppyInstallTest, XpWithoutAUsableImageFindsNoSystemFiles) {
    host.version = kWinXP;
    EXPECT_FALSE(Make().InstallBoot('A', true));
    host.AddResource("DiskCopy.dll", "#1", "BINFILE", Pattern(1'399'999, 8));
    EXPECT_FALSE(Make().InstallBoot('A', true));
    EXPECT_EQ(dialogs.Messages(), std::vector<std::string>(2, "Cannot find Ms-Dos system files."));
    EXPECT_EQ(devices.Drive('A').writes, 0);

    // Writing fails: the drive cannot be opened, or is not a floppy drive.
    host.AddResource("DiskCopy.dll", "#1", "BINFILE", Pattern(kImageSize, 8));
    devices.Drive('A').faults.openError = TSimRawDevices::kErrorSharingViolation;
    auto install = Make();
    EXPECT_EQ(install.WriteSystemImage('A', nullptr), 2);
    EXPECT_EQ(install.WriteSystemImage('C', nullptr), 2);
    devices.Drive('A').faults = {};
    devices.Drive('A').faults.failWriteAtSector = 100;
    EXPECT_FALSE(install.InstallBoot('A', true));
    EXPECT_EQ(dialogs.Messages().back(), "Cannot create Ms-Dos boot disk.");
}

TEST_F(FloppyInstallTest, MeFormatsThenCopiesTheSystemFiles) {
    FormatDriveA();
    host.version = kWinMe;
    host.AddFile("C:\\WINDOWS\\Command\\Ebd\\io.sys", Pattern(3000, 9));
    host.AddFile("C:\\WINDOWS\\Command\\Ebd\\Command.com", Pattern(2000, 10));
    StandInFormat("say '100 percent completed.'\nsay 'Format complete.'\n");
    ASSERT_TRUE(Make().InstallBoot('A', true));
    EXPECT_EQ(FormatCommand(), "format A: /u\n");
    EXPECT_EQ(FileOnA("IO.SYS"), Pattern(3000, 9));
    EXPECT_EQ(FileOnA("COMMAND.COM"), Pattern(2000, 10));
    EXPECT_EQ(FileOnA("MSDOS.SYS"), Bytes("BootGui=0\r\n"));
    // The format runs to 1 / 1.2; the three files take the gauge to 0.9, about 0.958 and 1.
    const auto last = std::find(progress.rbegin(), progress.rend(), 1.0 / 1.2);
    ASSERT_NE(last, progress.rend());
    EXPECT_EQ(std::vector<double>(last.base(), progress.end()).size(), 4u);
    ASSERT_GE(last - progress.rbegin(), 3);
    EXPECT_DOUBLE_EQ(*last.base(), 0.9);
    EXPECT_DOUBLE_EQ(*(last.base() + 1), 1.15 / 1.2);
    EXPECT_EQ(*(last.base() + 2), 1.0);
    EXPECT_TRUE(dialogs.log.empty());
}

TEST_F(FloppyInstallTest, MeWithoutTheHostFilesFindsNoSystemFiles) {
    FormatDriveA();
    host.version = kWinMe;
    StandInFormat("exit 0\n");
    EXPECT_FALSE(Make().InstallBoot('A', true));
    EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{"Cannot find Ms-Dos system files."});
}

TEST_F(FloppyInstallTest, FormatWithBadSectorsOrNoFormatAtAllFails) {
    host.version = kWin98;
    StandInFormat("say '512 bytes in bad sectors.'\n");
    EXPECT_FALSE(Make().InstallBoot('A', true));
    EXPECT_EQ(FormatCommand(), "format A: /u /s\n");
    host.version = kWin95;
    formatHost.Comspec.clear();
    EXPECT_FALSE(Make().InstallBoot('A', true));
    EXPECT_EQ(dialogs.Messages(), std::vector<std::string>(2, "Cannot create Ms-Dos boot disk."));
}

TEST_F(FloppyInstallTest, OtherHostsFormatWithTheSystemWhenNoImageIsThere) {
    host.version = kLinux;
    EXPECT_FALSE(Make().InstallBoot('A', true));  // nothing to format with: as on Linux
    EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{"Cannot create Ms-Dos boot disk."});
    EXPECT_EQ(devices.Drive('A').writes, 0);
    StandInFormat("say 'Format complete.'\n");
    progress.clear();
    EXPECT_TRUE(Make().InstallBoot('A', true));
    EXPECT_EQ(FormatCommand(), "format A: /u /s\n");
    EXPECT_EQ(progress.back(), 1.0);
}

// The payload files

TEST_F(FloppyInstallTest, PayloadFilesLandInTheirFoldersAndReplaceEarlierOnes) {
    FormatDriveA();
    UsePayload({{".Boot", Pattern(kImageSize, 11)},
                {"AUTOEXEC.BAT", Bytes("REM placeholder\r\n")},
                {"Korvane\\DATA\\KORVANE.INI", Bytes("O1=1\r\n")},
                {"Korvane\\Korvane.exe", Pattern(5000, 12)}});
    ASSERT_TRUE(Make().CopyPayloadFiles());
    EXPECT_EQ(FileOnA("AUTOEXEC.BAT"), Bytes("REM placeholder\r\n"));
    EXPECT_EQ(FileOnA("KORVANE\\DATA\\KORVANE.INI"), Bytes("O1=1\r\n"));
    EXPECT_EQ(FileOnA("Korvane\\Korvane.exe"), Pattern(5000, 12));
    EXPECT_FALSE(FileOnA(".BOOT"));
    const double total = 17 + 6 + 5000;
    ASSERT_EQ(progress.size(), 4u);
    EXPECT_EQ(progress.front(), 0.0);
    EXPECT_DOUBLE_EQ(progress.back(), total / (total + 1));

    UsePayload({{"Korvane\\Korvane.exe", Pattern(700, 13)}});
    ASSERT_TRUE(Make().CopyPayloadFiles());
    EXPECT_EQ(FileOnA("Korvane\\Korvane.exe"), Pattern(700, 13));
    TMemoryStream image(devices.Drive('A').bytes);
    TVirtualFloppy floppy;
    floppy.LoadFromStream(image, kImageSize);
    TFloppyDirectory dir(floppy);
    ASSERT_TRUE(dir.ChangeDir("KORVANE"));
    int live = 0;
    TDirEntry entry;
    for (bool found = dir.FindFirst(entry); found; found = dir.FindNext(entry))
        live += entry[0] != fat12::kEntryDeleted && TFloppyDirectory::EntryName(entry) == "KORVANE.EXE";
    EXPECT_EQ(live, 1);
}

TEST_F(FloppyInstallTest, NamesThatLeaveTheRootAreRefusedBeforeAnythingIsWritten) {
    FormatDriveA();
    for (const std::string bad : {"Korvane\\..\\..\\ESCAPE.TXT", "\\ABSOLUTE.TXT", "C:\\WIN.INI", "C:ESCAPE.TXT",
                                  "Korvane\\...\\X.TXT", "Korvane/../../X.TXT", "Korvane\\"}) {
        dialogs.log.clear();
        UsePayload({{"GOOD.TXT", Bytes("good")}, {bad, Bytes("bad")}});
        EXPECT_FALSE(Make().CopyPayloadFiles()) << bad;
        EXPECT_EQ(dialogs.Messages(),
                  std::vector<std::string>{"The payload holds a file that cannot be put on a boot disk: " + bad});
    }
    EXPECT_EQ(devices.Drive('A').writes, 0);
    EXPECT_TRUE(progress.empty());
}

TEST_F(FloppyInstallTest, AFileThatCannotBeWrittenEndsTheCopy) {
    // The drive holds no file system.
    UsePayload({{"A.TXT", Bytes("a")}, {"B.TXT", Bytes("b")}});
    EXPECT_FALSE(Make().CopyPayloadFiles());
    EXPECT_EQ(progress, std::vector<double>{0.0});
    EXPECT_TRUE(dialogs.log.empty());
}

}  // namespace
}  // namespace bootdisk
