// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk floppy` on a file-backed floppy as a user runs it, checked with dosfstools and mtools.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/Streams.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Quoted;
using test::RunCommand;
using testing::HasSubstr;

constexpr std::size_t kFloppySize = 1'474'560;
const std::string kTools = test::kToolPath + "MTOOLS_SKIP_CHECK=1 ";
const std::string kSettings = "--options 010101010101 --params '/demo 1'";
const std::string kAutoexec =
    "@echo off\r\nprompt $p$g\r\ncd \\Korvane\r\n@echo Running Halvex Quellmark 2005 ...\r\nKorvane /demo 1\r\n";
const std::string kIni =
    "O1=0\r\nO2=1\r\nO3=0\r\nO4=1\r\nO5=0\r\nO6=1\r\nO7=0\r\nO8=1\r\nO9=0\r\nO10=1\r\nO11=0\r\nL=0\r\n";

class FloppyCommand : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"fsck.fat", "mtype", "mdir"})
            if (RunCommand(kTools + "command -v " + tool) != 0)
                GTEST_SKIP() << tool << " is not installed; scripts/setup installs dosfstools and mtools";
        test::WriteFile(floppy, Bytes(kFloppySize));
    }

    // Runs the tool with no terminal to answer prompts and no command interpreter to format with.
    int Bootdisk(const std::string& arguments, std::string* output) {
        return RunCommand("env -u COMSPEC -u comspec " + Quoted(test::BinPath("bootdisk")) + " floppy " + arguments +
                              " < /dev/null",
                          output);
    }
    std::string Mtype(const std::string& path) {
        std::string output;
        EXPECT_EQ(RunCommand(kTools + "mtype -i " + Quoted(floppy) + " ::/" + path, &output), 0) << output;
        return output;
    }

    test::TTempDir temp;
    std::string floppy = temp / "floppy.img";
};

TEST_F(FloppyCommand, RxFloppyIsCleanAndEveryFileReadsBack) {
    std::string output;
    ASSERT_EQ(Bootdisk(Quoted(floppy) + " --yes " + kSettings, &output), 0) << output;
    EXPECT_THAT(output, HasSubstr("every file reads back as written"));
    EXPECT_EQ(std::filesystem::file_size(floppy), kFloppySize);

    std::string fsck;
    EXPECT_EQ(RunCommand(kTools + "fsck.fat -n " + Quoted(floppy), &fsck), 0) << fsck;
    EXPECT_THAT(fsck, testing::Not(HasSubstr("\n  "))) << fsck;  // no findings listed
    std::string listing;
    EXPECT_EQ(RunCommand(kTools + "mdir -/ -b -i " + Quoted(floppy) + " ::", &listing), 0) << listing;
    EXPECT_EQ(listing,
              "::/RXDOSBIO.SYS\n::/AUTOEXEC.BAT\n::/KORVANE/\n::/KORVANE/DATA/\n::/KORVANE/KORVANE.EXE\n"
              "::/KORVANE/README.TXT\n::/KORVANE/DATA/CTMOUSE.EXE\n::/KORVANE/DATA/KORVANE.INI\n"
              "::/KORVANE/DATA/METHODS.TXT\n");
    const auto files = test::DemoPayloadFiles();
    ASSERT_EQ(files.size(), 6u);
    for (const auto& [path, source] : files) {
        if (path == "AUTOEXEC.BAT" || path == "Korvane/DATA/KORVANE.INI") continue;
        const auto bytes = ReadWholeFile(source);
        EXPECT_EQ(Mtype(path), std::string(bytes.begin(), bytes.end())) << path;
    }
    EXPECT_EQ(Mtype("AUTOEXEC.BAT"), kAutoexec);
    EXPECT_EQ(Mtype("Korvane/DATA/KORVANE.INI"), kIni);

    // A second run over the finished floppy gives the same files again.
    ASSERT_EQ(Bootdisk(Quoted(floppy) + " --yes " + kSettings, &output), 0) << output;
    EXPECT_EQ(RunCommand(kTools + "fsck.fat -n " + Quoted(floppy), &fsck), 0) << fsck;
    EXPECT_EQ(Mtype("AUTOEXEC.BAT"), kAutoexec);
}

TEST_F(FloppyCommand, MsDosCannotBeMadeOnThisHostAndNothingIsWritten) {
    std::string output;
    EXPECT_NE(Bootdisk(Quoted(floppy) + " --yes --os msdos", &output), 0);
    EXPECT_THAT(output, HasSubstr("Cannot create Ms-Dos boot disk."));
    EXPECT_THAT(output, HasSubstr("The installation cannot be completed."));
    EXPECT_EQ(ReadWholeFile(floppy), Bytes(kFloppySize));
}

TEST_F(FloppyCommand, RefusedWithoutAnAnswerOrADevice) {
    std::string output;
    EXPECT_NE(Bootdisk(Quoted(floppy), &output), 0);  // nobody to ask, no --yes
    EXPECT_THAT(output, HasSubstr("--yes"));
    EXPECT_NE(Bootdisk(Quoted(temp / "missing.img") + " --yes", &output), 0);
    EXPECT_THAT(output, HasSubstr("The floppy cannot be opened: "));
    const auto disk = temp / "disk.img";
    test::WriteFile(disk, Bytes(2 * kFloppySize));
    EXPECT_NE(Bootdisk(Quoted(disk) + " --yes", &output), 0);  // larger than a floppy: a disk
    EXPECT_THAT(output, HasSubstr("does not hold a 1.44 MB floppy: "));
    EXPECT_EQ(ReadWholeFile(disk), Bytes(2 * kFloppySize));
    EXPECT_NE(Bootdisk("a b --yes", &output), 0);
    EXPECT_EQ(ReadWholeFile(floppy), Bytes(kFloppySize));
}

// A mounted disk of this machine is refused: as a fixed disk, or naming its mount point were it
// removable. Asked without --yes and with nobody to answer, so that even a failed check would write
// nothing.
TEST_F(FloppyCommand, MountedDeviceIsRefusedNamingTheMountPoint) {
    std::ifstream mounts("/proc/self/mounts");
    std::string device, mountPoint;
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::string source, target;
        if (fields >> source >> target && source.starts_with("/dev/") && std::filesystem::is_block_file(source) &&
            target.find('\\') == std::string::npos) {
            device = source;
            mountPoint = target;
            break;
        }
    }
    if (device.empty()) GTEST_SKIP() << "no block device is mounted here";
    std::string output;
    EXPECT_NE(Bootdisk(Quoted(device), &output), 0);
    EXPECT_THAT(output, testing::AnyOf(HasSubstr(device + " (not a removable disk)"),
                                       HasSubstr("Unmount it first: " + mountPoint)))
        << output;
}

}  // namespace
}  // namespace bootdisk
