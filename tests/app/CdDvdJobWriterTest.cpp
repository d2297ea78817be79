// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/CdDvdJob.h"
#include "base/Bytes.h"
#include "image/FloppyTestImage.h"
#include "image/PayloadFormat.h"
#include "optical/DSKburningIO.h"
#include "optical/SPTI.h"
#include "optical/ScsiCommands.h"
#include "platform/sim/ScriptedDialogs.h"
#include "platform/sim/SimHost.h"
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

    bool Create(std::string_view name, TSimWriterConfig* changes = nullptr) {
        auto sim = MakeSimWriter(name);
        if (changes) sim->Config() = *changes;
        writer = sim.get();
        TPollOptions polls;
        polls.sleep = [](std::chrono::milliseconds) {};
        device = std::make_unique<TSPTIdevice>(std::move(sim), polls);
        const auto report = [this](double done) { progress.push_back(done); };
        TDSKburningIO io(dialogs, report);
        TJobEnv env{app, dialogs, host};
        return CreateCdDvd(*device, env, TCreationSettings(), &io, report);
    }
    std::size_t Writes() const {
        return std::size_t(std::count_if(writer->Commands().begin(), writer->Commands().end(),
                                         [](const TSimCommand& c) { return c.cdb[0] == scsi::kWrite10; }));
    }

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

    ASSERT_GT(progress.size(), 75u);
    EXPECT_EQ(progress[73], 0.4);  // all data written: 40 % of the copy
    for (std::size_t i = 74; i + 1 < progress.size(); ++i) {
        EXPECT_GE(progress[i], 0.5);
        EXPECT_LE(progress[i], 0.9);
    }
    EXPECT_EQ(progress.back(), 1.0);
}

TEST_F(CdDvdJobWriterTest, RefusalsShowTheirMessageBeforeAnythingIsWritten) {
    TSimWriterConfig failingSelect;
    failingSelect.failingOpcode = scsi::kModeSelect10;
    struct TCase {
        const char* name;
        TSimWriterConfig* changes;
        std::string message;
    };
    const std::vector<TCase> cases = {
        {"sim:appendable", nullptr, "The disc in the drive is not blank. Please Insert a blank CD and try again."},
        {"sim:notready", nullptr, "The device is not ready. Try again..."},
        {"sim:", &failingSelect, "Error in writing process : Can't get write parameters"},
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

}  // namespace
}  // namespace bootdisk
