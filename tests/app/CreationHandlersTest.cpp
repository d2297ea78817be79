// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CreationHandlers.h"

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "image/FloppyTestImage.h"
#include "platform/sim/ScriptedDialogs.h"
#include "platform/sim/SimHost.h"
#include "platform/sim/SimRawDevice.h"
#include "platform/sim/SimVwin32.h"

namespace bootdisk {
namespace {

using namespace bootdisk::test;
using testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;

// One removable copy from the creation list to the drive's sectors, on a simulated NT host.
class CreateRemovable : public ::testing::Test {
protected:
    void SetUp() override {
        if (BlankFloppyImage().size() != fat12::kImageSize) GTEST_SKIP() << kNoMkfs;
        const auto container = temp / "payload.pak";
        WriteFile(container, StoredContainer({{".Boot", BlankFloppyImage()},
                                              {".BOOTRECORD", BlankFloppyImage()},
                                              {"AUTOEXEC.BAT", Text("replaced")},
                                              {"Korvane\\Korvane.exe", Text("sanitizer")},
                                              {"Korvane\\DATA\\KORVANE.INI", Text("replaced")}}));
        ASSERT_TRUE(LoadPayloads(app, container, EmbeddedResources())) << app.payloads.LastError;
        driver.onGauge = [this](int value) { gauges.push_back(value); };
    }
    TRunOutcome Run(char letter, std::vector<TCreateListRow> rows = {{"1", 0}}, bool msDos = false) {
        const std::vector<TMediaKind> kinds = {{"usb", TMediaType::Removable, nullptr, {letter, "sim", {}, {}}},
                                               {"floppy", TMediaType::Floppy, nullptr, {}}};
        TCreationHandlers handlers({app, dialogs, host}, {kDefaultOptions, "/quick", msDos},
                                   {host.Version(), 0, devices, vwin32});
        return driver.RunCreation(rows, kinds, handlers);
    }

    TTempDir temp;
    TAppContext app;
    TSimHost host;
    TScriptedDialogs dialogs;
    TSimRawDevices devices;
    TSimVwin32 vwin32;
    TCreationDriver driver{dialogs, app.texts};
    std::vector<int> gauges;
};

TEST_F(CreateRemovable, TheDriveHoldsABootDiskThatTheFatToolsRead) {
    auto& stick = devices.Add('E', 4 * 1024 * 1024);
    ASSERT_EQ(Run('E'), TRunOutcome::Completed);
    EXPECT_THAT(dialogs.Messages(), ElementsAre());
    EXPECT_EQ(gauges.back(), 100);
    EXPECT_EQ(stick.bytes[36], 0x80);

    const auto image = temp / "stick.img";
    WriteFile(image, Bytes(stick.bytes.begin(), stick.bytes.begin() + fat12::kImageSize));
    std::string output;
    EXPECT_EQ(RunCommand(kToolPath + "fsck.fat -n " + image, &output), 0) << output;
    if (RunCommand("command -v mtype") != 0) GTEST_SKIP() << "mtools is not installed";
    output.clear();
    ASSERT_EQ(RunCommand("MTOOLS_SKIP_CHECK=1 mtype -i " + image + " ::/AUTOEXEC.BAT", &output), 0) << output;
    EXPECT_THAT(output, testing::HasSubstr("Korvane /quick\r\n"));
}

TEST_F(CreateRemovable, AFixedDiskEndsTheRunAsAStopWithNothingWritten) {
    auto& disk = devices.Add('C', 4 * 1024 * 1024, THostDriveType::Fixed);
    EXPECT_EQ(Run('C'), TRunOutcome::Stopped);
    EXPECT_THAT(dialogs.Messages(), ElementsAre("Disk Protection fault : The drive is not removable."));
    EXPECT_FALSE(disk.lastAccess.has_value());
    EXPECT_EQ(driver.DoneCopies(), 0);
}

// The file systems the prompt named are unmounted once the image is ready, then the drive is
// written; one that stays mounted stops the copy with the system's reason and nothing is written.
TEST_F(CreateRemovable, AMountedDriveIsUnmountedFirstOrNotWrittenAtAll) {
    driver.stopOnFailure = true;  // the scripted prompts would agree to try again for ever
    auto& stick = devices.Add('E', 4 * 1024 * 1024);
    stick.mountPoints = {"/media/u/STICK"};
    ASSERT_EQ(Run('E'), TRunOutcome::Completed);
    EXPECT_THAT(dialogs.log.front(), testing::HasSubstr("will be unmounted first: /media/u/STICK"));
    EXPECT_EQ(stick.unmounts, 1);
    EXPECT_EQ(stick.bytes[36], 0x80);

    dialogs.log.clear();
    auto& busy = devices.Add('F', 4 * 1024 * 1024);
    busy.mountPoints = {"/media/u/BUSY"};
    busy.unmountRefusal = "target is busy";
    EXPECT_EQ(Run('F'), TRunOutcome::Failed);
    EXPECT_THAT(dialogs.Messages(), ElementsAre("The drive's file systems cannot be unmounted: target is busy"));
    EXPECT_EQ(busy.unmounts, 1);
    EXPECT_FALSE(busy.lastAccess.has_value());
}

// The MS-DOS files' folder is asked once in a run, not for every copy; cancelled, no copy needing it
// can be made in that run, so its row is skipped after one message instead of asking again.
TEST_F(CreateRemovable, TheMsDosFolderIsAskedOncePerRunAndACancelSkipsTheRow) {
    host.AddFile("D:\\DOS\\IO.SYS", Text("io.sys bytes"));
    host.AddFile("D:\\DOS\\COMMAND.COM", Text("command.com bytes"));
    devices.Add('E', 4 * 1024 * 1024);
    dialogs.folderAnswers = {"D:\\DOS\\"};
    EXPECT_EQ(Run('E', {{"2", 0}}, true), TRunOutcome::Completed) << testing::PrintToString(dialogs.log);
    EXPECT_EQ(std::count(dialogs.log.begin(), dialogs.log.end(), "folder"), 1);

    dialogs.log.clear();
    dialogs.folderAnswers = {std::nullopt};
    EXPECT_EQ(Run('E', {{"3", 0}}, true), TRunOutcome::Failed);
    EXPECT_THAT(dialogs.log, ElementsAre(testing::StartsWith("choice: Please insert the removable disk"), "folder",
                                         "message: " + app.texts[StrId::GUI_MSDOSNOSYS]));
    EXPECT_EQ(driver.DoneCopies(), 0);
}

// Without a floppy drive no floppy can ever be inserted: its row is skipped with one message and
// the rows after it are made.
TEST_F(CreateRemovable, ARowWithoutAFloppyDriveIsSkippedWithOneMessageAndTheNextRowIsMade) {
    auto& stick = devices.Add('E', 4 * 1024 * 1024);
    EXPECT_EQ(Run('E', {{"2", 1}, {"1", 0}}), TRunOutcome::Failed);
    EXPECT_THAT(dialogs.log, ElementsAre("message: " + app.texts[StrId::GUI_NOFLOPPYDRIVE],
                                         testing::StartsWith("choice: Please insert the removable disk")));
    EXPECT_EQ(stick.bytes[36], 0x80);
    EXPECT_EQ(driver.DoneCopies(), 1);
}

}  // namespace
}  // namespace bootdisk
