// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/ScsiDecode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/Bytes.h"

namespace bootdisk {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes InquiryAnswer(std::uint8_t type, const char* vendor, const char* product) {
    Bytes answer(165, 0);
    answer[0] = type;
    answer[1] = 0x80;
    answer[2] = 0x05;
    answer[3] = 0x32;
    answer[7] = 0x10;
    std::memcpy(&answer[8], vendor, std::strlen(vendor));
    std::memcpy(&answer[16], product, std::strlen(product));
    return answer;
}

TEST(ScsiDecodeTest, InquiryTextsStopAtControlBytesAndLoseTrailingSpaces) {
    auto info = DecodeInquiry(InquiryAnswer(0x05, "ACME    ", "DVDRW 1234      "));
    EXPECT_EQ(info.Vendor, "ACME");
    EXPECT_EQ(info.Product, "DVDRW 1234");
    EXPECT_EQ(info.DeviceType, 5);
    EXPECT_EQ(info.RemovableByte, 0x80);
    EXPECT_EQ(info.Version, 0x05);
    EXPECT_EQ(info.ResponseFormat, 0x32);
    EXPECT_EQ(info.Flags, 0x10);

    EXPECT_EQ(DecodeInquiry(InquiryAnswer(5, "ABC     ", "")).Vendor, "ABC");
    EXPECT_EQ(DecodeInquiry(InquiryAnswer(5, "ABC\x01XYZW", "")).Vendor, "ABC");
    // A field filled to its width does not run into the next one.
    info = DecodeInquiry(InquiryAnswer(5, "VENDORXY", "PRODUCT-SIXTEEN!"));
    EXPECT_EQ(info.Vendor, "VENDORXY");
    EXPECT_EQ(info.Product, "PRODUCT-SIXTEEN!");

    const auto empty = DecodeInquiry(Bytes(165, 0));
    EXPECT_EQ(empty.DeviceType, 0);
    EXPECT_EQ(empty.Vendor, "");
    EXPECT_EQ(DecodeInquiry(Bytes(10, 0x41)).Vendor, "");
}

TEST(ScsiDecodeTest, DeviceClassKeepsKnownTypesOnly) {
    const auto type = [](std::uint8_t byte0) { return DecodeInquiry(InquiryAnswer(byte0, "", "")).DeviceType; };
    EXPECT_EQ(type(0x05), 5);
    EXPECT_STREQ(DeviceTypeNames[type(0x05)], "CDROM");
    EXPECT_EQ(type(0x09), 9);
    EXPECT_EQ(type(0x0A), 12);
    EXPECT_EQ(type(0x1F), 10);
    EXPECT_STREQ(DeviceTypeNames[type(0x1F)], "Invalid");
    EXPECT_EQ(type(0x7F), 12);
    EXPECT_STREQ(DeviceTypeNames[type(0x7F)], "Other");
    EXPECT_EQ(type(0x25), 12);  // a qualifier bit makes it another class
}

Bytes CapabilityAnswer(std::uint16_t descriptorLength, std::uint8_t readBits, std::uint8_t writeBits,
                       std::uint16_t readSpeed, std::uint16_t writeSpeed) {
    Bytes answer(159, 0);
    PutBE16(&answer[6], descriptorLength);
    const std::size_t page = 8 + descriptorLength;
    answer[page] = 0x2A;
    answer[page + 2] = readBits;
    answer[page + 3] = writeBits;
    PutBE16(&answer[page + 8], readSpeed);
    PutBE16(&answer[page + 18], writeSpeed);
    return answer;
}

TEST(ScsiDecodeTest, CapabilityBitsAndSpeedsComeFromThePageAfterAnyBlockDescriptor) {
    for (const std::uint16_t descriptors : {std::uint16_t(0), std::uint16_t(8)}) {
        SCOPED_TRACE(descriptors);
        TCapabilities caps;
        ASSERT_TRUE(DecodeCapabilities(CapabilityAnswer(descriptors, 0x3F, 0x37, 7056, 1764), caps));
        EXPECT_TRUE(caps.ReadCDR && caps.ReadCDRW && caps.ReadMethod2 && caps.ReadDVDROM && caps.ReadDVDR &&
                    caps.ReadDVDRAM);
        EXPECT_TRUE(caps.WriteCDR && caps.WriteCDRW && caps.TestWrite && caps.WriteDVDR && caps.WriteDVDRAM);
        EXPECT_EQ(caps.MaxReadSpeed, 40u);
        EXPECT_EQ(caps.MaxWriteSpeed, 10u);
    }
    TCapabilities caps;
    ASSERT_TRUE(DecodeCapabilities(CapabilityAnswer(0, 0x01, 0x02, 176, 175), caps));
    EXPECT_TRUE(caps.ReadCDR);
    EXPECT_FALSE(caps.ReadCDRW);
    EXPECT_FALSE(caps.WriteCDR);
    EXPECT_TRUE(caps.WriteCDRW);
    EXPECT_FALSE(caps.TestWrite);
    EXPECT_EQ(caps.MaxReadSpeed, 1u);
    EXPECT_EQ(caps.MaxWriteSpeed, 0u);
}

TEST(ScsiDecodeTest, CapabilityAnswerTooShortForItsBlockDescriptorsChangesNothing) {
    TCapabilities caps;
    caps.WriteCDR = true;
    auto answer = CapabilityAnswer(0, 0, 0, 0, 0);
    PutBE16(&answer[6], 0xFFF0);
    EXPECT_FALSE(DecodeCapabilities(answer, caps));
    EXPECT_FALSE(DecodeCapabilities(Bytes(4, 0), caps));
    EXPECT_TRUE(caps.WriteCDR);
}

TEST(ScsiDecodeTest, WriteParametersChangeOnlyTheRecordingFields) {
    TWriteParameters buffer{};
    for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = std::uint8_t(0xA0 + i);
    buffer[8] = 0x85;  // PS bit set, page 05h
    buffer[9] = 0x32;
    EXPECT_TRUE(CarriesWriteParametersPage(buffer));
    auto expected = buffer;
    const auto length = SetWriteParameters(buffer);
    ASSERT_TRUE(length);
    EXPECT_EQ(*length, 0x32 + 10);
    expected[0] = expected[1] = 0;
    expected[10] = 0x01;
    expected[11] = 0xC4;
    expected[12] = 0x08;
    expected[15] = 0x00;
    expected[16] = 0x00;
    expected[22] = expected[23] = 0x00;
    EXPECT_EQ(buffer, expected);

    buffer[8] = 0x00;
    EXPECT_FALSE(CarriesWriteParametersPage(buffer));
    buffer[9] = 0x37;  // a page that would run past the buffer
    EXPECT_FALSE(SetWriteParameters(buffer));
}

}  // namespace
}  // namespace bootdisk
