// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/ScsiSense.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace bootdisk {

namespace {

// Fixed format: key in byte 2, ASC and ASCQ in bytes 12 and 13; descriptor format: bytes 1 to 3.
constexpr std::uint8_t kFixedCurrent = 0x70, kFixedDeferred = 0x71, kDescriptorCurrent = 0x72,
                       kDescriptorDeferred = 0x73;
constexpr std::size_t kFixedKey = 2, kFixedAdditionalLength = 7, kFixedAsc = 12, kFixedAscq = 13, kFixedSize = 18;

constexpr std::array<const char*, 16> kKeyNames = {
    "no sense",        "recovered error", "not ready",    "medium error", "hardware error", "illegal request",
    "unit attention",  "data protect",    "blank check",  "vendor specific", "copy aborted", "aborted command",
    "equal",           "volume overflow", "miscompare",   "completed"};

struct TCodeName {
    std::uint8_t asc, ascq;
    const char* name;
};

// The codes a CD/DVD writer commonly reports while it is asked to record or read a disc.
constexpr TCodeName kCodeNames[] = {
    {0x00, 0x00, "no additional sense information"},
    {0x04, 0x00, "logical unit not ready, cause not reportable"},
    {0x04, 0x01, "logical unit is in process of becoming ready"},
    {0x04, 0x02, "logical unit not ready, initializing command required"},
    {0x04, 0x03, "logical unit not ready, manual intervention required"},
    {0x04, 0x04, "logical unit not ready, format in progress"},
    {0x04, 0x07, "logical unit not ready, operation in progress"},
    {0x04, 0x08, "logical unit not ready, long write in progress"},
    {0x06, 0x00, "no reference position found"},
    {0x08, 0x00, "logical unit communication failure"},
    {0x08, 0x01, "logical unit communication time-out"},
    {0x09, 0x00, "track following error"},
    {0x0C, 0x00, "write error"},
    {0x0C, 0x07, "write error - recovery needed"},
    {0x0C, 0x09, "write error - loss of streaming"},
    {0x0C, 0x0A, "write error - padding blocks added"},
    {0x11, 0x00, "unrecovered read error"},
    {0x11, 0x05, "L-EC uncorrectable error"},
    {0x11, 0x06, "CIRC unrecovered error"},
    {0x15, 0x00, "random positioning error"},
    {0x1A, 0x00, "parameter list length error"},
    {0x20, 0x00, "invalid command operation code"},
    {0x21, 0x00, "logical block address out of range"},
    {0x21, 0x02, "invalid address for write"},
    {0x24, 0x00, "invalid field in CDB"},
    {0x25, 0x00, "logical unit not supported"},
    {0x26, 0x00, "invalid field in parameter list"},
    {0x27, 0x00, "write protected"},
    {0x28, 0x00, "not ready to ready change, medium may have changed"},
    {0x29, 0x00, "power on, reset, or bus device reset occurred"},
    {0x2C, 0x00, "command sequence error"},
    {0x30, 0x00, "incompatible medium installed"},
    {0x30, 0x01, "cannot read medium - unknown format"},
    {0x30, 0x02, "cannot read medium - incompatible format"},
    {0x30, 0x05, "cannot write medium - incompatible format"},
    {0x30, 0x06, "cannot format medium - incompatible medium"},
    {0x3A, 0x00, "medium not present"},
    {0x3A, 0x01, "medium not present - tray closed"},
    {0x3A, 0x02, "medium not present - tray open"},
    {0x44, 0x00, "internal target failure"},
    {0x47, 0x00, "SCSI parity error"},
    {0x53, 0x00, "media load or eject failed"},
    {0x57, 0x00, "unable to recover table-of-contents"},
    {0x63, 0x00, "end of user area encountered on this track"},
    {0x64, 0x00, "illegal mode for this track"},
    {0x64, 0x01, "invalid packet size"},
    {0x72, 0x00, "session fixation error"},
    {0x72, 0x01, "session fixation error writing lead-in"},
    {0x72, 0x02, "session fixation error writing lead-out"},
    {0x72, 0x03, "session fixation error - incomplete track in session"},
    {0x72, 0x04, "empty or partially written reserved track"},
    {0x72, 0x05, "no more track reservations allowed"},
    {0x73, 0x00, "CD control error"},
    {0x73, 0x01, "power calibration area almost full"},
    {0x73, 0x02, "power calibration area is full"},
    {0x73, 0x03, "power calibration area error"},
};

}  // namespace

TSenseBytes FixedSense(TSense sense) {
    TSenseBytes bytes(kFixedSize, 0);
    bytes[0] = kFixedCurrent;
    bytes[kFixedKey] = sense.key & 0x0F;
    bytes[kFixedAdditionalLength] = std::uint8_t(kFixedSize - 8);
    bytes[kFixedAsc] = sense.asc;
    bytes[kFixedAscq] = sense.ascq;
    return bytes;
}

std::optional<TSense> DecodeSense(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return std::nullopt;
    const auto code = bytes[0] & 0x7F;
    if ((code == kFixedCurrent || code == kFixedDeferred) && bytes.size() > kFixedAscq)
        return TSense{std::uint8_t(bytes[kFixedKey] & 0x0F), bytes[kFixedAsc], bytes[kFixedAscq]};
    if ((code == kDescriptorCurrent || code == kDescriptorDeferred) && bytes.size() >= 4)
        return TSense{std::uint8_t(bytes[1] & 0x0F), bytes[2], bytes[3]};
    return std::nullopt;
}

std::string SenseText(TSense sense) {
    std::string text = kKeyNames[sense.key & 0x0F];
    const auto* known = std::find_if(std::begin(kCodeNames), std::end(kCodeNames), [&](const TCodeName& code) {
        return code.asc == sense.asc && code.ascq == sense.ascq;
    });
    if (known != std::end(kCodeNames)) text += std::string(": ") + known->name;
    char numbers[16];
    std::snprintf(numbers, sizeof numbers, " (%02X/%02X/%02X)", unsigned(sense.key & 0x0F), unsigned(sense.asc),
                  unsigned(sense.ascq));
    return text + numbers;
}

std::string DescribeSense(std::span<const std::uint8_t> bytes) {
    const auto sense = DecodeSense(bytes);
    return sense ? SenseText(*sense) : std::string();
}

}  // namespace bootdisk
