// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CreationDriver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/Errors.h"
#include "optical/ImageRecorder.h"
#include "platform/sim/ScriptedDialogs.h"

namespace bootdisk {
namespace {

using testing::ElementsAre;

class TFakeHandlers : public ICreationHandlers {
public:
    std::vector<std::string> calls;
    std::deque<bool> results;     // per call; empty: success
    double reportBeforeDone = -1;  // a fraction the handler reports through the first-half mapping
    bool writesMedium = false;     // the handler starts writing the medium before it succeeds or fails
    std::vector<int> gauges;

    bool CreateFloppy(TCreationDriver& driver) override { return Finish("floppy", driver); }
    bool CreateCdDvd(TOpticalDevice& device, TCreationDriver& driver) override {
        return Finish("cd " + device.DisplayName, driver);
    }
    bool CreateRemovable(const TRemovableDrive& drive, TCreationDriver& driver) override {
        if (drive.device == "fixed") throw EDiskProtectionFault();
        if (drive.device == pulledDuringCopy) {
            calls.push_back("usb " + drive.device);
            driver.WritingMedium();
            gone.insert(drive.device);
            throw ECopySkipped("The stick was removed during the copy.");
        }
        confirmedMounts.push_back(drive.mountPoints);
        // Its file systems go before the write, whether that then works or not.
        mounts.erase(drive.device);
        if (labels.contains(drive.device)) labels[drive.device] = "Stick";
        return Finish("usb " + drive.device, driver);
    }
    bool CreateFloppyImage(TCreationDriver& driver) override { return Finish("floppy image", driver); }
    bool CreateNetbootFolder(TCreationDriver& driver) override { return Finish("netboot folder", driver); }
    std::string MissingDrive(const TMediaKind&) const override { return {}; }
    bool DriveGone(const TRemovableDrive& drive) const override {
        // Asked once before the prompt and once after it.
        if (drive.device == goneAfterPrompt && ++goneAsked_ == 2) gone.insert(drive.device);
        return gone.contains(drive.device);
    }
    std::vector<std::string> MountPoints(const TRemovableDrive& drive) const override {
        return mounts.contains(drive.device) ? mounts.at(drive.device) : std::vector<std::string>{};
    }
    std::optional<std::string> LabelNow(const TRemovableDrive& drive) const override {
        if (!labels.contains(drive.device)) return std::nullopt;
        return labels.at(drive.device);
    }

    mutable std::set<std::string> gone;
    std::string goneAfterPrompt;
    std::string pulledDuringCopy;
    mutable int goneAsked_ = 0;
    std::map<std::string, std::vector<std::string>> mounts;
    std::map<std::string, std::string> labels;
    std::vector<std::vector<std::string>> confirmedMounts;  // handed to each removable copy

private:
    bool Finish(const std::string& call, TCreationDriver& driver) {
        calls.push_back(call);
        if (writesMedium) driver.WritingMedium();
        if (reportBeforeDone >= 0) {
            driver.FirstHalf()(reportBeforeDone);
            gauges.push_back(driver.Gauge());
        }
        const bool ok = results.empty() || results.front();
        if (!results.empty()) results.pop_front();
        if (ok) driver.SetCopyProgress(1.0);
        gauges.push_back(driver.Gauge());
        return ok;
    }
};

class CreationDriver : public testing::Test {
protected:
    CreationDriver() {
        writer.DisplayName = "CDRW-52X (ACME)";
        kinds = BuildMediaKinds(texts[StrId::GUI_TEXTFLOPPYDISKNAME], {&writer}, {usb, fixedDisk}, recorder);
    }
    TRunOutcome Run(const std::vector<TCreateListRow>& rows) { return driver.RunCreation(rows, kinds, handlers); }

