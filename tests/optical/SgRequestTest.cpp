// SPDX-License-Identifier: GPL-3.0-or-later
// The SG_IO request values, and a real drive when the machine has one.
#include <gtest/gtest.h>

#include <stdexcept>

#include "optical/Optical_devices.h"
#include "optical/SPTI.h"
#include "optical/ScsiCommands.h"
#include "optical/SgRequest.h"

namespace bootdisk {
namespace {

TEST(SgRequest, CarriesDirectionLengthsAndTimeLimit) {
    std::uint8_t data[2048 * 10] = {};
    const auto write = MakeSgRequest(Write10(16, 10, data));
    EXPECT_EQ(write.direction, kSgDxferToDev);
    EXPECT_EQ(write.cdbLength, 10);
    EXPECT_EQ(write.dataLength, 20480u);
    EXPECT_EQ(write.timeoutMs, 120'000u);
    EXPECT_EQ(write.senseLength, 128);

    const auto inquiry = MakeSgRequest(Inquiry(data));
    EXPECT_EQ(inquiry.direction, kSgDxferFromDev);
    EXPECT_EQ(inquiry.cdbLength, 6);
    EXPECT_EQ(inquiry.dataLength, 165u);
    EXPECT_EQ(inquiry.timeoutMs, 2'000u);

    const auto blank = MakeSgRequest(BlankDisc(TBlankType::Minimal));
    EXPECT_EQ(blank.direction, kSgDxferNone);
    EXPECT_EQ(blank.cdbLength, 12);
    EXPECT_EQ(blank.dataLength, 0u);
}

TEST(SgRequest, ADirectionWithoutLengthTransfersNothing) {
    TScsiRequest request;
    request.cdbLength = 10;
    request.direction = TDataDirection::In;
    const auto sg = MakeSgRequest(request);
    EXPECT_EQ(sg.direction, kSgDxferNone);
    EXPECT_EQ(sg.dataLength, 0u);
}

TEST(SgRequest, RefusesRequestsNoDriveCouldTake) {
    TScsiRequest request;
    EXPECT_THROW(MakeSgRequest(request), std::invalid_argument);  // no CDB
    request.cdbLength = 17;
    EXPECT_THROW(MakeSgRequest(request), std::invalid_argument);
    request.cdbLength = 10;
    request.direction = TDataDirection::In;
    request.length = 12;
    EXPECT_THROW(MakeSgRequest(request), std::invalid_argument);  // no buffer
    request.direction = TDataDirection::None;
    request.timeoutSeconds = 5'000'000;
    EXPECT_THROW(MakeSgRequest(request), std::invalid_argument);  // milliseconds would overflow
}

TEST(SgReply, OnlyWhatReachedTheDriveIsDelivered) {
    EXPECT_FALSE(SgReply(false, 0, 0, 0).delivered);
    EXPECT_FALSE(SgReply(true, 0, 0x03, 0).delivered);  // DID_TIME_OUT
    EXPECT_FALSE(SgReply(true, 0, 0, 0x06).delivered);  // DRIVER_TIMEOUT
    const auto check = SgReply(true, 0x02, 0, kSgDriverSense);
    EXPECT_TRUE(check.delivered);
    EXPECT_EQ(check.status, 0x02);
    EXPECT_EQ(MapPassThroughResult(check), 1);
    EXPECT_EQ(MapPassThroughResult(SgReply(false, 0, 0, 0)), 5);
}

// resid is what did not move; drivers have been seen to leave it negative or beyond the length.
TEST(SgReply, TheResidualCountTellsWhatMoved) {
    EXPECT_EQ(SgTransferred(20480, 0), 20480u);
    EXPECT_EQ(SgTransferred(20480, 20480), 0u);
    EXPECT_EQ(SgTransferred(20480, 2048), 18432u);
    EXPECT_EQ(SgTransferred(20480, -4), 20480u);
    EXPECT_EQ(SgTransferred(20480, 40960), 0u);
    EXPECT_EQ(SgTransferred(0, 0), 0u);
}

TEST(SgDevice, RealDriveAnswersInquiry) {
    const auto names = PassThroughDeviceNames();
    if (names.empty()) GTEST_SKIP() << "no /dev/sr* optical drive on this machine";
    std::unique_ptr<IScsiTransport> transport;
    try {
        transport = OpenPassThrough(names.front());
    } catch (const std::runtime_error& error) {
        GTEST_SKIP() << error.what();
    }
    TSPTIdevice device(std::move(transport));
    EXPECT_EQ(device.DeviceType, kDeviceTypeCdRom) << names.front();
    EXPECT_FALSE(device.DisplayName.empty());
}

TEST(SgDevice, OpeningSomethingThatIsNotADriveSaysWhy) {
    EXPECT_THROW(OpenPassThrough("/dev/null"), std::runtime_error);
    EXPECT_THROW(OpenPassThrough("/nonexistent/sr9"), std::runtime_error);
}

}  // namespace
}  // namespace bootdisk
