// SPDX-License-Identifier: GPL-3.0-or-later
// The media that `bootdisk` makes, booted in qemu: the demo payload's boot code shows on COM1 the
// AUTOEXEC.BAT and KORVANE.INI it finds on the medium, read through the BIOS as DOS would.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/StrBase.h"
#include "base/Streams.h"
#include "image/ElToritoFormat.h"
#include "image/NetbootFolder.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using test::Quoted;
using test::RunCommand;
using testing::HasSubstr;
using testing::Not;

const std::string kSettings = "--options 010101010101 --params '/demo 1'";
const std::string kIni =
    "O1=0\r\nO2=1\r\nO3=0\r\nO4=1\r\nO5=0\r\nO6=1\r\nO7=0\r\nO8=1\r\nO9=0\r\nO10=1\r\nO11=0\r\nL=0\r\n";
const std::string kDemoLine = "Demo payload boot check: the sanitizer is not included.\r\n";
const std::string kDoneLine = "BOOT CHECK DONE\r\n";
constexpr int kDebugExitOk = 1;  // isa-debug-exit turns the value 0 into exit status 1

const std::string kCdrom = "-cdrom IMAGE -boot d";
const std::string kHardDisk = "-drive file=IMAGE,format=raw,if=ide,index=0 -boot c";
const std::string kFloppy = "-drive file=IMAGE,format=raw,if=floppy -boot a";
// qemu's own TFTP server serves the folder; its network card's ROM (iPXE) boots the file named.
const std::string kNetwork = "-netdev user,id=lan,tftp=IMAGE,bootfile=FILE -device e1000,netdev=lan -boot n";

class BootInEmulator : public ::testing::Test {
protected:
    void SetUp() override {
        if (RunCommand("command -v qemu-system-i386") != 0)
            GTEST_SKIP() << "qemu-system-i386 is not installed; scripts/setup installs qemu-system-x86";
    }

    // Runs bootdisk with the given command; returns the medium it wrote.
    std::string Make(const std::string& command, const std::string& name, const std::string& extra = "") {
        const auto out = temp / name;
        std::string output;
        EXPECT_EQ(RunCommand("SOURCE_DATE_EPOCH=1136073600 " + Quoted(test::BinPath("bootdisk")) + " " + command +
                                 " " + Quoted(out) + " " + kSettings + " " + extra + " < /dev/null",
                             &output),
                  0)
            << output;
        return out;
    }

    static void ExpectFsckClean(const std::string& image) {
        std::string output;
        if (RunCommand(test::kToolPath + "command -v fsck.fat") != 0) return;
        EXPECT_EQ(RunCommand(test::kToolPath + "fsck.fat -n " + Quoted(image), &output), 0) << output;
    }

    // Boots the medium attached as `attach` says; returns what came out of COM1.
    std::string Boot(const std::string& image, std::string attach, int* status) {
        attach.replace(attach.find("IMAGE"), 5, Quoted(image));
        const auto log = temp / "serial.log";
        std::remove(log.c_str());
        std::string output;
        *status = RunCommand("timeout 30 qemu-system-i386 -display none -serial file:" + Quoted(log) +
                                 " -device isa-debug-exit,iobase=0xf4,iosize=0x04 -no-reboot -m 16 " + attach,
                             &output);
        std::string serial;
        try {
            const auto bytes = ReadWholeFile(log);
            serial.assign(bytes.begin(), bytes.end());
        } catch (const std::exception&) {
            ADD_FAILURE() << "no serial log; qemu said: " << output;
        }
        return serial;
    }

    void ExpectBootShowsFiles(const std::string& image, const std::string& attach) {
        int status = 0;
        const auto serial = Boot(image, attach, &status);
        ExpectBootCheck(serial, status);
    }

    static void ExpectBootCheck(const std::string& serial, int status) {
        EXPECT_EQ(status, kDebugExitOk) << "the boot did not end by itself; serial log:\n" << serial;
        EXPECT_THAT(serial, testing::StartsWith(kDemoLine)) << serial;
        for (const char* line : {"@echo off\r\n", "cd \\Korvane\r\n", "Korvane /demo 1\r\n"})
            EXPECT_THAT(serial, HasSubstr(line)) << serial;
        EXPECT_THAT(serial, Not(HasSubstr("data\\ctmouse"))) << serial;  // the options turn the mouse off
        EXPECT_THAT(serial, HasSubstr(kIni)) << serial;
        EXPECT_THAT(serial, testing::EndsWith(kDoneLine)) << serial;
        EXPECT_THAT(serial, Not(HasSubstr("NOT FOUND"))) << serial;
    }

    test::TTempDir temp;
    std::string dos = test::BinPath("demo-dos");
};