    TStringTable texts;
    TScriptedDialogs dialogs;
    TOpticalDevice writer;
    TimageRecorder recorder{dialogs, texts};
    TMediaKind usb{"Removable storage device", TMediaType::Removable, nullptr, {'C', "/dev/sdb", {}, {}}};
    TMediaKind fixedDisk{"Removable storage device", TMediaType::Removable, nullptr, {'D', "fixed", {}, {}}};
    std::vector<TMediaKind> kinds;  // floppy, writer, usb, fixed, recorder
    TFakeHandlers handlers;
    TCreationDriver driver{dialogs, texts};
};

const std::string kFloppyPrompt =
    "choice: Please insert a floppy disk in drive A:\rAll data on the floppy disk will be erased. [OK|Cancel]";
const std::string kStopQuestion = "choice: Do you want to stop the process ? [Yes|No]";

TEST_F(CreationDriver, PromptsInListOrderAndMovesTheGaugeCopyByCopy) {
    EXPECT_EQ(Run({{"2", 0}, {"1", 4}}), TRunOutcome::Completed);
    EXPECT_THAT(dialogs.log, ElementsAre(kFloppyPrompt, kFloppyPrompt,
                                         "choice: Please select the location for the image file [OK|Cancel]"));
    EXPECT_THAT(handlers.calls, ElementsAre("floppy", "floppy", "cd Image recorder (Save CD image as ISO file)"));
    EXPECT_THAT(handlers.gauges, ElementsAre(33, 67, 100));
    EXPECT_EQ(driver.TotalCopies(), 3);
    EXPECT_EQ(driver.DoneCopies(), 3);
}

TEST_F(CreationDriver, MidCopyProgressRoundsInsideTheWholeRun) {
    handlers.reportBeforeDone = 0.5;
    Run({{"4", 0}});
    // Second of four copies, first half at 0.5: 6.25 + 25 = 31.25.
    EXPECT_EQ(handlers.gauges.at(2), 31);
}

TEST_F(CreationDriver, ProgressTiesRoundToEven) {
    Run({{"8", 0}});  // 12.5 per copy
    EXPECT_THAT(handlers.gauges, ElementsAre(12, 25, 38, 50, 62, 75, 88, 100));
}

TEST_F(CreationDriver, CancelThenYesStopsBeforeAnything) {
    dialogs.twoChoiceAnswers = {kAnswerRight, kAnswerLeft};
    EXPECT_EQ(Run({{"2", 0}, {"1", 1}}), TRunOutcome::Stopped);
    EXPECT_THAT(dialogs.log, ElementsAre(kFloppyPrompt, kStopQuestion));
    EXPECT_TRUE(handlers.calls.empty());
    EXPECT_EQ(driver.Gauge(), 0);
}

// A medium is written only after OK on its own prompt: No to the stop question asks again.
TEST_F(CreationDriver, CancelThenNoBringsThePromptBack) {
    dialogs.twoChoiceAnswers = {kAnswerRight, kAnswerRight, kAnswerRight, kAnswerLeft};
    EXPECT_EQ(Run({{"1", 0}}), TRunOutcome::Stopped);
    EXPECT_THAT(dialogs.log, ElementsAre(kFloppyPrompt, kStopQuestion, kFloppyPrompt, kStopQuestion));
    EXPECT_TRUE(handlers.calls.empty());
}

// Return out of habit never erases: only the prompts that erase a medium default to Cancel. A run
// that ends early says what it left of the medium in hand; a terminal whose input has ended stops
// the run at its prompt instead of asking for ever.
TEST_F(CreationDriver, ErasePromptsDefaultToCancelAndAStopSaysWhatItLeft) {
    Run({{"1", 0}, {"1", 1}, {"1", 2}, {"1", 4}});
    EXPECT_THAT(dialogs.defaultChoices, ElementsAre(TDefaultChoice::Right, TDefaultChoice::Left,
                                                    TDefaultChoice::Right, TDefaultChoice::Left));

    dialogs.defaultChoices.clear();
    dialogs.twoChoiceAnswers = {kAnswerRight, kAnswerLeft};
    EXPECT_EQ(Run({{"1", 2}}), TRunOutcome::Stopped);
    EXPECT_THAT(dialogs.defaultChoices, ElementsAre(TDefaultChoice::Right, TDefaultChoice::Left));
    EXPECT_EQ(driver.MediumLeft(), "Nothing was written to Removable storage device.");

    handlers.writesMedium = true;
    handlers.results = {false};
    dialogs.twoChoiceAnswers = {kAnswerLeft, kAnswerRight, kAnswerLeft};
    EXPECT_EQ(Run({{"1", 2}}), TRunOutcome::Stopped);
    EXPECT_EQ(driver.MediumLeft(), "Removable storage device is half-written: write it again before use.");
    handlers.results = {false};
    dialogs.twoChoiceAnswers = {kAnswerLeft, kAnswerRight, kAnswerLeft};
    Run({{"1", 1}});
    EXPECT_EQ(driver.MediumLeft(), "The disc in CDRW-52X (ACME) is half-recorded and cannot be used.");
    handlers.results = {false};
    dialogs.twoChoiceAnswers = {kAnswerLeft, kAnswerRight, kAnswerLeft};
    Run({{"1", 4}});
    EXPECT_EQ(driver.MediumLeft(), "") << "an image file is written whole or not at all";
    Run({{"1", 2}});
    EXPECT_EQ(driver.MediumLeft(), "") << "every copy was made";

    dialogs.log.clear();
    dialogs.answersEnded = true;
    dialogs.twoChoiceAnswers = {kAnswerRight};
    handlers.calls.clear();
    EXPECT_EQ(Run({{"1", 0}}), TRunOutcome::Stopped);
    EXPECT_THAT(dialogs.log, ElementsAre(kFloppyPrompt));
    EXPECT_TRUE(handlers.calls.empty());
}

TEST_F(CreationDriver, AFailedCopyIsPromptedForAgainWithDoneCopiesUnchanged) {
    handlers.results = {true, false, true};
    EXPECT_EQ(Run({{"2", 0}}), TRunOutcome::Completed);
    EXPECT_THAT(dialogs.log, ElementsAre(kFloppyPrompt, kFloppyPrompt, kFloppyPrompt));
    EXPECT_THAT(handlers.gauges, ElementsAre(50, 50, 100));
}

TEST_F(CreationDriver, UnattendedRunsStopAtTheFirstFailure) {
    driver.stopOnFailure = true;
    handlers.results = {false};
    EXPECT_EQ(Run({{"2", 0}}), TRunOutcome::Failed);
    EXPECT_THAT(handlers.calls, ElementsAre("floppy"));
}

TEST_F(CreationDriver, QuantityZeroMakesNoCopyAndCountsForNothing) {
    EXPECT_EQ(Run({{"00", 0}, {"1", 2}}), TRunOutcome::Completed);
    EXPECT_EQ(driver.TotalCopies(), 1);
    EXPECT_THAT(handlers.calls, ElementsAre("usb /dev/sdb"));
    EXPECT_THAT(dialogs.log, ElementsAre("choice: Please insert the removable disk where you want to install "
                                         "Halvex Quellmark 2005\r(Removable storage device)\rAll data on /dev/sdb will be erased. "
                                         "[OK|Cancel]"));
}

// A write through one drive letter erases the whole stick: its prompt names every volume of it.
TEST_F(CreationDriver, AStickPromptNamesEveryVolumeItsWriteErases) {
    kinds[2].removable.volumes = {"E: (DATA, 6.0 MB)", "F: (BOOT, 2.0 MB)", "G: (2.0 MB)"};
    Run({{"1", 2}});
    EXPECT_THAT(dialogs.log, ElementsAre(testing::HasSubstr(
                                 "\rAll data on E: (DATA, 6.0 MB), F: (BOOT, 2.0 MB) and G: (2.0 MB) on the same stick "
                                 "will be erased. [OK|Cancel]")));
}

TEST_F(CreationDriver, WriterPromptNamesTheWriterAfterALoneCarriageReturn) {
    Run({{"1", 1}});
    EXPECT_THAT(dialogs.log,
                ElementsAre("choice: Please insert a blank CD/DVD in writer.\r(CDRW-52X (ACME)) [OK|Cancel]"));
}

TEST_F(CreationDriver, ANonRemovableDriveEndsTheRunAsAStopWithItsMessage) {
    EXPECT_EQ(Run({{"1", 3}, {"1", 0}}), TRunOutcome::Stopped);
    EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{"Disk Protection fault : The drive is not removable."});
    EXPECT_TRUE(handlers.calls.empty());
}

// The user is told that the drive is erased and which file systems go before any is unmounted,
// and exactly those are handed on; each prompt describes the drive as it is then. A drive taken
// away is never written, and its row's copies are skipped with one message each.
TEST_F(CreationDriver, APromptNamesTheMountPointsToGoAndARowWhoseDriveWentIsSkipped) {
    handlers.mounts["/dev/sdb"] = {"/media/u/STICK", "/media/u/DATA"};
    handlers.labels["/dev/sdb"] = "Stick, mounted at /media/u/STICK, /media/u/DATA";
    handlers.results = {false};
    EXPECT_EQ(Run({{"1", 2}}), TRunOutcome::Completed);
    EXPECT_THAT(dialogs.log, ElementsAre("choice: Please insert the removable disk where you want to install Halvex "
                                         "Quellmark 2005\r(Stick, mounted at /media/u/STICK, /media/u/DATA)\r"
                                         "All data on /dev/sdb will be erased.\rIts file systems will be unmounted "
                                         "first: /media/u/STICK, /media/u/DATA [OK|Cancel]",
                                         "choice: Please insert the removable disk where you want to install Halvex "
                                         "Quellmark 2005\r(Stick)\rAll data on /dev/sdb will be erased. [OK|Cancel]"));
    EXPECT_THAT(handlers.confirmedMounts,
                ElementsAre(std::vector<std::string>{"/media/u/STICK", "/media/u/DATA"}, std::vector<std::string>{}));
    handlers.labels.clear();

    dialogs.log.clear();
    handlers.calls.clear();
    handlers.gone.insert("/dev/sdb");
    EXPECT_EQ(Run({{"2", 2}, {"1", 0}}), TRunOutcome::Failed);
    const std::string skipped =
        "message: The drive of this row is no longer there, so its copies are skipped: Removable storage device";
    EXPECT_THAT(dialogs.log, ElementsAre(skipped, kFloppyPrompt));
    EXPECT_THAT(handlers.calls, ElementsAre("floppy"));
    EXPECT_EQ(driver.DoneCopies(), 1);

    // Taken away while its prompt was shown: OK then says so and skips it; nothing was stopped.
    dialogs.log.clear();
    handlers.calls.clear();
    handlers.gone.clear();
    handlers.goneAfterPrompt = "/dev/sdb";
    EXPECT_EQ(Run({{"1", 2}, {"1", 0}}), TRunOutcome::Failed);
    EXPECT_THAT(dialogs.log, ElementsAre(testing::StartsWith("choice: Please insert the removable"), skipped,
                                         kFloppyPrompt));
    EXPECT_THAT(handlers.calls, ElementsAre("floppy"));

    dialogs.log.clear();
    handlers.gone.clear();
    kinds[2].gone = true;  // marked removed in the list: skipped even if a drive sits at its device again
    EXPECT_EQ(Run({{"1", 2}}), TRunOutcome::Failed);
    EXPECT_THAT(dialogs.log, ElementsAre(skipped));
}

// A stick pulled out during its copy is said to be gone once, with what it is left as, and the run
// goes on with the next row instead of asking for the stick again.
TEST_F(CreationDriver, AStickPulledDuringItsCopyIsOneMessageAndTheNextRowFollows) {
    handlers.pulledDuringCopy = "/dev/sdb";
    EXPECT_EQ(Run({{"2", 2}, {"1", 0}}), TRunOutcome::Failed);
    EXPECT_THAT(dialogs.log, ElementsAre(testing::StartsWith("choice: Please insert the removable"),
                                         "message: The stick was removed during the copy.\rRemovable storage device "
                                         "is half-written: write it again before use.",
                                         kFloppyPrompt));
    EXPECT_THAT(handlers.calls, ElementsAre("usb /dev/sdb", "floppy"));
    EXPECT_EQ(driver.DoneCopies(), 1);
}

TEST(CreationList, QuantityCellRules) {
    EXPECT_EQ(FilterQuantity("a7b"), "7");
    EXPECT_EQ(FilterQuantity(""), "1");
    EXPECT_EQ(FilterQuantity("0"), "1");
    EXPECT_EQ(FilterQuantity("00"), "00");
    EXPECT_EQ(QuantityOf("00"), 0);
    EXPECT_EQ(QuantityUp("99"), "99");
    EXPECT_EQ(QuantityDown("1"), "1");
    EXPECT_EQ(QuantityUp("00"), "1");
}

TEST(CreationList, RowsButtonsAndTheRowLimit) {
    TCreationList list;
    EXPECT_FALSE(list.Buttons().next);
    for (int i = 0; i < 51; ++i) ASSERT_TRUE(list.Add());
    EXPECT_FALSE(list.Add());  // the 52nd row: a beep
    EXPECT_EQ(list.Rows().size(), 51u);
    auto buttons = list.Buttons();
    EXPECT_FALSE(buttons.add);  // shown disabled, not only refused
    EXPECT_FALSE(buttons.remove);
    EXPECT_TRUE(buttons.clear && buttons.next);

    list.Remove();  // nothing selected: nothing happens
    EXPECT_EQ(list.Rows().size(), 51u);
    list.Row(3).quantity = "7";
    list.Select(3);
    EXPECT_TRUE(list.Buttons().remove);
    list.Remove();
    EXPECT_EQ(list.Rows().size(), 50u);
    EXPECT_TRUE(list.Buttons().add);
    EXPECT_FALSE(list.Selected());
    list.Clear();
    EXPECT_FALSE(list.Buttons().clear);
}

TEST(CreationList, MediaKindsOfferOnlyWritersPlusFloppyAndRecorder) {
    TStringTable texts;
    TScriptedDialogs dialogs;
    TimageRecorder recorder(dialogs, texts);
    const auto kinds = BuildMediaKinds("Floppy disk (drive A:)", {}, {}, recorder);
    ASSERT_EQ(kinds.size(), 2u);
    EXPECT_EQ(kinds[0].type, TMediaType::Floppy);
    EXPECT_EQ(kinds[1].label, "Image recorder (Save CD image as ISO file)");
}

}  // namespace
}  // namespace bootdisk
