// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as an unprivileged user against a stand-in for the system's disk service: the
// stick is listed, unmounted, opened by the service, written and read back; the system disk is
// refused before the service is asked to open it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "base/Streams.h"
#include "support/StandinBus.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using test::Quoted;
using test::RunCommand;
using testing::ElementsAre;
using testing::HasSubstr;

constexpr std::size_t kStickBytes = 8 * 1024 * 1024;
// Another stick, mounted where a label with a backslash, quotes and a tab puts it.
constexpr const char* kOddMountPoint = "/media/user/a\\b \"c\"\td";
constexpr const char* kStickLine = "/dev/sdx (Standin Stick sdx, 8.4 MB): mounted at /media/user/STICK";
const std::string kFlags = "flags=" + std::to_string(O_EXCL | O_CLOEXEC);

class UdisksStandin : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "running the command line as another user needs root";
        if (RunCommand("command -v setpriv") != 0) GTEST_SKIP() << "setpriv is not installed (package util-linux)";
        bus = std::make_unique<test::TStandinBus>();
        if (!bus->Missing().empty()) GTEST_SKIP() << bus->Missing();
        stick = bus->Scratch("stick.img", kStickBytes);
        bus->AddDrive("sdx", stick, "/media/user/STICK", true, false);
        bus->AddDrive("sdz", bus->Scratch("system.img", kStickBytes), "", false, true);
        bus->AddDrive("sdy", bus->Scratch("other.img", kStickBytes), kOddMountPoint, true, false);
    }
    // The command line as user nobody, which may open no disk and no scratch file itself.
    int AsNobody(const std::string& arguments, std::string* output) {
        return RunCommand(bus->Env() + "setpriv --reuid=65534 --regid=65534 --clear-groups " +
                              Quoted(test::BinPath("bootdisk")) + " " + arguments + " < /dev/null",
                          output);
    }
    std::vector<std::uint8_t> Stick() { return ReadWholeFile(stick); }

    std::unique_ptr<test::TStandinBus> bus;
    std::string stick;
};

TEST_F(UdisksStandin, AUserListsUnmountsWritesAndReadsBackTheStickButNeverOpensTheSystemDisk) {
    std::string output;
    ASSERT_EQ(AsNobody("devices", &output), 0) << output;
    EXPECT_THAT(output, HasSubstr("Removable drives that can take the boot disk:\n  " + std::string(kStickLine)));
    EXPECT_THAT(output, HasSubstr("Drives not offered:\n  /dev/sdz (Standin Stick sdz, 8.4 MB): not a removable disk"));

    output.clear();
    ASSERT_EQ(AsNobody("usb /dev/sdx --yes", &output), 0) << output;
    // Named as it is after the write: no longer mounted.
    EXPECT_THAT(output, HasSubstr("(Standin Stick sdx, 8.4 MB, /dev/sdx) holds the boot disk; the read-back matches "
                                  "what was written. Its file systems were unmounted first: /media/user/STICK"));
    // Unmounted before the write, and only the stick's own file system, not the other stick's; the
    // write and the read-back each through the service's descriptor.
    EXPECT_THAT(bus->Calls(), ElementsAre("Unmount /dev/sdx1", "OpenDevice /dev/sdx rw " + kFlags,
                                          "OpenDevice /dev/sdx r " + kFlags));
    const auto bytes = Stick();
    EXPECT_EQ(bytes[36], 0x80);
    const auto image = stick + ".fat";
    test::WriteFile(image, {bytes.begin(), bytes.begin() + 1'474'560});
    output.clear();
    EXPECT_EQ(RunCommand(test::kToolPath + "fsck.fat -n " + Quoted(image), &output), 0) << output;

    output.clear();
    EXPECT_EQ(AsNobody("usb /dev/sdz --yes", &output), 4) << output;  // refused
    EXPECT_THAT(output, HasSubstr("bootdisk usb: /dev/sdz: Disk Protection fault : The drive is not removable."));
    EXPECT_EQ(bus->Calls().size(), 3u) << "the system disk was never opened";
}

