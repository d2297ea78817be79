// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk netboot` as a user runs it: the folder it writes, checked with mtools, and what it
// refuses before anything is written; what `bootdisk serve` refuses to serve. The loaders here are
// stand-ins; qemu boots the real ones, served by qemu and by `bootdisk serve` (tests/emulator).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "base/Streams.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using test::Quoted;
using test::RunCommand;
using testing::HasSubstr;
namespace fs = std::filesystem;

const std::vector<std::string> kLoaders = {"pxelinux.0", "ldlinux.c32", "memdisk", "undionly.kpxe"};

class NetbootCommand : public ::testing::Test {
protected:
    void SetUp() override {
        if (RunCommand(test::kToolPath + "command -v mtype") != 0)
            GTEST_SKIP() << "mtype is not installed; scripts/setup installs mtools";
        fs::create_directory(loaders);
        for (const auto& name : kLoaders) test::WriteFile(loaders + "/" + name, test::Text("stand-in " + name));
    }

    int Netboot(const std::string& arguments, std::string* output) {
        output->clear();
        return RunCommand(Quoted(test::BinPath("bootdisk")) + " netboot " + arguments + " --loaders " +
                              Quoted(loaders) + " < /dev/null",
                          output);
    }

    static std::vector<std::string> Listing(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            names.push_back(fs::relative(entry.path(), folder).generic_string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::string Autoexec(const std::string& folder) {
        std::string output;
        EXPECT_EQ(RunCommand(test::kToolPath + "MTOOLS_SKIP_CHECK=1 mtype -i " + Quoted(folder + "/boot.img") +
                                 " ::/AUTOEXEC.BAT",
                             &output),
                  0)
            << output;
        return output;
    }

    test::TTempDir temp;
    std::string loaders = temp / "loaders";
};

// A second run replaces the first run's folder whole, and leaves no scratch folder beside it.
TEST_F(NetbootCommand, WritesTheFolderAndReplacesItsOwnEarlierOne) {
    const auto folder = temp / "tftp";
    std::string output;
    ASSERT_EQ(Netboot(Quoted(folder) + " --params /first", &output), 0) << output;
    EXPECT_EQ(output, folder + "\n");
    EXPECT_EQ(Listing(folder),
              (std::vector<std::string>{"README.TXT", "boot.img", "boot.ipxe", "ldlinux.c32", "memdisk", "pxelinux.0",
                                        "pxelinux.cfg", "pxelinux.cfg/default", "undionly.kpxe"}));
    const auto memdisk = ReadWholeFile(folder + "/memdisk");
    EXPECT_EQ(std::string(memdisk.begin(), memdisk.end()), "stand-in memdisk");
    EXPECT_THAT(Autoexec(folder), HasSubstr("Korvane /first\r\n"));

    ASSERT_EQ(Netboot(Quoted(folder) + " --params /second", &output), 0) << output;
    EXPECT_THAT(Autoexec(folder), HasSubstr("Korvane /second\r\n"));
    EXPECT_FALSE(test::HasScratchFile(temp.Path()));
}

// Each refusal names its reason and leaves what was there as it was.
TEST_F(NetbootCommand, RefusesAFileAForeignFolderAndAMissingLoaderWritingNothing) {
    std::string output;
    const auto file = temp / "a-file";
    test::WriteFile(file, test::Text("keep me"));
    EXPECT_EQ(Netboot(Quoted(file), &output), 1);
    EXPECT_THAT(output, HasSubstr("cannot write " + file + ": it is a file, not a folder"));
    EXPECT_EQ(ReadWholeFile(file), test::Text("keep me"));

    const auto foreign = temp / "srv";
    fs::create_directories(foreign + "/pxelinux.cfg");
    test::WriteFile(foreign + "/pxelinux.cfg/01-52-54-00-12-34-56", test::Text("another machine's"));
    EXPECT_EQ(Netboot(Quoted(foreign), &output), 1);
    EXPECT_THAT(output, HasSubstr("holding other files (pxelinux.cfg/01-52-54-00-12-34-56)"));
    EXPECT_EQ(Listing(foreign), (std::vector<std::string>{"pxelinux.cfg", "pxelinux.cfg/01-52-54-00-12-34-56"}));

    fs::remove(loaders + "/memdisk");
    EXPECT_EQ(Netboot(Quoted(temp / "new"), &output), 1);
    EXPECT_THAT(output, HasSubstr("The network boot loader memdisk was not found (looked for: " + loaders +
                                  "/memdisk). It comes with the package syslinux-common."));
    EXPECT_FALSE(fs::exists(temp / "new"));
    EXPECT_FALSE(test::HasScratchFile(temp.Path()));
}

}  // namespace
}  // namespace bootdisk