TEST_F(BootInEmulator, CdBootsTheMsDosFloppyByElTorito) {
    ExpectBootShowsFiles(Make("iso", "boot.iso", "--os msdos --msdos-folder " + Quoted(dos)), kCdrom);
}

// Without Windows there is no MS-DOS to take: the CD carries the payload's free-DOS floppy, the
// very one `image` writes, and boots it as the MS-DOS CD boots its own.
TEST_F(BootInEmulator, CdOfAHostWithoutMsDosBootsTheFreeDosFloppy) {
    const auto cd = ReadWholeFile(Make("iso", "rx.iso"));
    const auto floppy = ReadWholeFile(Make("image", "rx.img"));
    ASSERT_EQ(cd.size(), eltorito::kImageSize);
    const auto offset = std::ptrdiff_t(eltorito::kFloppySector * eltorito::kSectorSize);
    EXPECT_TRUE(std::equal(floppy.begin(), floppy.end(), cd.begin() + offset, cd.end()));
    ExpectBootShowsFiles(temp / "rx.iso", kCdrom);
}

// The ISO 9660 volume leaves the boot record and the catalogue as they are: the CD boots the same.
TEST_F(BootInEmulator, CdWithAnIso9660VolumeBootsTheSame) {
    ExpectBootShowsFiles(Make("iso", "volume.iso", "--iso9660"), kCdrom);
}

TEST_F(BootInEmulator, FloppyImagesOfBothRoutesBootAsDriveA) {
    const auto rx = Make("image", "rx.img");
    ExpectFsckClean(rx);
    ExpectBootShowsFiles(rx, kFloppy);
    const auto msdos = Make("image", "msdos.img", "--os msdos --msdos-folder " + Quoted(dos));
    ExpectFsckClean(msdos);
    ExpectBootShowsFiles(msdos, kFloppy);
}

// The floppy made on its own device: here an image file standing in for the drive's medium.
TEST_F(BootInEmulator, FloppyWrittenOnItsDeviceBootsAsDriveA) {
    test::WriteFile(temp / "fd0.img", std::vector<std::uint8_t>(1'474'560));
    const auto floppy = Make("floppy", "fd0.img", "--yes");
    ExpectFsckClean(floppy);
    ExpectBootShowsFiles(floppy, kFloppy);
}

TEST_F(BootInEmulator, UsbImageBootsAsTheFirstHardDisk) {
    const auto usb = Make("image", "usb.img", "--usb");
    ExpectFsckClean(usb);
    ExpectBootShowsFiles(usb, kHardDisk);
}

// Both routes of the network boot folder load the floppy into memory with memdisk, which the boot
// code reads as drive A: through the BIOS, as DOS would.
TEST_F(BootInEmulator, NetbootFolderBootsThroughPxelinuxAndThroughIpxe) {
    for (const auto& loader : kNetbootLoaders)
        if (!std::filesystem::exists(loader.debianPath))
            GTEST_SKIP() << loader.debianPath << " is missing; scripts/setup installs the package " << loader.package;
    const auto folder = Make("netboot", "tftp");
    for (const std::string file : {"pxelinux.0", "boot.ipxe"}) {
        SCOPED_TRACE(file);
        auto attach = kNetwork;
        attach.replace(attach.find("FILE"), 4, file);
        ExpectBootShowsFiles(folder, attach);
    }
}

// A network of the test's own, made of network namespaces (tests/support/netboot-lab.sh), removed
// whatever the test's outcome.
class TLab {
public:
    explicit TLab(std::string work) : work_(std::move(work)) {}
    ~TLab() { Run("down"); }
    TLab(const TLab&) = delete;
    TLab& operator=(const TLab&) = delete;

    // netboot-lab.sh COMMAND LAB WORK [more]
    int Run(const std::string& command, const std::string& more = "", std::string* output = nullptr) const {
        std::string discard;
        if (output) output->clear();
        return RunCommand(test::kToolPath + Quoted(test::DataPath("../support/netboot-lab.sh")) + " " + command + " " +
                              name_ + " " + Quoted(work_) + " " + more,
                          output ? output : &discard);
    }

private:
    std::string name_ = "bd30-" + std::to_string(getpid());
    std::string work_;
};

