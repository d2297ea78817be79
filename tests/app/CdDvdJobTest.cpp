// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CdDvdJob.h"
#include "base/Errors.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/Bytes.h"
#include "image/FloppyTestImage.h"
#include "image/PayloadFormat.h"
#include "optical/ImageRecorder.h"
#include "platform/sim/ScriptedDialogs.h"
#include "platform/sim/SimHost.h"

namespace bootdisk {
namespace {

using namespace bootdisk::test;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

constexpr std::size_t kCdImageSize = 1'515'520;
constexpr std::size_t kFloppyOffset = 20 * 2048;
const std::string kMtools = "MTOOLS_SKIP_CHECK=1 ";

// A writer that takes whatever it is given and answers as told.
class TFakeWriter : public TOpticalDevice {
public:
    bool ready = true;
    std::uint8_t discStatus = 0;
    bool writes = true;
    std::uint8_t failCode = 0;

    std::vector<std::string> calls{};
    Bytes received;
    std::uint64_t startPosition = 0;
    TBurningIO* io = nullptr;

    bool CheckReady(TDiscState& state) override {
        calls.push_back("CheckReady");
        state.DiscStatus = discStatus;
        if (!ready) state.Code = burncode::NotReady;
        return ready;
    }
    bool WriteImage(TBurnStatus& status, TStream& source, TBurningIO* sink) override {
        calls.push_back("WriteImage");
        io = sink;
        startPosition = source.Position();
        received.resize(std::size_t(source.Remaining()));
        source.ReadBuffer(received.data(), received.size());
        if (!writes) status.Code = failCode;
        return writes;
    }
};

class CdDvdJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (BlankFloppyImage().size() != fat12::kImageSize) GTEST_SKIP() << kNoMkfs;
        const auto container = temp / "payload.pak";
        WriteFile(container, test::StoredContainer({{".BOOTRECORD", BlankFloppyImage()},
                                        {"AUTOEXEC.BAT", Text("replaced")},
                                        {"Korvane\\Korvane.exe", Text("sanitizer")},
                                        {"Korvane\\DATA\\KORVANE.INI", Text("replaced")}}));
        ASSERT_TRUE(LoadPayloads(app, container, EmbeddedResources())) << app.payloads.LastError;
        host.AddFile("D:\\DOS\\IO.SYS", Text("io.sys bytes"));
        host.AddFile("D:\\DOS\\COMMAND.COM", Text("command.com bytes"));
        dialogs.folderAnswers.push_back("D:\\DOS\\");
    }

    // False also when the job says no disc can help (the boot image cannot be built): skipped.
    bool Create(TOpticalDevice& device) {
        TJobEnv env{app, dialogs, host};
        skipped = false;
        try {
            return CreateCdDvd(device, env, settings, &io, [this](double done) { progress.push_back(done); });
        } catch (const ECopySkipped& skip) {
            EXPECT_STREQ(skip.what(), "") << "its reason is shown once, by the job";
            skipped = true;
            return false;
        }
    }
    bool skipped = false;

    // The floppy image inside a CD image, as a file for the disk tools.
    std::string SaveFloppy(const Bytes& cdImage) {
        const auto path = temp / "floppy.img";
        WriteFile(path, Bytes(cdImage.begin() + kFloppyOffset, cdImage.end()));
        return path;
    }

    TTempDir temp;
    TAppContext app;
    TSimHost host;  // Windows 2000: the MS-DOS files come from the folder dialog
    TScriptedDialogs dialogs;
    TCreationSettings settings;
    TBurningIO io;
    std::vector<double> progress;
};

TEST_F(CdDvdJobTest, WriterRecordsTheBootCdImageOfTheChosenSettings) {
    settings.options = {false, true, false, true, true, true, false, false, true, false, true, true};
    settings.parameters = "/auto";
    TFakeWriter writer;
    ASSERT_TRUE(Create(writer));
    EXPECT_EQ(writer.calls, (std::vector<std::string>{"CheckReady", "WriteImage"}));
    EXPECT_EQ(writer.io, &io);
    EXPECT_EQ(writer.startPosition, 0u);
    EXPECT_EQ(progress, std::vector<double>{1.0});
    EXPECT_TRUE(dialogs.Messages().empty());

    const auto& image = writer.received;
    ASSERT_EQ(image.size(), kCdImageSize);
    EXPECT_EQ(std::string(image.begin() + 0x8001, image.begin() + 0x8006), "CD001");
    EXPECT_EQ(std::string(image.begin() + 0x9804, image.begin() + 0x981C), "Halvex Quellmark 2005   ");

    const auto floppy = SaveFloppy(image);
    std::string output;
    EXPECT_EQ(RunCommand(kToolPath + "fsck.fat -n " + floppy, &output), 0) << output;
    if (RunCommand("command -v mtype") != 0) GTEST_SKIP() << "mtools is not installed";
    output.clear();
    ASSERT_EQ(RunCommand(kMtools + "mtype -i " + floppy + " ::/AUTOEXEC.BAT", &output), 0) << output;
    EXPECT_EQ(output, "@echo off\r\nprompt $p$g\r\ncd \\Korvane\r\n@echo Running Halvex Quellmark 2005 ...\r\n"
                      "Korvane /auto\r\n");
    output.clear();
    ASSERT_EQ(RunCommand(kMtools + "mtype -i " + floppy + " ::/KORVANE/DATA/KORVANE.INI", &output), 0) << output;
    EXPECT_EQ(output,
              "O1=0\r\nO2=1\r\nO3=0\r\nO4=1\r\nO5=1\r\nO6=1\r\nO7=0\r\nO8=0\r\nO9=1\r\nO10=0\r\nO11=1\r\nL=0\r\n");
    output.clear();
    ASSERT_EQ(RunCommand(kMtools + "mtype -i " + floppy + " ::/IO.SYS", &output), 0) << output;
    EXPECT_EQ(output, "io.sys bytes");
}

