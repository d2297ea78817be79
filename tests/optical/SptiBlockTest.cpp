// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows pass-through blocks byte by byte, as the system's driver reads them.
#include <gtest/gtest.h>

#include <stdexcept>

#include "base/Bytes.h"
#include "optical/ScsiCommands.h"
#include "optical/SptiBlock.h"

namespace bootdisk {
namespace {

TEST(SptiBlock, BufferedInquiry) {
    std::uint8_t answer[165];
    const auto request = Inquiry(answer);
    ASSERT_TRUE(UsesBufferedBlock(request));
    const auto block = MakeBufferedBlock(request, kSptiLayout32);
    EXPECT_EQ(GetLE16(&block[0]), 44);    // Length
    EXPECT_EQ(block[2], 0);               // ScsiStatus, set by the system
    EXPECT_EQ(block[3], 0);               // PathId
    EXPECT_EQ(block[4], 0);               // TargetId
    EXPECT_EQ(block[5], 0);               // Lun
    EXPECT_EQ(block[6], 6);               // CdbLength
    EXPECT_EQ(block[7], 128);             // SenseInfoLength
    EXPECT_EQ(block[8], 1);               // DataIn
    EXPECT_EQ(GetLE32(&block[12]), 512u); // DataTransferLength: the whole data area
    EXPECT_EQ(GetLE32(&block[16]), 2u);   // TimeOutValue
    EXPECT_EQ(GetLE32(&block[20]), 172u); // DataBufferOffset
    EXPECT_EQ(GetLE32(&block[24]), 44u);  // SenseInfoOffset
    const std::uint8_t cdb[16] = {0x12, 0, 0, 0, 0xA5};
    EXPECT_TRUE(std::equal(cdb, cdb + 16, block.begin() + 28));
    EXPECT_EQ(block.size(), 684u);
    for (std::size_t i = 44; i < block.size(); ++i) ASSERT_EQ(block[i], 0) << i;
}

TEST(SptiBlock, CommandsWithoutDataAreBufferedAndMarkedDataIn) {
    for (const auto& request : {TestUnitReady(), SynchronizeCache(), CloseTrack(), BlankDisc(TBlankType::WholeDisc)}) {
        ASSERT_TRUE(UsesBufferedBlock(request));
        const auto block = MakeBufferedBlock(request, kSptiLayout32);
        EXPECT_EQ(block[8], 1);
        EXPECT_EQ(block[6], request.cdbLength);
        EXPECT_EQ(GetLE32(&block[16]), request.timeoutSeconds);
    }
    EXPECT_EQ(MakeBufferedBlock(SynchronizeCache(), kSptiLayout32)[16], 120);
    EXPECT_EQ(MakeBufferedBlock(BlankDisc(TBlankType::WholeDisc), kSptiLayout32)[16], 2);
}

TEST(SptiBlock, WriteGoesDirectWithTargetOne) {
    std::vector<std::uint8_t> data(20480);
    const auto request = Write10(0x12345, 10, data.data());
    ASSERT_FALSE(UsesBufferedBlock(request));
    const auto block = MakeDirectBlock(request, 0x00401000, kSptiLayout32);
    EXPECT_EQ(block.size(), 172u);
    EXPECT_EQ(GetLE16(&block[0]), 44);
    EXPECT_EQ(block[3], 0);
    EXPECT_EQ(block[4], 1);  // TargetId
    EXPECT_EQ(block[5], 0);
    EXPECT_EQ(block[6], 10);
    EXPECT_EQ(block[7], 128);
    EXPECT_EQ(block[8], 0);  // data out
    EXPECT_EQ(GetLE32(&block[12]), 20480u);
    EXPECT_EQ(GetLE32(&block[16]), 120u);
    EXPECT_EQ(GetLE32(&block[20]), 0x00401000u);  // DataBuffer
    EXPECT_EQ(GetLE32(&block[24]), 44u);
    const std::uint8_t cdb[10] = {0x2A, 0, 0x00, 0x01, 0x23, 0x45, 0, 0x00, 0x0A, 0};
    EXPECT_TRUE(std::equal(cdb, cdb + 10, block.begin() + 28));
    for (std::size_t i = 38; i < block.size(); ++i) ASSERT_EQ(block[i], 0) << i;
}

TEST(SptiBlock, ModeSelectGoesDirectWithTargetZero) {
    std::uint8_t list[64] = {};
    const auto request = ModeSelect(list, 60);
    ASSERT_FALSE(UsesBufferedBlock(request));
    const auto block = MakeDirectBlock(request, 0x1000, kSptiLayout32);
    EXPECT_EQ(block[4], 0);
    EXPECT_EQ(block[8], 0);
    EXPECT_EQ(GetLE32(&block[12]), 60u);
    EXPECT_EQ(block[28], 0x55);
}

TEST(SptiBlock, AnAnswerBeyondTheDataAreaGoesDirectAsDataIn) {
    std::vector<std::uint8_t> answer(2048);
    TScsiRequest request;
    request.cdbLength = 10;
    request.cdb[0] = 0x28;
    request.direction = TDataDirection::In;
    request.data = answer.data();
    request.length = 2048;
    ASSERT_FALSE(UsesBufferedBlock(request));
    const auto block = MakeDirectBlock(request, 0x2000, kSptiLayout32);
    EXPECT_EQ(block[8], 1);
    EXPECT_EQ(GetLE32(&block[12]), 2048u);
}

// 64-bit Windows reads an 8-byte DataBuffer(Offset) at 24, so SenseInfoOffset, the command block
// and the areas behind the 56-byte structure move.
TEST(SptiBlock, SixtyFourBitLayout) {
    std::uint8_t answer[159];
    const auto buffered = MakeBufferedBlock(ModeSenseCapabilities(answer, TScsiCarrier::PassThrough), kSptiLayout64);
    EXPECT_EQ(buffered.size(), 56u + 128 + 512);
    EXPECT_EQ(GetLE16(&buffered[0]), 56);
    EXPECT_EQ(buffered[6], 10);
    EXPECT_EQ(GetLE32(&buffered[20]), 0u);  // padding before the 8-byte field
    EXPECT_EQ(GetLE32(&buffered[24]), 184u);
    EXPECT_EQ(GetLE32(&buffered[28]), 0u);
    EXPECT_EQ(GetLE32(&buffered[32]), 56u);
    EXPECT_EQ(buffered[36], 0x5A);  // MODE SENSE(10)
    EXPECT_EQ(buffered[38], 0x2A);

    std::vector<std::uint8_t> data(2048);
    const auto direct = MakeDirectBlock(Write10(7, 1, data.data()), 0x0000'7FF6'1234'5670, kSptiLayout64);
    EXPECT_EQ(direct.size(), 56u + 128);
    EXPECT_EQ(direct[4], 1);
    EXPECT_EQ(GetLE32(&direct[24]), 0x1234'5670u);
    EXPECT_EQ(GetLE32(&direct[28]), 0x7FF6u);
    EXPECT_EQ(GetLE32(&direct[32]), 56u);
    EXPECT_EQ(direct[36], 0x2A);
    EXPECT_THROW(MakeDirectBlock(Write10(7, 1, data.data()), 0x1'0000'0000, kSptiLayout32), std::invalid_argument);
}

// The system puts the sense data where SenseInfoOffset points and its length in SenseInfoLength.
TEST(SptiBlock, CheckConditionBringsTheSenseDataTheSystemWrote) {
    std::vector<std::uint8_t> data(20480);
    for (const auto& layout : {kSptiLayout32, kSptiLayout64}) {
        const std::vector<TSptiBlock> blocks = {MakeBufferedBlock(TestUnitReady(), layout),
                                                MakeDirectBlock(Write10(0, 10, data.data()), 0, layout)};
        for (auto block : blocks) {
            block[spti::ScsiStatus] = kStatusCheckCondition;
            const auto sense = FixedSense({0x03, 0x0C, 0x00});
            block[spti::SenseInfoLength] = std::uint8_t(sense.size());
            std::copy(sense.begin(), sense.end(), block.begin() + GetLE32(&block[layout.senseInfoOffset]));
            const auto reply = SptiReply(block, layout);
            EXPECT_TRUE(reply.delivered);
            EXPECT_EQ(reply.status, kStatusCheckCondition);
            EXPECT_EQ(reply.sense, sense);
            block[spti::ScsiStatus] = 0;
            EXPECT_TRUE(SptiReply(block, layout).sense.empty());
        }
    }
}

// The system leaves the bytes that moved in DataTransferLength.
TEST(SptiBlock, DataTransferLengthTellsWhatMoved) {
    std::vector<std::uint8_t> data(20480);
    for (const auto& layout : {kSptiLayout32, kSptiLayout64}) {
        auto block = MakeDirectBlock(Read10(20, 10, data.data()), 0, layout);
        EXPECT_EQ(SptiReply(block, layout).transferred, 20480u);
        PutLE32(&block[spti::DataTransferLength], 2048);
        EXPECT_EQ(SptiReply(block, layout).transferred, 2048u);
    }
}

TEST(SptiBlock, RefusesABadCommandBlockLength) {
    TScsiRequest request;
    EXPECT_THROW(MakeBufferedBlock(request, kSptiLayout32), std::invalid_argument);
    request.cdbLength = 17;
    EXPECT_THROW(MakeDirectBlock(request, 0, kSptiLayout32), std::invalid_argument);
}

}  // namespace
}  // namespace bootdisk
