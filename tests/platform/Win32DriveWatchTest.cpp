// SPDX-License-Identifier: GPL-3.0-or-later
// The drive letters as the Windows wizard follows them: scanned apart from its window, network and
// CD letters never asked their size, and a scan that fails or hangs holding up nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

#include "platform/HostDrives.h"
#include "support/FakeWin32.h"

namespace bootdisk {
namespace {

using namespace std::chrono_literals;
using testing::HasSubstr;

// A removable E:, the system's C:, a CD in D: and a network share at Z:.
class Win32DriveScan : public testing::Test {
protected:
    Win32DriveScan() {
        fake.driveTypes = {{'C', DRIVE_FIXED}, {'D', DRIVE_CDROM}, {'E', DRIVE_REMOVABLE}, {'Z', DRIVE_REMOTE}};
        fake.volumes = {{L"\\\\?\\Volume{c}\\", 'C', 0}, {L"\\\\?\\Volume{e}\\", 'E', 1}};
        fake.disks[0].assign(64 << 20, 0);
        fake.disks[1].assign(8 << 20, 0);
    }
    std::vector<std::string> Devices(const std::vector<THostDrive>& drives) {
        std::vector<std::string> devices;
        for (const auto& drive : drives) devices.push_back(drive.device);
        return devices;
    }
    test::TFakeWin32 fake;
};

TEST_F(Win32DriveScan, OnlyRemovableAndFixedDisksAreAskedMoreThanTheirType) {
    const auto drives = ScanWin32Drives(fake);
    EXPECT_EQ(Devices(drives), (std::vector<std::string>{"C:", "E:"}));
    EXPECT_EQ(drives[1].size, 8u << 20);
    for (const auto& line : fake.log) {
        EXPECT_THAT(line, testing::Not(HasSubstr("D:"))) << "a CD letter was asked";
        EXPECT_THAT(line, testing::Not(HasSubstr("Z:"))) << "a network letter was asked";
    }
}

// The system's calls, with the size of E: answered only when the test lets it, or refused with a
// throw once, as a misbehaving driver might make the scan do.
class TSlowWin32 : public test::TFakeWin32 {
public:
    TSlowWin32() : release(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~TSlowWin32() override { CloseHandle(release); }
    DWORD GetLogicalDrives() override {
        InterlockedIncrement(&scans);
        return TFakeWin32::GetLogicalDrives();
    }
    BOOL GetDiskFreeSpaceExW(const std::wstring& root, ULARGE_INTEGER* total) override {
        if (root == L"E:\\") WaitForSingleObject(release, INFINITE);
        if (InterlockedExchange(&throwOnce, 0) != 0) throw std::runtime_error("the driver answered nonsense");
        return TFakeWin32::GetDiskFreeSpaceExW(root, total);
    }
    LONG Scans() { return InterlockedCompareExchange(&scans, 0, 0); }

    HANDLE release;
    LONG throwOnce = 0;
    LONG scans = 0;
};

DWORD WINAPI SetLater(void* event) {
    Sleep(3000);
    return SetEvent(event) ? 0 : 1;
}

// A drive that takes its time to answer holds up the scan, not the one who asks for the drives: the
// window's thread (the wizard asks once a second) gets the last list at once and goes on.
TEST(Win32DriveWatch, ADriveThatDoesNotAnswerHoldsUpNoWindow) {
    TSlowWin32 slow;
    slow.driveTypes = {{'C', DRIVE_FIXED}, {'E', DRIVE_REMOVABLE}};
    slow.volumes = {{L"\\\\?\\Volume{c}\\", 'C', 0}, {L"\\\\?\\Volume{e}\\", 'E', 1}};
    slow.disks[0].assign(64 << 20, 0);
    slow.disks[1].assign(8 << 20, 0);
    // Let go after a while in any case, so that a watch that scans on the caller's thread fails the
    // test rather than hang it.
    const auto start = std::chrono::steady_clock::now();
    const HANDLE letGo = CreateThread(nullptr, 0, SetLater, slow.release, 0, nullptr);
    const auto watch = StartWin32DriveWatch(slow, {});
    for (int tick = 0; tick < 5; ++tick)
        EXPECT_FALSE(watch->Latest(100ms).has_value()) << "no scan can be done while E: does not answer";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    SetEvent(slow.release);
    const auto scan = watch->Latest(5000ms);
    ASSERT_TRUE(scan.has_value());
    ASSERT_EQ(scan->drives.size(), 2u);
    EXPECT_EQ(scan->drives[1].device, "E:");
    WaitForSingleObject(letGo, INFINITE);
    CloseHandle(letGo);
}

// A scan that throws neither ends the thread (and with it the wizard) nor empties the list.
TEST(Win32DriveWatch, AFailedScanKeepsTheLastList) {
    TSlowWin32 failing;
    failing.driveTypes = {{'E', DRIVE_REMOVABLE}};
    failing.volumes = {{L"\\\\?\\Volume{e}\\", 'E', 0}};
    failing.disks[0].assign(8 << 20, 0);
    SetEvent(failing.release);
    std::atomic<int> changes{0};
    const auto watch = StartWin32DriveWatch(failing, [&] { ++changes; });
    const auto first = watch->Latest(5000ms);
    ASSERT_TRUE(first.has_value());
    InterlockedExchange(&failing.throwOnce, 1);
    // The next scan throws; the one after shows the thread still at work.
    const LONG thrown = failing.Scans() + 1;
    for (int i = 0; i < 500 && failing.Scans() <= thrown; ++i) Sleep(10);
    EXPECT_GT(failing.Scans(), thrown);
    EXPECT_EQ(InterlockedCompareExchange(&failing.throwOnce, 0, 0), 0);
    EXPECT_EQ(watch->Latest(0ms), first);
    EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace bootdisk
