// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk netboot` as a user runs it: the folder it writes, checked with mtools, and what it
// refuses before anything is written. The loaders here are stand-ins; qemu boots the real ones
// (tests/emulator).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

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