TEST_F(CdDvdJobTest, RecorderSavesTheSameImageAfterAskingForTheFileFirst) {
    const TSourceDateEpoch epoch("1700000000");
    TFakeWriter writer;
    ASSERT_TRUE(Create(writer));
    dialogs.folderAnswers.push_back("D:\\DOS\\");
    dialogs.log.clear();

    TimageRecorder recorder(dialogs, app.texts);
    dialogs.saveFileAnswers.push_back(temp / "boot.iso");
    ASSERT_TRUE(Create(recorder));
    EXPECT_EQ(dialogs.log, (std::vector<std::string>{"save", "folder"}));
    EXPECT_EQ(ReadWholeFile(temp / "boot.iso"), writer.received);
    EXPECT_EQ(progress, (std::vector<double>{1.0, 1.0}));
    EXPECT_FALSE(test::HasScratchFile(temp.Path()));
}

struct TJobFault {
    const char* what;
    bool ready = true;
    std::uint8_t discStatus = 0;
    std::uint8_t writeFailure = 0;  // the step code of a failed recording; 0 records
    bool systemFiles = true;
    std::string parameters{};
    std::vector<std::string> calls{};
    std::string message;
};

TEST_F(CdDvdJobTest, EveryFailureShowsOneMessageAndReportsNoProgress) {
    const std::string noBlank = "The disc in the drive is not blank. Please Insert a blank CD and try again.";
    const std::vector<std::string> checked = {"CheckReady"}, written = {"CheckReady", "WriteImage"};
    const std::vector<TJobFault> faults = {
        {.what = "not ready", .ready = false, .calls = checked, .message = "The device is not ready. Try again..."},
        {.what = "appendable disc", .discStatus = 1, .calls = checked, .message = noBlank},
        {.what = "complete disc", .discStatus = 2, .calls = checked, .message = noBlank},
        {.what = "failed WRITE(10)", .writeFailure = burncode::WriteError, .calls = written,
         .message = "Error in writing process : Write error"},
        {.what = "failed MODE SENSE", .writeFailure = burncode::GetWriteParameters, .calls = written,
         .message = "Error in writing process : Can't get write parameters"},
        {.what = "no system files", .systemFiles = false, .message = "Cannot find Ms-Dos system files."},
        {.what = "bad parameters", .parameters = "/a\r\n",
         .message = "The installation cannot be completed. The command line parameters must not contain line "
                    "breaks or control characters."},
    };
    for (const auto& fault : faults) {
        dialogs = TScriptedDialogs();
        if (fault.systemFiles) dialogs.folderAnswers.push_back("D:\\DOS\\");
        settings = TCreationSettings();
        settings.parameters = fault.parameters;
        progress.clear();
        TFakeWriter writer;
        writer.ready = fault.ready;
        writer.discStatus = fault.discStatus;
        writer.writes = fault.writeFailure == 0;
        writer.failCode = fault.writeFailure;
        EXPECT_FALSE(Create(writer)) << fault.what;
        EXPECT_EQ(skipped, fault.calls.empty()) << fault.what << ": only a disc fault is worth another disc";
        EXPECT_EQ(writer.calls, fault.calls) << fault.what;
        EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{fault.message}) << fault.what;
        EXPECT_TRUE(progress.empty()) << fault.what;
    }
}

TEST_F(CdDvdJobTest, RecorderLeavesNoFileBehindWhenTheJobFails) {
    TimageRecorder recorder(dialogs, app.texts);
    const auto out = temp / "boot.iso";

    // The file choice cancelled: nothing is built and nothing is said.
    EXPECT_FALSE(Create(recorder));
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"save"});

    // No system files: the old image stays, the scratch file goes.
    WriteFile(out, Text("old image"));
    dialogs.folderAnswers.clear();
    dialogs.saveFileAnswers.push_back(out);
    EXPECT_FALSE(Create(recorder));
    EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{"Cannot find Ms-Dos system files."});
    EXPECT_EQ(ReadWholeFile(out), Text("old image"));
    EXPECT_FALSE(test::HasScratchFile(fs::path(out).parent_path().string()));

    // A folder is not a file the image may replace: refused before the image is built.
    fs::remove(out);
    fs::create_directory(out);
    dialogs = TScriptedDialogs();
    dialogs.folderAnswers.push_back("D:\\DOS\\");
    dialogs.saveFileAnswers.push_back(out);
    EXPECT_FALSE(Create(recorder));
    EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{"Cannot create the image file " + out + ": it is a folder"});
    EXPECT_FALSE(test::HasScratchFile(fs::path(out).parent_path().string()));
    EXPECT_TRUE(progress.empty());
}

}  // namespace
}  // namespace bootdisk
