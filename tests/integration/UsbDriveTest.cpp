// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk usb`, `floppy` and `create` on real block devices: loop devices that the kernel is made
// to report as removable inside a private mount namespace, so nothing outside the test sees the change.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/Streams.h"
#include "platform/HostDrives.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using test::Quoted;
using test::RunCommand;
using testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kImageBytes = 1'474'560;
constexpr std::size_t kStickBytes = 4 * 1024 * 1024;

bool AllZero(const Bytes& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](auto b) { return b == 0; });
}

class UsbDrive : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "loop devices need root";
        std::string output;
        loop = Attach(backing, kStickBytes, &output);
        if (loop.empty()) GTEST_SKIP() << "no loop device can be attached here: " << output;
        if (RunCommand("unshare --mount true") != 0) GTEST_SKIP() << "no private mount namespace can be made here";
        test::WriteFile(flag, {'1', '\n'});
    }
    void TearDown() override {
        for (const auto& device : attached) RunCommand(test::kToolPath + "losetup -d " + Quoted(device));
    }

    // A loop device on a new file of zeros, with more losetup options; empty, with the reason in
    // output, when none can be attached.
    std::string Attach(const std::string& file, std::size_t bytes, std::string* output = nullptr,
                       const std::string& options = {}) {
        std::string text;
        if (RunCommand("truncate -s " + std::to_string(bytes) + " " + Quoted(file), &text) != 0 ||
            RunCommand(test::kToolPath + "losetup -f --show " + options + " " + Quoted(file), &text) != 0) {
            if (output) *output = text;
            return {};
        }
        attached.push_back(text.substr(0, text.find('\n')));
        return attached.back();
    }

    // Runs shell inside a namespace where device reads as removable as long as the flag file holds
    // "1"; stdin is no terminal.
    int InRemovableNamespace(const std::string& shell, std::string* output, std::string device = {}) {
        if (device.empty()) device = loop;
        const std::string name = device.substr(device.rfind('/') + 1);
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
    std::vector<std::string> attached;
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
    EXPECT_TRUE(AllZero({written.begin() + kImageBytes, written.end()}));
}

// The disk an open device reaches is told by its descriptor, whatever its node names by then: a
// name that comes to stand for another disk does not pass for the one opened.
TEST_F(UsbDrive, TheDiskOpenedIsToldByItsDescriptorNotByItsName) {
    const auto other = Attach(temp / "other.img", 2 * kStickBytes);
    ASSERT_FALSE(other.empty());
    const auto link = temp / "stick";
    ASSERT_EQ(::symlink(loop.c_str(), link.c_str()), 0);
    const auto devices = CreateHostRawDevices();
    devices->Assign('C', link, THostDriveType::Unknown);
    std::uint32_t error = 0;
    const auto opened = devices->Open('C', TDeviceAccess::ReadOnly, error);
    ASSERT_TRUE(opened) << error;
    ASSERT_EQ(::unlink(link.c_str()), 0);
    ASSERT_EQ(::symlink(other.c_str(), link.c_str()), 0);
    const auto confirmed = DescribeHostDrive(loop), now = DescribeHostDrive(other);
    ASSERT_TRUE(confirmed && now);
    const auto told = opened->Identify();
    ASSERT_TRUE(told);
    EXPECT_EQ(told->number, confirmed->number);
    EXPECT_EQ(told->identity, confirmed->identity);
    EXPECT_NE(told->identity, now->identity);
    EXPECT_EQ(told->details, confirmed->Details());
}

TEST_F(UsbDrive, AFixedDiskIsRefusedBeforeAnythingIsWritten) {
    std::string output;
    EXPECT_NE(RunCommand(Bootdisk("usb " + loop + " --yes") + " < /dev/null", &output), 0);
    EXPECT_THAT(output, HasSubstr("Disk Protection fault : The drive is not removable."));
    EXPECT_TRUE(AllZero(ReadWholeFile(backing)));

    ASSERT_EQ(RunCommand(Bootdisk("devices " + loop), &output), 0);
    EXPECT_THAT(output, HasSubstr("Drives not offered:\n  " + loop));
    EXPECT_THAT(output, HasSubstr("not a removable disk"));
}

