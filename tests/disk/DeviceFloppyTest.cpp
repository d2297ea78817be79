// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/DeviceFloppy.h"

#include <gtest/gtest.h>

#include "platform/sim/SimRawDevice.h"

namespace bootdisk {
namespace {

constexpr std::size_t kFloppyBytes = 2880 * 512;

class DeviceFloppyTest : public ::testing::Test {
protected:
    DeviceFloppyTest() {
        auto& a = devices.Add('A', kFloppyBytes);
        for (std::size_t i = 0; i < a.bytes.size(); ++i) a.bytes[i] = std::uint8_t(i / 512);
    }
    TSimRawDevices devices;
    std::array<std::uint8_t, 2 * 512> buffer{};
};

TEST_F(DeviceFloppyTest, SectorsAreReadOnceAndWrittenInOrderOnFlush) {
    std::uint32_t error = 0;
    auto device = devices.Open('A', TDeviceAccess::ReadWrite, error);
    auto& a = devices.Drive('A');
    TDeviceFloppy floppy(*device);
    ASSERT_EQ(floppy.ReadSectors(10, buffer.data(), 2), 2u);
    EXPECT_EQ(buffer[0], 10);
    EXPECT_EQ(buffer[512], 11);
    ASSERT_EQ(floppy.ReadSectors(11, buffer.data(), 1), 1u);
    EXPECT_EQ(a.seeks, 1);

    buffer.fill(0xAA);
    ASSERT_EQ(floppy.WriteSectors(12, buffer.data(), 2), 2u);
    ASSERT_EQ(floppy.WriteSectors(2000, buffer.data(), 1), 1u);
    EXPECT_EQ(a.writes, 0);
    ASSERT_EQ(floppy.ReadSectors(11, buffer.data(), 2), 2u);  // the changed sector reads as written
    EXPECT_EQ(buffer[0], 11);
    EXPECT_EQ(buffer[512], 0xAA);
    ASSERT_TRUE(floppy.Flush());
    EXPECT_EQ(a.writes, 2);  // one run of two sectors, one of one
    EXPECT_EQ(a.bytes[12 * 512], 0xAA);
    EXPECT_EQ(a.bytes[14 * 512], 14);
    EXPECT_EQ(a.bytes[2000 * 512 + 511], 0xAA);
    ASSERT_TRUE(floppy.Flush());
    EXPECT_EQ(a.writes, 2);

    EXPECT_EQ(floppy.ReadSectors(2879, buffer.data(), 2), 0u);  // past the floppy
    EXPECT_EQ(floppy.WriteSectors(2880, buffer.data(), 1), 0u);
}

TEST_F(DeviceFloppyTest, FailuresOfTheDeviceAreReported) {
    auto& a = devices.Drive('A');
    a.faults.failWriteAtSector = 5;
    std::uint32_t error = 0;
    auto device = devices.Open('A', TDeviceAccess::ReadWrite, error);
    TDeviceFloppy floppy(*device);
    ASSERT_EQ(floppy.WriteSectors(5, buffer.data(), 1), 1u);
    EXPECT_FALSE(floppy.Flush());

    devices.Add('B', 100 * 512);  // smaller than a floppy
    auto small = devices.Open('B', TDeviceAccess::ReadOnly, error);
    TDeviceFloppy smallFloppy(*small);
    EXPECT_EQ(smallFloppy.ReadSectors(99, buffer.data(), 1), 1u);
    EXPECT_EQ(smallFloppy.ReadSectors(100, buffer.data(), 1), 0u);
}

TEST_F(DeviceFloppyTest, AccessOpensTheDeviceForEachPieceOfWork) {
    auto& a = devices.Drive('A');
    const auto access = DeviceFloppyAccess(devices, 'A', TDeviceAccess::ReadWrite);
    EXPECT_TRUE(access([&](TGenericFloppy& floppy) {
        EXPECT_EQ(a.openDevices, 1);
        return floppy.WriteSectors(1, buffer.data(), 1) == 1;
    }));
    EXPECT_EQ(a.openDevices, 0);
    EXPECT_EQ(a.bytes[512], 0);
    // What failed work changed still reaches the device; the result says it failed.
    EXPECT_FALSE(access([&](TGenericFloppy& floppy) { return floppy.WriteSectors(3, buffer.data(), 1) == 0; }));
    EXPECT_EQ(a.bytes[3 * 512], 0);
    a.faults.openError = TSimRawDevices::kErrorSharingViolation;
    bool ran = false;
    EXPECT_FALSE(access([&](TGenericFloppy&) { return ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_FALSE(DeviceFloppyAccess(devices, 'Z', TDeviceAccess::ReadOnly)([](TGenericFloppy&) { return true; }));
}

}  // namespace
}  // namespace bootdisk
