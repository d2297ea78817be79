// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk burn` and `bootdisk devices` on the emulated writer, as a user runs them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "base/Streams.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Quoted;
using test::RunCommand;
using testing::HasSubstr;
using testing::Not;

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = std::uint8_t(seed + i * 29 + i / 251);
    return bytes;
}

class Burn : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(dos);
        test::WriteFile(dos + "/IO.SYS", Pattern(40'000, 3));
        test::WriteFile(dos + "/COMMAND.COM", Pattern(93'000, 4));
    }

    // Runs the tool in the temp folder with no terminal; stderr goes to errors.txt.
    int Bootdisk(const std::string& arguments, std::string* output = nullptr) {
        std::string discard;
        return RunCommand("cd " + Quoted(temp.Path()) + " && { SOURCE_DATE_EPOCH=1136073600 " +
                              Quoted(test::BinPath("bootdisk")) + " " + arguments + " < /dev/null 2> errors.txt; }",
                          output ? output : &discard);
    }
    std::string Errors() const {
        const auto bytes = ReadWholeFile(temp / "errors.txt");
        return {bytes.begin(), bytes.end()};
    }
    std::string DosFolder() const { return " --os msdos --msdos-folder " + Quoted(dos); }

    test::TTempDir temp;
    std::string dos = temp / "dos";
};

// Over the pass-through and over an ASPI layer alike.
class BurnOver : public Burn, public ::testing::WithParamInterface<const char*> {};

TEST_P(BurnOver, RecordedDiscEqualsTheIsoImageAndIsWrittenTenBlocksAtATime) {
    const std::string options = " --params '/X /Y' --options 101100110011";
    std::string output;
    ASSERT_EQ(Bootdisk(std::string("burn ") + GetParam() + " --trace --sim-dump disc.bin" + DosFolder() + options,
                       &output),
              0)
        << Errors();
    // What was made on stdout; no progress line rewritten with carriage returns into a pipe.
    EXPECT_EQ(output, std::string(GetParam()) + " holds the boot CD; the read-back matches what was written.\n");
    const auto trace = Errors();
    EXPECT_EQ(trace.find('\r'), std::string::npos);
    ASSERT_EQ(Bootdisk("iso boot.iso" + DosFolder() + options), 0) << Errors();

    const auto disc = ReadWholeFile(temp / "disc.bin");
    EXPECT_EQ(disc.size(), 1'515'520u);
    EXPECT_TRUE(disc == ReadWholeFile(temp / "boot.iso")) << "the recorded disc differs from the ISO image";

    // The track is written, then read back, ten blocks at a time and only as far as the image goes.
    const std::regex write("2a 00 ([0-9a-f]{2} ){4}00 00 0a 00 out 20480 -> 0");
    const std::regex read("28 08 ([0-9a-f]{2} ){4}00 00 0a 00 in 20480 -> 0");  // FUA: from the disc
    std::istringstream lines(trace);
    std::size_t writes = 0, reads = 0;
    for (std::string line; std::getline(lines, line);) {
        const bool writing = line.starts_with("2a ");
        if (!writing && !line.starts_with("28 ")) continue;
        ASSERT_TRUE(std::regex_match(line, writing ? write : read)) << line;
        auto& count = writing ? writes : reads;
        EXPECT_EQ(std::stoul(line.substr(6, 2) + line.substr(9, 2) + line.substr(12, 2) + line.substr(15, 2), nullptr, 16),
                  10 * count++);
    }
    EXPECT_EQ(writes, 74u);
    EXPECT_EQ(reads, 74u);
    EXPECT_LT(trace.find("\n5b 01 02 "), trace.find("\n28 08 "));  // read back once the session is closed
    EXPECT_THAT(trace, HasSubstr("12 00 00 00 a5 00 in 165 -> 0\n"));  // INQUIRY comes first
    EXPECT_THAT(trace, HasSubstr("5b 01 02 00 00 00 00 00 00 00 none 0 -> 0\n"));  // session closed
}

// A disc that does not read back as recorded fails, naming the first bad sector, with the exit
// status of a USB drive's failed read-back, as does a drive that answers a read without its data;
// a command the drive refuses is named by its sense data.
TEST_P(BurnOver, ReadBackFindsTheCorruptSectorAndSenseDataNamesTheDrivesReason) {
    const std::string corrupt = std::string(GetParam()) + "corrupt", notReady = std::string(GetParam()) + "notready";
    std::string output;
    EXPECT_EQ(Bootdisk("burn " + corrupt + " --trace" + DosFolder(), &output), 3);
    EXPECT_THAT(Errors(), HasSubstr("The disc does not read back what was written, from sector 100\n"));
    EXPECT_THAT(output, Not(HasSubstr("holds the boot CD")));

    EXPECT_EQ(Bootdisk("burn " + corrupt + " --trace --no-read-back" + DosFolder(), &output), 0) << Errors();
    EXPECT_THAT(output, HasSubstr(corrupt + " holds the boot CD; it was not read back.\n"));
    EXPECT_THAT(Errors(), Not(HasSubstr("\n28 ")));

    std::string shortRead;
    EXPECT_EQ(Bootdisk("burn " + std::string(GetParam()) + "shortread" + DosFolder(), &shortRead), 3);
    EXPECT_THAT(Errors(), HasSubstr("The disc cannot be read back, from sector 20 (READ(10) of 10 blocks at 20 "));
    EXPECT_EQ(shortRead, "");

    EXPECT_EQ(Bootdisk("burn " + notReady + " --trace" + DosFolder()), 1);
    EXPECT_THAT(Errors(), HasSubstr("The device is not ready. Try again... (not ready: medium not present (02/3A/00))"));
    EXPECT_THAT(Errors(), testing::ContainsRegex("\n00 00 00 00 00 00 none 0 -> [0-9]+ sense 70 00 02 00 00 00 00 0a "
                                                 "00 00 00 00 3a 00 .*\\(not ready: medium not present \\(02/3A/00\\)\\)\n"));
}

INSTANTIATE_TEST_SUITE_P(Transports, BurnOver, ::testing::Values("sim:", "sim-aspi:"));

TEST_F(Burn, DiscAndDriveFaultsGiveTheirMessagesAndFail) {
    const std::pair<const char*, const char*> cases[] = {
        {"sim:notready", "The device is not ready. Try again..."},
        {"sim:appendable", "The disc in the drive is not blank. Please Insert a blank CD and try again."},
        {"sim:full", "Error in writing process : There is not enought free space on the disc"},
        {"sim:smallbuffer", "Error in writing process : Can't read buffer capacity"},
    };
    // A failed recording writes no dump: the one of an earlier good run stays.
    test::WriteFile(temp / "disc.bin", {'g', 'o', 'o', 'd'});
    for (const auto& [device, message] : cases) {
        EXPECT_EQ(Bootdisk(std::string("burn ") + device + " --sim-dump disc.bin" + DosFolder()), 1) << device;
        EXPECT_THAT(Errors(), HasSubstr(message)) << device;
        EXPECT_THAT(Errors(), HasSubstr("the recording failed; no dump written")) << device;
        EXPECT_EQ(ReadWholeFile(temp / "disc.bin"), (std::vector<std::uint8_t>{'g', 'o', 'o', 'd'})) << device;
    }
}

TEST_F(Burn, BadDevicesAreRefusedWithAReason) {
    EXPECT_EQ(Bootdisk("burn /nonexistent/sr0" + DosFolder()), 4);  // refused
    EXPECT_THAT(Errors(), HasSubstr("cannot open /nonexistent/sr0"));
    EXPECT_EQ(Bootdisk("burn iscsi://127.0.0.1/iqn.x" + DosFolder()), 2);
    EXPECT_THAT(Errors(), HasSubstr("no LUN after the target"));
    EXPECT_EQ(Bootdisk("burn sim:bogus" + DosFolder()), 2);
    EXPECT_THAT(Errors(), HasSubstr("unknown emulated writer 'sim:bogus'"));
    EXPECT_EQ(Bootdisk("burn /dev/null --sim-dump d.bin" + DosFolder()), 4);
    EXPECT_EQ(Bootdisk("burn" + DosFolder()), 2);
    EXPECT_THAT(Errors(), HasSubstr("burn takes exactly one device"));
}

TEST_F(Burn, DevicesListsNamedWriters) {
    std::string output;
    EXPECT_EQ(Bootdisk("devices sim: sim:bogus", &output), 1);  // the one that cannot be opened
    EXPECT_EQ(output, "SIM WRITER (BOOTDISK)\tsim:\tread CD-R,CD-RW  write CD-R,CD-RW,test\n");
    EXPECT_THAT(Errors(), HasSubstr("sim:bogus"));
    std::string aspi;
    EXPECT_EQ(Bootdisk("devices sim-aspi:", &aspi), 0);
    EXPECT_EQ(aspi, "SIM WRITER (BOOTDISK)\taspi 0:1:0\tread CD-R,CD-RW  write CD-R,CD-RW,test\n");
    EXPECT_EQ(Bootdisk("devices", &output), 0);  // this machine's own drives, if any
}

}  // namespace
}  // namespace bootdisk