// Not only the disk kind but its medium's size decides: a removable disk holding exactly a 1.44 MB
// floppy (a USB floppy drive) takes the boot floppy, the same disk fixed does not.
TEST_F(UsbDrive, AFloppySizedDiskTakesTheBootFloppyOnlyWhenRemovable) {
    const std::string file = temp / "floppy.img";
    const auto floppy = Attach(file, kImageBytes);
    ASSERT_FALSE(floppy.empty());
    std::string output;
    EXPECT_NE(RunCommand(Bootdisk("floppy " + floppy + " --yes") + " < /dev/null", &output), 0);
    EXPECT_THAT(output, HasSubstr(floppy + " (not a removable disk)"));
    EXPECT_TRUE(AllZero(ReadWholeFile(file)));

    ASSERT_EQ(InRemovableNamespace(Bootdisk("floppy " + floppy + " --yes"), &output, floppy), 0) << output;
    EXPECT_THAT(output, HasSubstr("every file reads back as written"));
}

// A write-protected floppy (here an image file on a read-only mount) is refused before the copy,
// with the system's reason.
TEST_F(UsbDrive, AWriteProtectedFloppyIsRefusedBeforeTheCopy) {
    const std::string folder = temp / "protected";
    ASSERT_EQ(RunCommand("mkdir " + Quoted(folder)), 0);
    test::WriteFile(folder + "/floppy.img", Bytes(kImageBytes));
    std::string output;
    EXPECT_NE(RunCommand("unshare --mount sh -c " +
                             Quoted("mount --bind -o ro " + folder + " " + folder + " && " +
                                    Bootdisk("floppy " + folder + "/floppy.img --yes")) +
                             " < /dev/null",
                         &output),
              0);
    EXPECT_THAT(output, HasSubstr("The floppy cannot be opened: " + folder + "/floppy.img: " + std::strerror(EROFS)));
    EXPECT_THAT(output, testing::Not(HasSubstr("Writing the floppy")));
}

// Another opener holding the device exclusively keeps the write away, as a mount would.
TEST_F(UsbDrive, ADeviceHeldExclusivelyByAnotherProcessIsNotWritten) {
    const int held = ::open(loop.c_str(), O_RDONLY | O_EXCL | O_CLOEXEC);
    ASSERT_GE(held, 0) << std::strerror(errno);
    std::string output;
    const int status = InRemovableNamespace(Bootdisk("usb " + loop + " --yes"), &output);
    ::close(held);
    EXPECT_NE(status, 0);
    EXPECT_THAT(output, HasSubstr(std::strerror(EBUSY)));
    EXPECT_TRUE(AllZero(ReadWholeFile(backing)));
}

// Two copies on one drive, answered on a terminal; between them the stick is swapped for a fixed
// disk on the same node (its removable flag drops) and wiped. The second copy asks the system anew
// and writes nothing.
TEST_F(UsbDrive, TheRemovableCheckAsksTheSystemAgainForEachCopy) {
    if (RunCommand("command -v script") != 0) GTEST_SKIP() << "script (util-linux) is not installed";
    const std::string typescript = temp / "typescript";
    const std::string answers = temp / "answers.sh";
    test::WriteFile(answers, test::Text("wait_for() { for i in $(seq 600); do grep -q \"$1\" " + Quoted(typescript) +
                                        " 2>/dev/null && return; sleep 0.1; done; }\n"
                                        "{\n"
                                        "  echo y; echo 1\n"
                                        "  wait_for 'copy 1 of 2'\n"
                                        "  echo 0 > " + Quoted(flag) + "\n"
                                        "  dd if=/dev/zero of=" + loop + " bs=512 count=2880 conv=fsync 2>/dev/null\n"
                                        "  echo 1\n"
                                        "  wait_for 'copies made'\n"
                                        "} | script -qfec \"" + Bootdisk("create 2:usb=" + loop + " --no-verify") +
                                        "\" " + Quoted(typescript) + " > /dev/null\n"));
    std::string output;
    // Refused, not stopped: the drive was taken away from under the run, nobody chose to stop it.
    EXPECT_EQ(InRemovableNamespace("sh " + Quoted(answers), &output), 4) << output;
    const auto shown = ReadWholeFile(typescript);
    const std::string text(shown.begin(), shown.end());
    EXPECT_THAT(text, HasSubstr("copy 1 of 2, " + loop + ": made"));
    EXPECT_THAT(text, HasSubstr("Disk Protection fault : The drive is not removable."));
    EXPECT_THAT(text, HasSubstr("1 of 2 copies made."));
    EXPECT_TRUE(AllZero(ReadWholeFile(backing)));
}

