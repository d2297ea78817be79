// `bootdisk usb` on a real block device: a loop device that the kernel is made to report as
// removable inside a private mount namespace, so nothing outside the test sees the change.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>

#include "base/Streams.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using test::Quoted;
using test::RunCommand;
using testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kImageBytes = 1'474'560;
constexpr std::size_t kStickBytes = 4 * 1024 * 1024;

class UsbDrive : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "loop devices need root";
        if (RunCommand("truncate -s " + std::to_string(kStickBytes) + " " + Quoted(backing)) != 0)
            GTEST_SKIP() << "cannot make the backing file";
        std::string output;
        if (RunCommand(test::kToolPath + "losetup -f --show " + Quoted(backing), &output) != 0)
            GTEST_SKIP() << "no loop device can be attached here: " << output;
        loop = output.substr(0, output.find('\n'));
        if (RunCommand("unshare --mount true") != 0) GTEST_SKIP() << "no private mount namespace can be made here";
        test::WriteFile(flag, {'1', '\n'});
    }
    void TearDown() override {
        if (!loop.empty()) RunCommand(test::kToolPath + "losetup -d " + Quoted(loop));
    }

    // Runs shell inside a namespace where the loop device reads as removable; stdin is no terminal.
    int InRemovableNamespace(const std::string& shell, std::string* output) {
        const std::string name = loop.substr(loop.rfind('/') + 1);
        return RunCommand("unshare --mount sh -c " +
                              Quoted("mount --bind " + flag + " /sys/block/" + name + "/removable && " + shell) +
                              " < /dev/null",
                          output);
    }
    std::string Bootdisk(const std::string& arguments) {
        return "SOURCE_DATE_EPOCH=1136073600 " + Quoted(test::BinPath("bootdisk")) + " " + arguments;
    }

    test::TTempDir temp;
    const std::string backing = temp / "stick.img";
    const std::string flag = temp / "removable";
    std::string loop;
};

TEST_F(UsbDrive, TheRemovableDriveReceivesTheMarkedImageAndIsReadBack) {
    std::string output;
    ASSERT_EQ(InRemovableNamespace(Bootdisk("usb " + loop + " --yes --no-verify"), &output), 0) << output;
    EXPECT_THAT(output, HasSubstr("read-back matches"));
    ASSERT_EQ(RunCommand(Bootdisk("image " + Quoted(temp / "usb.img") + " --usb --no-verify"), &output), 0) << output;

    const auto written = ReadWholeFile(backing);
    const auto image = ReadWholeFile(temp / "usb.img");
    ASSERT_EQ(image.size(), kImageBytes);
    EXPECT_EQ(written[36], 0x80);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), written.begin()));
    EXPECT_TRUE(std::all_of(written.begin() + kImageBytes, written.end(), [](auto b) { return b == 0; }));
}

TEST_F(UsbDrive, AFixedDiskIsRefusedBeforeAnythingIsWritten) {
    std::string output;
    EXPECT_NE(RunCommand(Bootdisk("usb " + loop + " --yes") + " < /dev/null", &output), 0);
    EXPECT_THAT(output, HasSubstr("Disk Protection fault : The drive is not removable."));
    const auto written = ReadWholeFile(backing);
    EXPECT_TRUE(std::all_of(written.begin(), written.end(), [](auto b) { return b == 0; }));

    ASSERT_EQ(RunCommand(Bootdisk("devices " + loop), &output), 0);
    EXPECT_THAT(output, HasSubstr("Drives not offered:\n  " + loop));
    EXPECT_THAT(output, HasSubstr("not a removable disk"));
}

TEST_F(UsbDrive, WithoutYesAndWithoutATerminalNothingIsWritten) {
    std::string output;
    EXPECT_NE(InRemovableNamespace(Bootdisk("usb " + loop), &output), 0);
    EXPECT_THAT(output, HasSubstr("without --yes"));
    const auto written = ReadWholeFile(backing);
    EXPECT_TRUE(std::all_of(written.begin(), written.end(), [](auto b) { return b == 0; }));
}

TEST_F(UsbDrive, AMountedFileSystemIsRefusedNamingItsMountPoint) {
    std::string output;
    if (RunCommand(test::kToolPath + "mkfs.ext4 -q " + Quoted(loop), &output) != 0)
        GTEST_SKIP() << "cannot make an ext4 file system: " << output;
    const std::string mountPoint = temp / "mnt";
    RunCommand("mkdir " + Quoted(mountPoint));
    const int status = InRemovableNamespace(
        "if ! mount " + loop + " " + mountPoint + "; then exit 77; fi; " + Bootdisk("usb " + loop + " --yes"), &output);
    if (status == 77) GTEST_SKIP() << "ext4 cannot be mounted here: " << output;
    EXPECT_NE(status, 0);
    EXPECT_THAT(output, HasSubstr("has a file system mounted at " + mountPoint));
    EXPECT_EQ(RunCommand(test::kToolPath + "e2fsck -fn " + Quoted(loop), &output), 0) << output;
}

}  // namespace
}  // namespace bootdisk
