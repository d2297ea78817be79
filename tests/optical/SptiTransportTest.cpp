// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows pass-through transport over a stand-in for the system that reads each request block
// where Windows reads it, in the 64-bit and the 32-bit layout, and hands the command to the
// emulated writer; and how often, and how quietly, the drive is opened.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/Bytes.h"
#include "optical/Optical_devices.h"
#include "optical/SPTI.h"
#include "platform/sim/SimWriter.h"
#include "support/FakeWin32.h"

namespace bootdisk {
namespace {

// Where Windows finds the fields of SCSI_PASS_THROUGH in a program of each pointer width.
struct TSystemLayout {
    const char* name;
    TSptiLayout layout;  // the one the transport is built with
    DWORD header;        // sizeof(SCSI_PASS_THROUGH)
    std::size_t dataBufferOffset, pointerSize, senseInfoOffset, cdb;
    friend void PrintTo(const TSystemLayout& layout, std::ostream* out) { *out << layout.name; }
};
const TSystemLayout kLayouts[] = {{"64-bit", kSptiLayout64, 56, 24, 8, 32, 36},
                                  {"32-bit", kSptiLayout32, 44, 20, 4, 24, 28}};

class SptiTransport : public testing::TestWithParam<TSystemLayout> {
protected:
    SptiTransport() {
        fake.driveTypes = {{'D', DRIVE_CDROM}};
        fake.control = [this](const std::wstring& path, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                              DWORD* returned) {
            EXPECT_EQ(test::TFakeWin32::Narrow(path), "\\\\.\\D:");
            EXPECT_EQ(code, 0x0004D004u) << "every command here goes buffered";
            return PassThrough(static_cast<std::uint8_t*>(in), inSize, static_cast<std::uint8_t*>(out), outSize,
                               returned);
        };
    }

    // The system's reading of a buffered request: a header of its own size, the sense area behind
    // it and the 512-byte data area behind that, found through the offsets the block gives.
    BOOL PassThrough(std::uint8_t* block, DWORD inSize, const std::uint8_t* out, DWORD outSize, DWORD* returned) {
        const auto& system = GetParam();
        EXPECT_EQ(inSize, system.header);
        EXPECT_EQ(outSize, system.header + 128 + 512);
        EXPECT_EQ(out, block);
        EXPECT_EQ(GetLE16(block), system.header);                   // Length
        EXPECT_EQ(block[7], 128);                                   // SenseInfoLength
        EXPECT_EQ(block[8], 1);                                     // DataIn
        EXPECT_EQ(GetLE32(block + 12), 512u);                       // DataTransferLength
        EXPECT_EQ(GetLE32(block + system.senseInfoOffset), system.header);
        std::uint64_t data = GetLE32(block + system.dataBufferOffset);
        if (system.pointerSize == 8) data |= std::uint64_t(GetLE32(block + system.dataBufferOffset + 4)) << 32;
        EXPECT_EQ(data, system.header + 128u);
        if (data + 512 > outSize) return FALSE;
        TScsiRequest request;
        request.cdbLength = block[6];
        std::copy_n(block + system.cdb, 16, request.cdb.begin());
        request.direction = TDataDirection::In;
        request.data = block + data;
        request.length = 512;
        block[2] = writer.Deliver(request).status;  // ScsiStatus
        *returned = outSize;
        return TRUE;
    }
    std::ptrdiff_t Opens(const std::string& path) const {
        return std::count(fake.log.begin(), fake.log.end(), "CreateFileW " + path + " rw");
    }

    test::TFakeWin32 fake;
    TSimWriter writer;
};

TEST_P(SptiTransport, AnInquiryThroughTheRealTransportDecodesAsAWriter) {
    TSPTIdevice device(OpenWin32PassThrough("D:", fake, GetParam().layout));
    EXPECT_EQ(device.DeviceType, kDeviceTypeCdRom);
    EXPECT_EQ(device.DisplayName, "SIM WRITER (BOOTDISK)");
    EXPECT_TRUE(device.IsWriter());
    EXPECT_EQ(writer.Commands().size(), 3u);  // INQUIRY, MODE SENSE, MODE SENSE
}

TEST_P(SptiTransport, TheDriveIsOpenedForEachCommandOrOnceForAWholeCheck) {
    TSPTIdevice device(OpenWin32PassThrough("D:", fake, GetParam().layout));
    EXPECT_EQ(Opens("\\\\.\\D:"), 3) << "the check that it opens, INQUIRY, MODE SENSE";
    EXPECT_TRUE(fake.open.empty()) << "nothing is held between operations";
    fake.log.clear();
    TDiscState state;
    EXPECT_TRUE(device.CheckReady(state));
    EXPECT_EQ(Opens("\\\\.\\D:"), 1) << "TEST UNIT READY and READ DISC INFORMATION share one opening";
    EXPECT_TRUE(fake.open.empty());
}

INSTANTIATE_TEST_SUITE_P(Layouts, SptiTransport, testing::ValuesIn(kLayouts),
                         [](const auto& layout) { return std::string(layout.param.name[0] == '6' ? "Bits64" : "Bits32"); });

TEST(SptiScan, AnEmptyDriveIsProbedWithoutTheSystemsBox) {
    test::TFakeWin32 fake;
    fake.driveTypes = {{'A', DRIVE_REMOVABLE}, {'D', DRIVE_CDROM}};
    fake.withoutMedium = {'A', 'D'};
    TPassThroughHost host;
    host.names = [] { return std::vector<std::string>{"A:", "D:"}; };
    host.open = [&fake](const std::string& name) { return OpenWin32PassThrough(name, fake); };
    TOpticalDevices devices(host);
    EXPECT_EQ(devices.Count(), 0u);
    EXPECT_EQ(fake.errorBoxes, 0);
    EXPECT_THAT(fake.log, testing::Contains("CreateFileW \\\\.\\A: rw"));
    EXPECT_EQ(fake.errorMode, 0u) << "the process's own mode is put back";
}

}  // namespace
}  // namespace bootdisk