TEST_F(UsbDrive, WithoutYesAndWithoutATerminalNothingIsWritten) {
    std::string output;
    EXPECT_NE(InRemovableNamespace(Bootdisk("usb " + loop), &output), 0);
    EXPECT_THAT(output, HasSubstr("without --yes"));
    EXPECT_TRUE(AllZero(ReadWholeFile(backing)));
}

// Drives that a write would refuse are not offered, each with its reason.
TEST_F(UsbDrive, SmallAndReadOnlyDrivesAreListedAsNotOffered) {
    const std::string smallFile = temp / "small.img", readOnlyFile = temp / "readonly.img";
    const auto small = Attach(smallFile, kImageBytes - 512);
    const auto readOnly = Attach(readOnlyFile, kStickBytes, nullptr, "-r");
    ASSERT_FALSE(small.empty() || readOnly.empty());
    const auto removable = [&](const std::string& device) {
        return "mount --bind " + flag + " /sys/block/" + device.substr(device.rfind('/') + 1) + "/removable && ";
    };
    std::string output;
    ASSERT_EQ(InRemovableNamespace(removable(small) + Bootdisk("devices " + readOnly + " " + small), &output, readOnly),
              0)
        << output;
    EXPECT_THAT(output, HasSubstr("Removable drives that can take the boot disk:\n  none\n"));
    EXPECT_THAT(output, HasSubstr(readOnly + " (loop device on " + readOnlyFile + ", 4.2 MB): read-only\n"));
    EXPECT_THAT(output, HasSubstr(small + " (loop device on " + smallFile + ", 1.5 MB): smaller than the boot image (1.5 MB)\n"));
    EXPECT_NE(InRemovableNamespace(Bootdisk("usb " + readOnly + " --yes"), &output, readOnly), 0);
    EXPECT_THAT(output, HasSubstr(readOnly + ": read-only"));
}

// The direct path without the disk service: the floppy command refuses a mounted device; the
// stick's command names the mount point, unmounts it and writes.
TEST_F(UsbDrive, AMountedFileSystemIsUnmountedForTheStickButRefusedForTheFloppy) {
    std::string output;
    if (RunCommand(test::kToolPath + "mkfs.ext4 -q " + Quoted(loop), &output) != 0)
        GTEST_SKIP() << "cannot make an ext4 file system: " << output;
    const std::string mountPoint = temp / "mnt";
    RunCommand("mkdir " + Quoted(mountPoint));
    const int status = InRemovableNamespace(
        "if ! mount " + loop + " " + mountPoint + "; then exit 77; fi; " + Bootdisk("floppy " + loop + " --yes") +
            " && exit 1; " + Bootdisk("usb " + loop + " --yes") + " || exit 2; mountpoint -q " + mountPoint +
            " && exit 3; exit 0",
        &output);
    if (status == 77) GTEST_SKIP() << "ext4 cannot be mounted here: " << output;
    EXPECT_EQ(status, 0) << output;
    EXPECT_THAT(output, HasSubstr("Unmount it first: " + mountPoint));
    EXPECT_THAT(output, HasSubstr("Its file systems were unmounted first: " + mountPoint));
    EXPECT_THAT(output, HasSubstr("the read-back matches what was written"));
    EXPECT_EQ(ReadWholeFile(backing)[36], 0x80);
}

}  // namespace
}  // namespace bootdisk