TEST_F(UdisksStandin, AFileSystemThatWillNotUnmountStopsTheCopyWithTheServicesReason) {
    bus->RefuseUnmount("sdx1", "Error unmounting /dev/sdx1: target is busy");
    std::string output;
    EXPECT_EQ(AsNobody("usb /dev/sdx --yes", &output), 1) << output;
    EXPECT_THAT(output,
                HasSubstr("The drive's file systems cannot be unmounted: Error unmounting /dev/sdx1: target is busy"));
    EXPECT_THAT(bus->Calls(), ElementsAre("Unmount /dev/sdx1"));
    const auto bytes = Stick();
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](auto b) { return b == 0; })) << "nothing was written";
}

TEST_F(UdisksStandin, DevicesAsJsonParseWithPythonsParserAndGiveEachDiskItsReasonKey) {
    std::string output;
    const auto json = bus->Scratch("devices.json", 0);
    ASSERT_EQ(RunCommand(bus->Env() + Quoted(test::BinPath("bootdisk")) + " devices --json > " + Quoted(json)), 0);
    const std::string check =
        "import json, sys\n"
        "d = json.load(open(sys.argv[1]))\n"
        "stick = [x for x in d[\"removableDrives\"] if x[\"device\"] == \"/dev/sdx\"][0]\n"
        "assert stick[\"mountPoints\"] == [\"/media/user/STICK\"] and stick[\"size\"] == 8388608, stick\n"
        "other = [x for x in d[\"otherDisks\"] if x[\"device\"] == \"/dev/sdz\"][0]\n"
        "assert other[\"reason\"] == \"not-removable\" and other[\"reasonText\"] == \"not a removable disk\", other\n"
        "assert other[\"model\"] == \"Standin Stick sdz\" and \"reason\" not in stick, other\n"
        "assert isinstance(d[\"writers\"], list) and d[\"writingNeedsAdministrator\"] is False\n"
        "odd = [x for x in d[\"removableDrives\"] if x[\"device\"] == \"/dev/sdy\"][0]\n"
        "assert odd[\"mountPoints\"] == [sys.argv[2]], odd\n";
    EXPECT_EQ(RunCommand("python3 -c " + Quoted(check) + " " + Quoted(json) + " " + Quoted(kOddMountPoint), &output), 0)
        << output;
}

