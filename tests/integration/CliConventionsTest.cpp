// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as a script sees it: results on stdout and errors on stderr led by the command,
// no progress or prompts in a pipe, an exit code per outcome, "--name=value" and "--", aligned
// help, and the wizard's --help and --version without a display.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "base/Streams.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using test::Quoted;
using test::RunCommand;
using testing::HasSubstr;
using testing::Not;

class CliConventions : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(dos);
        test::WriteFile(dos + "/IO.SYS", std::vector<std::uint8_t>(4000, 0x90));
        test::WriteFile(dos + "/COMMAND.COM", std::vector<std::uint8_t>(9000, 0xC3));
    }
    // Runs bootdisk in the temp folder, stdin empty, stdout and stderr kept apart.
    int Bootdisk(const std::string& arguments) {
        const int status = RunCommand("cd " + Quoted(temp.Path()) + " && { SOURCE_DATE_EPOCH=1136073600 " +
                                      Quoted(test::BinPath("bootdisk")) + " " + arguments +
                                      " < /dev/null > stdout.txt 2> stderr.txt; }");
        out = Text(temp / "stdout.txt");
        err = Text(temp / "stderr.txt");
        return status;
    }
    static std::string Text(const std::string& path) {
        const auto bytes = ReadWholeFile(path);
        return {bytes.begin(), bytes.end()};
    }
    std::vector<std::uint8_t> File(const std::string& name) const { return ReadWholeFile(temp / name); }

    test::TTempDir temp;
    std::string dos = temp / "dos";
    std::string out, err;
};

TEST_F(CliConventions, EachOutcomeHasItsExitCodeAndEveryErrorLineNamesTheCommand) {
    struct TCase {
        std::string arguments;
        int code;
        std::string lead;
    };
    const std::vector<TCase> cases = {
        {"iso a.iso --msdos-folder " + Quoted(dos), 0, ""},
        {"iso b.iso --payload missing.pak", 1, "bootdisk iso: "},
        {"create --yes iso=c.iso cd=sim:notready", 1, "bootdisk create: "},
        {"image d.img --bogus", 2, "bootdisk image: "},
        {"image d.img --os rx --msdos-folder " + Quoted(dos), 2, "bootdisk image: "},
        {"image d.img --yes=1", 2, "bootdisk image: "},
        {"usb /etc/hostname --yes", 4, "bootdisk usb: "},
        {"create --yes iso=e.iso cd=/dev/null", 4, "bootdisk create: "},
        {"burn /nonexistent/sr0", 4, "bootdisk burn: "},
    };
    for (const auto& [arguments, code, lead] : cases) {
        EXPECT_EQ(Bootdisk(arguments), code) << arguments << "\n" << err;
        if (code == 0) continue;
        std::istringstream lines(err);
        std::string line;
        int count = 0;
        while (std::getline(lines, line)) {
            EXPECT_TRUE(line.starts_with(lead)) << arguments << ": " << line;
            ++count;
        }
        EXPECT_GT(count, 0) << arguments;
    }
    EXPECT_TRUE(std::filesystem::exists(temp / "a.iso"));
    EXPECT_FALSE(std::filesystem::exists(temp / "e.iso")) << "a refused row stops the run before the first copy";
}

// Unattended, the run says what was made; the prompts of the wizard are not echoed, and a floppy
// image file is never called drive A:.
TEST_F(CliConventions, APipeGetsResultLinesOnlyAndQuietGetsNone) {
    test::WriteFile(temp / "f.img", std::vector<std::uint8_t>(1'474'560));
    ASSERT_EQ(Bootdisk("create --yes 2:floppy=f.img iso=a.iso"), 0) << err;
    EXPECT_EQ(out, "copy 1 of 3, floppy: made\ncopy 2 of 3, floppy: made\ncopy 3 of 3, a.iso: made\n3 of 3 copies made.\n");
    EXPECT_EQ(err, "");

    ASSERT_EQ(Bootdisk("image q.img --quiet"), 0) << err;
    EXPECT_EQ(out + err, "");
    EXPECT_EQ(File("q.img").size(), 1'474'560u);
}

// Results that never reached their reader are no success: a full disk or a closed stdout fails the
// run, saying so; a stdout closed while nothing is written to it is no error.
TEST_F(CliConventions, StandardOutputThatCannotBeWrittenFailsTheRun) {
    std::string output;
    const auto bootdisk = Quoted(test::BinPath("bootdisk"));
    EXPECT_EQ(RunCommand("{ " + bootdisk + " devices --json > /dev/full; }", &output), 1);
    EXPECT_EQ(output, "bootdisk: cannot write standard output: No space left on device\n");
    output.clear();
    EXPECT_EQ(RunCommand("{ " + bootdisk + " --version >&-; }", &output), 1);
    EXPECT_THAT(output, HasSubstr("bootdisk: cannot write standard output"));
    output.clear();
    EXPECT_EQ(RunCommand("cd " + Quoted(temp.Path()) + " && { " + bootdisk + " image q.img --quiet >&-; }", &output), 0);
    EXPECT_EQ(output, "");
}

