// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/CdDvdJob.h"
#include "app/CreationHandlers.h"
#include "base/Bytes.h"
#include "image/FloppyTestImage.h"
#include "image/PayloadFormat.h"
#include "optical/DSKburningIO.h"
#include "optical/SPTI.h"
#include "optical/ScsiCommands.h"
#include "platform/sim/ScriptedDialogs.h"
#include "platform/sim/SimHost.h"
#include "platform/sim/SimRawDevice.h"
#include "platform/sim/SimVwin32.h"
#include "platform/sim/SimWriter.h"

namespace bootdisk {
namespace {

using namespace bootdisk::test;
using Bytes = std::vector<std::uint8_t>;

// A stored payload container with a boot floppy and one sanitizer file.
Bytes CdPayload() {
    return test::StoredContainer({{".BOOTRECORD", BlankFloppyImage()}, {"Korvane\\Korvane.exe", Text("sanitizer")}});
}

// A whole CD copy recorded on the emulated writer, through the wizard's progress sink.
class CdDvdJobWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (BlankFloppyImage().size() != fat12::kImageSize) GTEST_SKIP() << kNoMkfs;
        const auto container = temp / "payload.pak";
        WriteFile(container, CdPayload());
        ASSERT_TRUE(LoadPayloads(app, container, EmbeddedResources())) << app.payloads.LastError;
        host.AddFile("D:\\DOS\\IO.SYS", Text("io.sys bytes"));
        host.AddFile("D:\\DOS\\COMMAND.COM", Text("command.com bytes"));
        dialogs.folderAnswers.push_back("D:\\DOS\\");
    }

    void Open(std::string_view name, TSimWriterConfig* changes = nullptr) {
        auto sim = MakeSimWriter(name);
        if (changes) sim->Config() = *changes;
        writer = sim.get();
        TPollOptions polls;
        polls.sleep = [](std::chrono::milliseconds) {};
        device = std::make_unique<TSPTIdevice>(std::move(sim), polls);
    }
    bool Create(std::string_view name, TSimWriterConfig* changes = nullptr) {
        Open(name, changes);
        const auto report = [this](double done) { progress.push_back(done); };
        TDSKburningIO io(dialogs, report);
        TJobEnv env{app, dialogs, host};
        return CreateCdDvd(*device, env, TCreationSettings(), &io, report);
    }
    std::size_t Count(std::uint8_t opcode) const {
        return std::size_t(std::count_if(writer->Commands().begin(), writer->Commands().end(),
                                         [opcode](const TSimCommand& c) { return c.cdb[0] == opcode; }));
    }
    std::size_t Writes() const { return Count(scsi::kWrite10); }

    TTempDir temp;
    TAppContext app;
    TSimHost host;
    TScriptedDialogs dialogs;
    std::unique_ptr<TSPTIdevice> device;
    TSimWriter* writer = nullptr;  // owned by device
    std::vector<double> progress;
};

TEST_F(CdDvdJobWriterTest, BootCdIsRecordedAndTheGaugeClimbsThroughTheStages) {
    ASSERT_TRUE(Create("sim:"));
    EXPECT_TRUE(dialogs.Messages().empty());
    const auto& disc = writer->Disc();
    ASSERT_EQ(disc.size(), 1'515'520u);
    EXPECT_EQ(std::string(disc.begin() + 0x8001, disc.begin() + 0x8006), "CD001");
    EXPECT_EQ(Writes(), 74u);

    ASSERT_GT(progress.size(), 75u + 74u);
    EXPECT_EQ(progress[73], 0.4);  // all data written: 40 % of the copy
    // The drive's buffer drains from 50 % towards 90 %; the read-back, 74 reads, takes the rest.
    const auto readBack = progress.end() - 75;
    for (auto done = progress.begin() + 74; done != readBack; ++done) {
        EXPECT_GE(*done, 0.5);
        EXPECT_LE(*done, 0.9);
    }
    for (auto done = readBack; done + 1 != progress.end(); ++done) EXPECT_GT(*done, 0.9);
    EXPECT_EQ(progress.back(), 1.0);
}

TEST_F(CdDvdJobWriterTest, RefusalsShowTheirMessageBeforeAnythingIsWritten) {
    TSimWriterConfig failingSelect;
    failingSelect.failingOpcode = scsi::kModeSelect10;
    failingSelect.failingSense = {0x05, 0x26, 0x00};
    struct TCase {
        const char* name;
        TSimWriterConfig* changes;
        std::string message;
    };
    const std::vector<TCase> cases = {
        {"sim:appendable", nullptr, "The disc in the drive is not blank. Please Insert a blank CD and try again."},
        {"sim:notready", nullptr, "The device is not ready. Try again... (not ready: medium not present (02/3A/00))"},
        {"sim:", &failingSelect,
         "Error in writing process : Can't get write parameters (illegal request: invalid field in parameter list "
         "(05/26/00))"},
        {"sim:full", nullptr, "Error in writing process : There is not enought free space on the disc"},
        {"sim:smallbuffer", nullptr, "Error in writing process : Can't read buffer capacity"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs = TScriptedDialogs();
        dialogs.folderAnswers.push_back("D:\\DOS\\");
        progress.clear();
        EXPECT_FALSE(Create(c.name, c.changes));
        EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(Writes(), 0u);
        EXPECT_TRUE(progress.empty());
    }
}

// The copy as the wizard makes it: the read-back shows as a phase of the copy, and a disc that does not
// read back as recorded fails the copy, naming the first sector that differs.
TEST_F(CdDvdJobWriterTest, TheReadBackIsAPhaseOfTheCopyAndACorruptDiscFailsIt) {
    TSimRawDevices drives;
    TSimVwin32 vwin32;
    struct TCase {
        const char* name;
        TRunOutcome outcome;
        std::size_t reads;  // of ten blocks each, up to the one holding the first bad sector
        std::vector<std::string> messages;
    };
    const TCase cases[] = {
        {"sim:", TRunOutcome::Completed, 74, {}},
        {"sim:corrupt", TRunOutcome::Failed, 11, {"The disc does not read back what was written, from sector 100"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.name);
        dialogs = TScriptedDialogs();
        dialogs.folderAnswers.push_back("D:\\DOS\\");
        TCreationHandlers handlers({app, dialogs, host}, TCreationSettings(), {host.Version(), 0, drives, vwin32});
        TCreationDriver driver(dialogs, app.texts);
        driver.stopOnFailure = true;
        std::vector<std::string> labels;
        std::size_t closedBefore = 0, readBefore = 0;  // when the phase shows: after the session, before a read
        driver.onCopy = [&](const std::string& text) {
            labels.push_back(text);
            closedBefore = Count(scsi::kCloseTrackSession);
            readBefore = Count(scsi::kRead10);
        };
        const auto outcome =
            driver.RunCreation({{"1", 0}}, {{"writer", TMediaType::Optical, device.get(), {}}}, handlers);

        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(labels, (std::vector<std::string>{"copy 1 of 1: writer", "copy 1 of 1: writer - reading back"}));
        EXPECT_EQ(closedBefore, 2u);
        EXPECT_EQ(readBefore, 0u);
        EXPECT_EQ(Count(scsi::kRead10), c.reads);
        EXPECT_EQ(dialogs.Messages(), c.messages);
    }
}

}  // namespace
}  // namespace bootdisk
