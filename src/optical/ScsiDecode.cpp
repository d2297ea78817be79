// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/ScsiDecode.h"

#include "base/Bytes.h"
#include "optical/ScsiFormat.h"

namespace bootdisk {

namespace {

std::uint8_t DeviceClass(std::uint8_t byte0) {
    if (byte0 < kDeviceTypeInvalid) return byte0;
    return byte0 == 0x1F ? kDeviceTypeInvalid : kDeviceTypeOther;
}

// Printable bytes from the start of the field, without trailing spaces.
std::string Extract(std::span<const std::uint8_t> field) {
    std::string text;
    for (const auto byte : field) {
        if (byte < 0x20) break;
        text.push_back(char(byte));
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

bool Bit(std::uint8_t byte, std::uint8_t mask) { return (byte & mask) != 0; }

}  // namespace

TInquiryInfo DecodeInquiry(std::span<const std::uint8_t> answer) {
    TInquiryInfo info;
    if (answer.size() < inquiry::kProduct + inquiry::kProductWidth) return info;
    info.DeviceType = DeviceClass(answer[inquiry::kDeviceType]);
    info.RemovableByte = answer[inquiry::kRemovable];
    info.Version = answer[inquiry::kVersion];
    info.ResponseFormat = answer[inquiry::kResponseFormat];
    info.Flags = answer[inquiry::kFlags];
    info.Vendor = Extract(answer.subspan(inquiry::kVendor, inquiry::kVendorWidth));
    info.Product = Extract(answer.subspan(inquiry::kProduct, inquiry::kProductWidth));
    return info;
}

bool DecodeCapabilities(std::span<const std::uint8_t> answer, TCapabilities& caps) {
    if (answer.size() < modeheader::kSize) return false;
    const std::size_t page = modeheader::kSize + GetBE16(&answer[modeheader::kBlockDescriptorLength]);
    if (page + capspage::kFieldsEnd > answer.size()) return false;
    const auto* p = &answer[page];
    const auto read = p[capspage::kReadBits], write = p[capspage::kWriteBits];
    caps.ReadCDR = Bit(read, capspage::kReadCDR);
    caps.ReadCDRW = Bit(read, capspage::kReadCDRW);
    caps.ReadMethod2 = Bit(read, capspage::kReadMethod2);
    caps.ReadDVDROM = Bit(read, capspage::kReadDVDROM);
    caps.ReadDVDR = Bit(read, capspage::kReadDVDR);
    caps.ReadDVDRAM = Bit(read, capspage::kReadDVDRAM);
    caps.WriteCDR = Bit(write, capspage::kWriteCDR);
    caps.WriteCDRW = Bit(write, capspage::kWriteCDRW);
    caps.TestWrite = Bit(write, capspage::kTestWrite);
    caps.WriteDVDR = Bit(write, capspage::kWriteDVDR);
    caps.WriteDVDRAM = Bit(write, capspage::kWriteDVDRAM);
    caps.MaxReadSpeed = GetBE16(p + capspage::kMaxReadSpeed) / capspage::kSpeedUnit;
    caps.MaxWriteSpeed = GetBE16(p + capspage::kMaxWriteSpeed) / capspage::kSpeedUnit;
    return true;
}

bool CarriesWriteParametersPage(const TWriteParameters& buffer) {
    return (buffer[writeparams::kPage] & 0x0F) == writeparams::kCode;
}

std::optional<std::uint16_t> SetWriteParameters(TWriteParameters& buffer) {
    const std::size_t length = std::size_t(buffer[writeparams::kPageLength]) + 10;
    if (length > buffer.size()) return std::nullopt;
    buffer[writeparams::kWriteType] = writeparams::kTrackAtOnce;
    buffer[writeparams::kTrackMode] = writeparams::kNextSessionDataTrack;
    buffer[writeparams::kDataBlockType] = writeparams::kMode1;
    buffer[writeparams::kHostApplicationCode] = 0;
    buffer[writeparams::kSessionFormat] = 0;
    PutBE16(&buffer[writeparams::kAudioPauseLength], 0);
    PutBE16(&buffer[modeheader::kDataLength], 0);
    return std::uint16_t(length);
}

}  // namespace bootdisk