namespace bootdisk {
namespace {

// A server that starts after all would run until stopped: the time limit ends it (status 124).
std::string Serve(const std::string& arguments, std::string* output, const std::string& environment = "") {
    output->clear();
    return std::to_string(RunCommand("timeout 20 env " + environment + " " + Quoted(test::BinPath("bootdisk")) +
                                         " serve " + arguments + " < /dev/null",
                                     output));
}

// Each refusal comes before dnsmasq is started, with what to do instead.
TEST_F(NetbootCommand, ServeRefusesWhatItCannotServe) {
    const auto folder = temp / "tftp";
    std::string output;
    ASSERT_EQ(Netboot(Quoted(folder), &output), 0) << output;

    EXPECT_EQ(Serve(Quoted(folder), &output), "2");
    EXPECT_THAT(output, HasSubstr("serve needs --interface"));
    EXPECT_EQ(Serve(Quoted(folder + "/boot.img") + " --interface lo", &output), "1");
    EXPECT_THAT(output, HasSubstr("boot.img is not a folder; 'bootdisk netboot"));
    EXPECT_EQ(Serve(Quoted(loaders) + " --interface lo", &output), "1");
    EXPECT_THAT(output, HasSubstr(loaders + " is not a network boot folder: it lacks boot.img"));
    EXPECT_EQ(Serve(Quoted(folder) + " --interface nosuch30", &output), "1");
    EXPECT_THAT(output, testing::ContainsRegex("there is no network interface nosuch30; this computer has .*lo"));
    EXPECT_EQ(Serve(Quoted(folder) + " --interface lo", &output, "PATH=/nonexistent"), "1");
    EXPECT_THAT(output, HasSubstr("dnsmasq is not installed (not found on the PATH): install the package dnsmasq-base"));
}

// In a network namespace of the test's own, whose loopback interface alone exists: first without an
// address, then with a program holding the TFTP port.
TEST_F(NetbootCommand, ServeSaysWhenTheInterfaceHasNoAddressOrThePortIsTaken) {
    if (geteuid() != 0) GTEST_SKIP() << "a network namespace of its own needs root";
    if (RunCommand(test::kToolPath + "command -v dnsmasq && command -v ip && command -v python3") != 0)
        GTEST_SKIP() << "dnsmasq, ip or python3 is not installed; scripts/setup installs them";
    std::string output;
    if (RunCommand("unshare -n true", &output) != 0) GTEST_SKIP() << "no network namespace can be made here: " << output;
    const auto folder = temp / "tftp";
    ASSERT_EQ(Netboot(Quoted(folder), &output), 0) << output;
    const auto serve = "timeout 20 " + Quoted(test::BinPath("bootdisk")) + " serve " + Quoted(folder) + " --interface lo";

    output.clear();
    EXPECT_EQ(RunCommand(test::kToolPath + "unshare -n sh -c 'ip link set lo up; ip addr flush dev lo; " + serve + "'",
                         &output),
              1);
    EXPECT_THAT(output, HasSubstr("lo has no IPv4 address"));

    const std::string holdPort = "python3 -c \"import socket, time; s = socket.socket(socket.AF_INET, "
                                 "socket.SOCK_DGRAM); s.bind((\\\"0.0.0.0\\\", 69)); time.sleep(60)\"";
    output.clear();
    EXPECT_EQ(RunCommand(test::kToolPath + "unshare -n sh -c 'ip link set lo up; " + holdPort +
                             " & holder=$!; sleep 0.5; " + serve + "; status=$?; kill $holder; exit $status'",
                         &output),
              1);
    EXPECT_THAT(output, HasSubstr("Address already in use"));
    EXPECT_THAT(output, HasSubstr("another server on this computer holds the DHCP or TFTP ports"));
}

}  // namespace
}  // namespace bootdisk
