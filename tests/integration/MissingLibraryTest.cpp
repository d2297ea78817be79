// SPDX-License-Identifier: GPL-3.0-or-later
// The libraries only some commands need are loaded when first needed: without them the program
// still starts and does all else, and a command that needs one says which one is missing. They are
// made unloadable inside a private mount namespace, so nothing outside the test sees the change.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include "base/Streams.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using test::Quoted;
using test::RunCommand;
using testing::HasSubstr;

// Where the loader finds these libraries here, as the loader's cache tells.
std::string LibraryPath(const std::string& soname) {
    std::string output;
    if (RunCommand("/sbin/ldconfig -p | grep -m1 " + Quoted(soname + " "), &output) != 0) return {};
    const auto arrow = output.find("=> ");
    return arrow == std::string::npos ? std::string() : output.substr(arrow + 3, output.find('\n') - arrow - 3);
}

TEST(MissingLibrary, TheProgramStartsWithoutThemAndACommandThatNeedsOneNamesIt) {
    if (geteuid() != 0 || RunCommand("unshare --mount true") != 0)
        GTEST_SKIP() << "hiding a library takes a private mount namespace, which takes root";
    const auto iscsi = LibraryPath("libiscsi.so.7");
    const auto sdbus = LibraryPath("libsdbus-c++.so.1");
    ASSERT_FALSE(iscsi.empty());
    ASSERT_FALSE(sdbus.empty());
    test::TTempDir temp;
    const auto bootdisk = Quoted(test::BinPath("bootdisk"));
    // An empty file in the library's place: the loader refuses it, as it would a missing one.
    const auto hidden = [&](const std::string& commands, std::string* output) {
        return RunCommand("unshare --mount sh -c " +
                              Quoted("mount --bind /dev/null " + Quoted(iscsi) + " && mount --bind /dev/null " +
                                     Quoted(sdbus) + " && " + commands) +
                              " < /dev/null",
                          output);
    };

    std::string output;
    ASSERT_EQ(hidden(bootdisk + " iso " + Quoted(temp / "boot.iso"), &output), 0) << output;
    EXPECT_EQ(ReadWholeFile(temp / "boot.iso").size(), 1'515'520u);

    EXPECT_EQ(hidden(bootdisk + " burn iscsi://127.0.0.1:1/iqn.2026-01.org.bootdisk.test:cd/1", &output), 4);  // refused
    EXPECT_THAT(output, HasSubstr("the iSCSI library (libiscsi.so.7) cannot be loaded: "));

    // Drives are then listed by the kernel, and the listing says why the service is not asked.
    ASSERT_EQ(hidden(bootdisk + " devices", &output), 0) << output;
    EXPECT_THAT(output, HasSubstr("Removable drives that can take the boot disk:"));
    EXPECT_THAT(output, HasSubstr("The system's disk service is not asked: the disk service module ("));
    EXPECT_THAT(output, HasSubstr("libsdbus-c++.so.1"));
}

}  // namespace
}  // namespace bootdisk