// The serving computer, the network's own DHCP server and a machine on a tap device, all on one
// bridge: serve answers the machine as proxy DHCP server, and its iPXE ROM is given boot.ipxe.
TEST_F(BootInEmulator, ServeBootsAMachineOnTheNetworkBesideItsDhcpServer) {
    if (geteuid() != 0) GTEST_SKIP() << "network namespaces need root";
    if (!std::filesystem::exists("/dev/net/tun")) GTEST_SKIP() << "/dev/net/tun is missing: no tap device for qemu";
    for (const char* tool : {"ip", "dnsmasq"})
        if (RunCommand(test::kToolPath + "command -v " + tool) != 0)
            GTEST_SKIP() << tool << " is not installed; scripts/setup installs iproute2 and dnsmasq-base";
    for (const auto& loader : kNetbootLoaders)
        if (!std::filesystem::exists(loader.debianPath))
            GTEST_SKIP() << loader.debianPath << " is missing; scripts/setup installs the package " << loader.package;
    const auto folder = Make("netboot", "tftp");
    const TLab lab(temp / "lab");
    std::string output;
    if (lab.Run("up", "", &output) != 0) GTEST_SKIP() << "no network namespace can be made here: " << output;
    ASSERT_EQ(lab.Run("serve", Quoted(test::BinPath("bootdisk")) + " " + Quoted(folder), &output), 0) << output;
    ASSERT_EQ(lab.Run("boot", "1", &output), 0) << output;
    EXPECT_THAT(output, testing::MatchesRegex("1 [0-9.]+ 1\n")) << output;  // ended by the boot check
    const auto serial = ReadWholeFile(temp / "lab/serial-1.log");
    ExpectBootCheck({serial.begin(), serial.end()}, kDebugExitOk);

    // Stopped, serve stops dnsmasq with it.
    EXPECT_EQ(lab.Run("down", "", &output), 0) << output;
    const auto log = ReadWholeFile(temp / "lab/serve.log");
    const std::string events(log.begin(), log.end());
    const std::string machine = "\"mac\": \"52:54:00:30:00:01\"";
    EXPECT_THAT(events, HasSubstr("{\"event\": \"machine\", " + machine + ", \"client\": \"iPXE\"}")) << events;
    for (const char* file : {"boot.ipxe", "memdisk", "boot.img"})
        EXPECT_THAT(events, testing::ContainsRegex("\"fetched\", " + machine + ", \"address\": \"10\\.30\\.0\\.[0-9]+\", \"file\": \"" + file))
            << events;
    EXPECT_THAT(events, Not(HasSubstr("undionly.kpxe"))) << events;  // iPXE does not load iPXE again
    EXPECT_THAT(events, Not(HasSubstr("fetch-failed"))) << events;
    EXPECT_THAT(events, testing::EndsWith("{\"event\": \"stopped\"}\n")) << events;
}

// Without the drive-number patch the boot code reads drive 0 instead of the hard disk it came from.
TEST_F(BootInEmulator, UnpatchedImageDoesNotBootAsAHardDisk) {
    int status = 0;
    const auto serial = Boot(Make("image", "plain.img"), kHardDisk, &status);
    EXPECT_NE(status, 124) << "qemu ran into the time limit";
    for (const char* line : {"@echo off", "Korvane /demo 1", "O1=", "L=0"})
        EXPECT_THAT(serial, Not(HasSubstr(line))) << serial;
}

// A German boot shows its line in DOS's own code page, 850, byte for byte as iconv writes it; the
// parameters stay as typed, in Windows-1252, as the sanitizer reads them.
TEST_F(BootInEmulator, GermanBootScreenLineIsInCodePage850) {
    TStringTable german;
    ASSERT_EQ(LoadStringTable(german, test::BinPath("quellmark.de.lng")), "");
    const auto running = german[StrId::GUI_RUNNING_HALVEX];
    ASSERT_NE(running.find("\u00FC"), std::string::npos) << "the German line has no umlaut to show: " << running;
    test::WriteFile(temp / "running.txt", {running.begin(), running.end()});
    std::string cp850;
    ASSERT_EQ(RunCommand("iconv -f UTF-8 -t CP850 " + Quoted(temp / "running.txt"), &cp850), 0) << cp850;

    int status = 0;
    const auto serial = Boot(Make("image", "de.img", "--language DE --params '/caf\xc3\xa9'"), kFloppy, &status);
    EXPECT_EQ(status, kDebugExitOk) << serial;
    EXPECT_THAT(serial, HasSubstr("\r\n@echo " + cp850 + "\r\nKorvane /caf\xE9\r\n")) << serial;
}

// The payload's own free-DOS image, before any sanitizer file is added.
TEST_F(BootInEmulator, BareBootImageNamesTheMissingFiles) {
    const auto image = temp / "bare.img";
    std::filesystem::copy_file(test::BinPath("../payload/boot.img"), image);
    int status = 0;
    const auto serial = Boot(image, kFloppy, &status);
    EXPECT_EQ(status, kDebugExitOk) << serial;
    EXPECT_EQ(serial,
              kDemoLine + "NOT FOUND: AUTOEXEC.BAT\r\nNOT FOUND: KORVANE\\DATA\\KORVANE.INI\r\n" + kDoneLine);
}

}  // namespace
}  // namespace bootdisk
