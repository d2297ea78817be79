// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/ScsiCommands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <vector>

namespace bootdisk {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct TExpectedCommand {
    const char* name;
    TScsiRequest request;
    Bytes cdb;
    TDataDirection direction;
    std::uint32_t length;
    std::uint32_t timeout = 120;
};

TEST(ScsiCommandsTest, EveryCommandBlockIsByteExact) {
    std::uint8_t buffer[256]{};
    using D = TDataDirection;
    const std::vector<TExpectedCommand> table = {
        {"TEST UNIT READY", TestUnitReady(), {0x00, 0, 0, 0, 0, 0}, D::None, 0},
        {"INQUIRY", Inquiry(buffer), {0x12, 0, 0, 0, 0xA5, 0}, D::In, 165, 2},
        {"MODE SENSE 05h", ModeSenseWriteParameters(buffer), {0x5A, 0x08, 0x05, 0, 0, 0, 0, 0x00, 0x40, 0}, D::In, 64},
        {"MODE SENSE 05h, LUN 1", ModeSenseWriteParameters(buffer, 1),
         {0x5A, 0x28, 0x05, 0, 0, 0, 0, 0x00, 0x40, 0}, D::In, 64},
        {"MODE SELECT", ModeSelect(buffer, 60), {0x55, 0x10, 0, 0, 0, 0, 0, 0x00, 0x3C, 0}, D::Out, 60},
        {"MODE SELECT, LUN 2", ModeSelect(buffer, 60, 2), {0x55, 0x50, 0, 0, 0, 0, 0, 0x00, 0x3C, 0}, D::Out, 60},
        {"READ TRACK INFORMATION", ReadTrackInformation(buffer),
         {0x52, 0x01, 0, 0, 0, 0xFF, 0, 0x00, 0x1C, 0}, D::In, 28},
        {"READ BUFFER CAPACITY", ReadBufferCapacity(buffer), {0x5C, 0, 0, 0, 0, 0, 0, 0x00, 0x0C, 0}, D::In, 12},
        {"WRITE(10)", Write10(0x01020304, 10, buffer), {0x2A, 0, 0x01, 0x02, 0x03, 0x04, 0, 0x00, 0x0A, 0}, D::Out,
         20'480},
        {"READ(10)", Read10(0x01020304, 10, buffer), {0x28, 0, 0x01, 0x02, 0x03, 0x04, 0, 0x00, 0x0A, 0}, D::In,
         20'480},
        {"SYNCHRONIZE CACHE", SynchronizeCache(), {0x35, 0x02, 0, 0, 0, 0, 0, 0, 0, 0}, D::None, 0},
        {"CLOSE TRACK", CloseTrack(), {0x5B, 0x01, 0x01, 0, 0x00, 0xFF, 0, 0, 0, 0}, D::None, 0},
        {"CLOSE SESSION", CloseSession(), {0x5B, 0x01, 0x02, 0, 0, 0, 0, 0, 0, 0}, D::None, 0},
        {"READ DISC INFORMATION", ReadDiscInformation(buffer), {0x51, 0, 0, 0, 0, 0, 0, 0x00, 0x22, 0}, D::In, 34},
        {"MODE SENSE 2Ah, pass-through", ModeSenseCapabilities(buffer, TScsiCarrier::PassThrough),
         {0x5A, 0x00, 0x2A, 0, 0, 0, 0, 0x00, 0x9F, 0}, D::In, 159, 2},
        {"MODE SENSE 2Ah, ASPI LUN 1", ModeSenseCapabilities(buffer, TScsiCarrier::Aspi, 1),
         {0x5A, 0x28, 0x2A, 0, 0, 0, 0, 0x00, 0x9F, 0}, D::In, 159, 2},
        {"BLANK whole", BlankDisc(TBlankType::WholeDisc), {0xA1, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, D::None, 0, 2},
        {"BLANK minimal", BlankDisc(TBlankType::Minimal), {0xA1, 0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, D::None, 0, 2},
        {"START STOP UNIT", EjectDisc(), {0x1B, 0x01, 0, 0, 0x02, 0, 0, 0, 0, 0, 0, 0}, D::None, 0},
        {"GET CONFIGURATION", GetConfiguration(buffer), {0x46, 0x02, 0x00, 0x20, 0, 0, 0, 0x00, 0x91, 0}, D::In, 145},
    };
    for (const auto& expected : table) {
        SCOPED_TRACE(expected.name);
        const auto& request = expected.request;
        ASSERT_EQ(request.cdbLength, expected.cdb.size());
        EXPECT_EQ(Bytes(request.cdb.begin(), request.cdb.begin() + request.cdbLength), expected.cdb);
        EXPECT_TRUE(std::all_of(request.cdb.begin() + request.cdbLength, request.cdb.end(),
                                [](std::uint8_t b) { return b == 0; }));
        EXPECT_EQ(request.direction, expected.direction);
        EXPECT_EQ(request.length, expected.length);
        EXPECT_EQ(request.data, expected.direction == D::None ? nullptr : buffer);
        EXPECT_EQ(request.timeoutSeconds, expected.timeout);
    }
}

TEST(ScsiCommandsTest, PassThroughResultComesFromTheStatusByteAlone) {
    EXPECT_EQ(MapPassThroughResult({.delivered = false, .status = 0x00}), 5);
    EXPECT_EQ(MapPassThroughResult({.delivered = true, .status = 0x00}), 0);
    EXPECT_EQ(MapPassThroughResult({.delivered = true, .status = 0x02}), 1);
    EXPECT_EQ(MapPassThroughResult({.delivered = true, .status = 0x04}), 21);
    EXPECT_EQ(MapPassThroughResult({.delivered = true, .status = 0x08}), 10);  // busy is not told apart
    EXPECT_EQ(MapPassThroughResult({.delivered = true, .status = 0x18}), 10);
}

TEST(ScsiCommandsTest, AspiResultFollowsRequestThenHostThenTargetStatus) {
    struct TCase {
        std::uint8_t request, host, target, result;
    };
    const std::vector<TCase> cases = {
        {0x00, 0xFF, 0xFF, 0},  {0x01, 0, 0, 0},        {0x02, 0, 0, 1},        {0x03, 0, 0, 1},
        {0x80, 0, 0, 2},        {0x81, 0, 0, 4},        {0x82, 0, 0, 5},        {0xE0, 0, 0, 6},
        {0xE1, 0, 0, 7},        {0xE5, 0, 0, 8},        {0xE6, 0, 0, 9},        {0x05, 0, 0, 10},
        {0x04, 0x09, 0, 11},    {0x04, 0x0B, 0, 12},    {0x04, 0x0D, 0, 13},    {0x04, 0x14, 0, 20},
        {0x04, 0x10, 0, 16},    {0x04, 0x0A, 0, 10},    {0x04, 0x0C, 0, 10},    {0x04, 0x15, 0, 10},
        {0x04, 0xFF, 0xFF, 10}, {0x04, 0x00, 0x00, 21}, {0x04, 0x00, 0x02, 21}, {0x04, 0x00, 0x08, 22},
        {0x04, 0x00, 0x18, 23}, {0x04, 0x00, 0x28, 24}, {0x04, 0x00, 0x04, 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapAspiResult(c.request, c.host, c.target), c.result)
            << std::hex << int(c.request) << "/" << int(c.host) << "/" << int(c.target);
}

}  // namespace
}  // namespace bootdisk