// On a terminal the progress line is drawn; --quiet leaves it out as it does the result lines.
TEST_F(CliConventions, OnATerminalQuietDrawsNoProgressLine) {
    if (RunCommand("command -v script") != 0) GTEST_SKIP() << "script (util-linux) is not installed";
    const auto onTerminal = [&](const std::string& options) {
        std::string output;
        EXPECT_EQ(RunCommand("cd " + Quoted(temp.Path()) + " && script -qec " +
                                 Quoted(Quoted(test::BinPath("bootdisk")) + " create --yes iso=a.iso" + options) +
                                 " /dev/null < /dev/null",
                             &output),
                  0)
            << output;
        return output;
    };
    EXPECT_THAT(onTerminal(""), HasSubstr("\rCreating: 100%"));
    EXPECT_EQ(onTerminal(" --quiet"), "");
    EXPECT_EQ(File("a.iso").size(), 1'515'520u);
}

TEST_F(CliConventions, OnATerminalTheFloppyPromptNamesTheImageFileAndStoppingThereExitsFive) {
    if (RunCommand("command -v script") != 0) GTEST_SKIP() << "script (util-linux) is not installed";
    test::WriteFile(temp / "f.img", std::vector<std::uint8_t>(1'474'560));
    std::string output;
    // y: write to f.img; 2: Cancel at the medium prompt; 1: yes, stop.
    const int status = RunCommand("cd " + Quoted(temp.Path()) + " && printf 'y\\n2\\n1\\n' | script -qec " +
                                      Quoted(Quoted(test::BinPath("bootdisk")) + " create floppy=f.img") +
                                      " /dev/null",
                                  &output);
    EXPECT_EQ(status, 5) << output;
    EXPECT_THAT(output, HasSubstr("The boot floppy is written into the image file f.img."));
    EXPECT_THAT(output, Not(HasSubstr("drive A:")));
    EXPECT_EQ(File("f.img"), std::vector<std::uint8_t>(1'474'560)) << "nothing was written";
}

TEST_F(CliConventions, ValuesFollowAnEqualsSignDoubleDashEndsTheOptionsAndTheMsDosFolderChoosesMsDos) {
    ASSERT_EQ(Bootdisk("iso --os=msdos --msdos-folder=" + Quoted(dos) + " -- -dashed.iso"), 0) << err;
    ASSERT_EQ(Bootdisk("iso folder-only.iso --msdos-folder " + Quoted(dos)), 0) << err;
    ASSERT_EQ(Bootdisk("iso rx.iso"), 0) << err;
    const auto dashed = File("-dashed.iso");
    EXPECT_EQ(dashed.size(), 1'515'520u);
    EXPECT_TRUE(dashed == File("folder-only.iso"));
    EXPECT_FALSE(dashed == File("rx.iso")) << "--msdos-folder alone was ignored";
}

TEST_F(CliConventions, HelpTextsStartTheirDescriptionsInOneColumn) {
    for (const std::string command : {"", "iso ", "image ", "burn ", "create ", "usb ", "devices "}) {
        ASSERT_EQ(Bootdisk(command + "--help"), 0) << command;
        std::istringstream lines(out);
        std::string line;
        std::set<std::size_t> columns;
        bool options = false;
        while (std::getline(lines, line)) {
            if (line.ends_with(":") && !line.starts_with(" ")) options = line == "options:" || line == "commands:";
            if (!options || !line.starts_with("  ")) continue;
            const auto gap = line.find("  ", 2);
            ASSERT_NE(gap, std::string::npos) << line;
            columns.insert(line.find_first_not_of(' ', gap));
        }
        EXPECT_EQ(columns.size(), 1u) << "bootdisk " << command << "--help:\n" << out;
    }
    ASSERT_EQ(Bootdisk("--help"), 0);
    for (const char* code : {"  0 ", "  1 ", "  2 ", "  3 ", "  4 ", "  5 "}) EXPECT_THAT(out, HasSubstr(code));
}

TEST_F(CliConventions, TheWizardAnswersHelpAndVersionWithoutADisplay) {
    const auto wizard = test::BinPath("bootdisk-wizard");
    if (!std::filesystem::exists(wizard)) GTEST_SKIP() << "the desktop wizard is not built";
    std::string output;
    const auto headless = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb " + Quoted(wizard);
    EXPECT_EQ(RunCommand(headless + " --version", &output), 0) << output;
    EXPECT_THAT(output, testing::StartsWith("bootdisk-wizard "));
    output.clear();
    EXPECT_EQ(RunCommand(headless + " --help", &output), 0) << output;
    EXPECT_THAT(output, HasSubstr("--payload FILE"));
    EXPECT_EQ(RunCommand(headless + " --payload", &output), 2);
}

}  // namespace
}  // namespace bootdisk