// Another stick takes the confirmed one's device while the service waits for the user's
// authorisation to open it: the disk opened is told from the one confirmed, both are named and
// neither is written.
TEST_F(UdisksStandin, AStickSwappedWhileTheServiceOpensItIsLeftAlone) {
    bus->AnswerAfter("OpenDevice", 2);
    const auto swapped = bus->Scratch("swapped.img", kStickBytes / 2);
    const auto log = bus->Scratch("usb.log", 0);
    ASSERT_EQ(RunCommand("(" + bus->Env() + "setpriv --reuid=65534 --regid=65534 --clear-groups " +
                         Quoted(test::BinPath("bootdisk")) + " usb /dev/sdx --yes < /dev/null > " + Quoted(log) +
                         " 2>&1; echo status=$? >> " + Quoted(log) + ") > /dev/null 2>&1 &"),
              0);
    // The image is ready and the open asked for once the stick's file system has gone.
    for (int i = 0; i < 100 && bus->Calls().empty(); ++i) usleep(50'000);
    ASSERT_THAT(bus->Calls(), ElementsAre("Unmount /dev/sdx1"));
    bus->RemoveDrive("sdx");
    bus->AddDrive("sdx", swapped, "", true, false);
    std::string output;
    for (int i = 0; i < 200 && output.find("status=") == std::string::npos; ++i) {
        usleep(50'000);
        RunCommand("cat " + Quoted(log), &output);
    }
    EXPECT_THAT(output, HasSubstr("/dev/sdx is not the drive you confirmed (Standin Stick sdx, 8.4 MB) but Standin "
                                  "Stick sdx, 4.2 MB, so it is left alone."));
    EXPECT_THAT(output, HasSubstr("status=1"));
    EXPECT_THAT(output, testing::Not(HasSubstr("half-written")));
    EXPECT_THAT(bus->Calls(), ElementsAre("Unmount /dev/sdx1", "OpenDevice /dev/sdx rw " + kFlags));
    const auto zero = [](const std::vector<std::uint8_t>& bytes) {
        return std::all_of(bytes.begin(), bytes.end(), [](auto b) { return b == 0; });
    };
    EXPECT_TRUE(zero(ReadWholeFile(swapped))) << "the stick found in its place was written";
    EXPECT_TRUE(zero(Stick())) << "the stick taken away was written";
}

TEST_F(UdisksStandin, AStickThatDoesNotKeepWhatIsWrittenEndsWithTheReadBackExitCode) {
    bus->ReadsFrom("sdx", bus->Scratch("forgetful.img", kStickBytes));
    std::string output;
    EXPECT_EQ(AsNobody("usb /dev/sdx --yes", &output), 3) << output;
    EXPECT_THAT(output, HasSubstr("bootdisk usb: "));
    EXPECT_THAT(output, testing::Not(HasSubstr("holds the boot disk")));
}

// A name the system gives in UTF-8 (a mount point) and the German texts reach the terminal in its
// character set: on a UTF-8 pty as UTF-8 that iconv reads whole, in a Latin-1 locale as Latin-1.
TEST(TerminalText, TheDeviceListingIsInTheTerminalsCharacterSet) {
    test::TStandinBus bus;
    if (!bus.Missing().empty()) GTEST_SKIP() << bus.Missing();
    if (RunCommand("command -v script") != 0) GTEST_SKIP() << "script is not installed (package bsdutils)";
    bus.AddDrive("sdx", bus.Scratch("stick.img", kStickBytes), "/media/user/M\u00FCll", true, false);
    bus.AddDrive("sdz", bus.Scratch("system.img", kStickBytes), "", false, true);
    const auto listing = [&](const std::string& locale, const std::string& from) {
        const auto typed = bus.Scratch("typed", 0), shown = bus.Scratch("shown", 0);
        const auto command = Quoted(test::BinPath("bootdisk")) + " devices --language de";
        EXPECT_EQ(RunCommand(bus.Env() + locale + " script -qec " + Quoted(command) + " /dev/null > " + Quoted(typed)),
                  0);
        std::string output;
        EXPECT_EQ(RunCommand("iconv -f " + from + " -t UTF-8 " + Quoted(typed) + " > " + Quoted(shown), &output), 0)
            << output;
        const auto bytes = ReadWholeFile(shown);
        return std::string(bytes.begin(), bytes.end());
    };
    const std::string stick = "/dev/sdx (Standin Stick sdx, 8.4 MB): eingeh\u00E4ngt unter /media/user/M\u00FCll";
    const std::string system = "/dev/sdz (Standin Stick sdz, 8.4 MB): kein Wechseldatentr\u00E4ger";
    const auto utf8 = listing("LC_ALL=C.UTF-8", "UTF-8");
    EXPECT_THAT(utf8, HasSubstr(stick));
    EXPECT_THAT(utf8, HasSubstr(system));

    const auto locales = bus.Scratch("locales", 0);
    std::filesystem::remove(locales);
    std::filesystem::create_directory(locales);
    std::string made;
    if (RunCommand("localedef -i de_DE -f ISO-8859-1 " + Quoted(locales + "/de_DE.ISO-8859-1"), &made) > 1)
        GTEST_SKIP() << "no Latin-1 locale can be made here: " << made;
    const auto latin1 = listing("LOCPATH=" + Quoted(locales) + " LC_ALL=de_DE.ISO-8859-1", "ISO-8859-1");
    EXPECT_THAT(latin1, HasSubstr(stick));
    EXPECT_THAT(latin1, HasSubstr(system));
}

}  // namespace
}  // namespace bootdisk
