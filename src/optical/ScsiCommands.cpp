// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/ScsiCommands.h"

#include "base/Bytes.h"
#include "optical/ScsiFormat.h"

namespace bootdisk {

namespace {

TScsiRequest Command(std::uint8_t opcode, std::uint8_t cdbLength, TDataDirection direction = TDataDirection::None,
                     std::uint8_t* data = nullptr, std::uint32_t length = 0,
                     std::uint32_t timeout = scsi::kLongTimeout) {
    TScsiRequest request;
    request.cdb[0] = opcode;
    request.cdbLength = cdbLength;
    request.direction = direction;
    request.data = data;
    request.length = length;
    request.timeoutSeconds = timeout;
    return request;
}

// A ten-byte command reading an answer of size bytes, the allocation length in bytes 7..8.
TScsiRequest ReadCommand(std::uint8_t opcode, std::uint8_t* answer, std::uint16_t size,
                         std::uint32_t timeout = scsi::kLongTimeout) {
    auto request = Command(opcode, 10, TDataDirection::In, answer, size, timeout);
    PutBE16(&request.cdb[7], size);
    return request;
}

// WRITE(10) and READ(10): blocks of 2048 bytes from the logical block address.
TScsiRequest BlockTransfer(std::uint8_t opcode, TDataDirection direction, std::uint32_t address,
                           std::uint16_t blocks, std::uint8_t* data) {
    auto request = Command(opcode, 10, direction, data, std::uint32_t(blocks) * kBlockSize);
    request.wholeTransfer = true;
    PutBE32(&request.cdb[2], address);
    PutBE16(&request.cdb[7], blocks);
    return request;
}

std::uint8_t WithLun(std::uint8_t lun, std::uint8_t bits) { return std::uint8_t(lun << 5 | bits); }

}  // namespace

TScsiRequest TestUnitReady() { return Command(scsi::kTestUnitReady, 6); }

TScsiRequest Inquiry(std::uint8_t* answer) {
    auto request = Command(scsi::kInquiry, 6, TDataDirection::In, answer, inquiry::kSize, scsi::kShortTimeout);
    request.cdb[4] = std::uint8_t(inquiry::kSize);
    return request;
}

TScsiRequest ModeSenseWriteParameters(std::uint8_t* answer, std::uint8_t lun) {
    auto request = ReadCommand(scsi::kModeSense10, answer, writeparams::kBufferSize);
    request.cdb[1] = WithLun(lun, 0x08);
    request.cdb[2] = writeparams::kCode;
    return request;
}

TScsiRequest ModeSenseCapabilities(std::uint8_t* answer, TScsiCarrier carrier, std::uint8_t lun) {
    auto request = ReadCommand(scsi::kModeSense10, answer, capspage::kAnswerSize, scsi::kShortTimeout);
    request.cdb[1] = carrier == TScsiCarrier::Aspi ? WithLun(lun, 0x08) : 0;
    request.cdb[2] = capspage::kCode;
    return request;
}

TScsiRequest ModeSelect(std::uint8_t* parameters, std::uint16_t length, std::uint8_t lun) {
    auto request = Command(scsi::kModeSelect10, 10, TDataDirection::Out, parameters, length);
    request.wholeTransfer = true;
    request.cdb[1] = WithLun(lun, 0x10);
    PutBE16(&request.cdb[7], length);
    return request;
}

TScsiRequest ReadTrackInformation(std::uint8_t* answer) {
    auto request = ReadCommand(scsi::kReadTrackInformation, answer, trackinfo::kSize);
    request.cdb[1] = 0x01;
    PutBE32(&request.cdb[2], trackinfo::kInvisibleTrack);
    return request;
}

TScsiRequest ReadBufferCapacity(std::uint8_t* answer) {
    return ReadCommand(scsi::kReadBufferCapacity, answer, buffercap::kSize);
}

TScsiRequest ReadDiscInformation(std::uint8_t* answer) {
    return ReadCommand(scsi::kReadDiscInformation, answer, discinfo::kSize);
}

TScsiRequest Write10(std::uint32_t address, std::uint16_t blocks, std::uint8_t* data) {
    return BlockTransfer(scsi::kWrite10, TDataDirection::Out, address, blocks, data);
}

TScsiRequest Read10(std::uint32_t address, std::uint16_t blocks, std::uint8_t* data, TReadFrom from) {
    auto request = BlockTransfer(scsi::kRead10, TDataDirection::In, address, blocks, data);
    if (from == TReadFrom::Medium) request.cdb[1] = scsi::kForceUnitAccess;
    return request;
}

TScsiRequest GetConfiguration(std::uint8_t* answer) {
    auto request = ReadCommand(scsi::kGetConfiguration, answer, getconfig::kSize);
    request.cdb[1] = 0x02;
    PutBE16(&request.cdb[2], 0x0020);
    return request;
}

TScsiRequest SynchronizeCache() {
    auto request = Command(scsi::kSynchronizeCache, 10);
    request.cdb[1] = 0x02;
    return request;
}

TScsiRequest CloseTrack() {
    auto request = Command(scsi::kCloseTrackSession, 10);
    request.cdb[1] = 0x01;
    request.cdb[2] = 0x01;
    PutBE16(&request.cdb[4], std::uint16_t(trackinfo::kInvisibleTrack));
    return request;
}

TScsiRequest CloseSession() {
    auto request = Command(scsi::kCloseTrackSession, 10);
    request.cdb[1] = 0x01;
    request.cdb[2] = 0x02;
    return request;
}

TScsiRequest BlankDisc(TBlankType type) {
    auto request = Command(scsi::kBlank, 12, TDataDirection::None, nullptr, 0, scsi::kShortTimeout);
    request.cdb[1] = std::uint8_t(0x10 + std::uint8_t(type));
    return request;
}

TScsiRequest EjectDisc() {
    auto request = Command(scsi::kStartStopUnit, 12);
    request.cdb[1] = 0x01;
    request.cdb[4] = 0x02;
    return request;
}

std::string ScsiCommandName(const TScsiRequest& request) {
    switch (request.cdb[0]) {
        case scsi::kTestUnitReady: return "TEST UNIT READY";
        case scsi::kInquiry: return "INQUIRY";
        case scsi::kStartStopUnit: return "START STOP UNIT";
        case scsi::kRead10: return "READ(10)";
        case scsi::kWrite10: return "WRITE(10)";
        case scsi::kSynchronizeCache: return "SYNCHRONIZE CACHE";
        case scsi::kGetConfiguration: return "GET CONFIGURATION";
        case scsi::kReadDiscInformation: return "READ DISC INFORMATION";
        case scsi::kReadTrackInformation: return "READ TRACK INFORMATION";
        case scsi::kModeSelect10: return "MODE SELECT(10)";
        case scsi::kModeSense10: return "MODE SENSE(10)";
        case scsi::kCloseTrackSession: return "CLOSE TRACK/SESSION";
        case scsi::kReadBufferCapacity: return "READ BUFFER CAPACITY";
        case scsi::kBlank: return "BLANK";
        default: break;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    return std::string("command ") + kHex[request.cdb[0] >> 4] + kHex[request.cdb[0] & 0x0F] + "h";
}

std::string ShortTransferText(const TScsiRequest& request, std::optional<std::uint32_t> moved) {
    auto text = ScsiCommandName(request);
    if (request.cdb[0] == scsi::kRead10 || request.cdb[0] == scsi::kWrite10) {
        const auto blocks = GetBE16(&request.cdb[7]);
        text += " of " + std::to_string(blocks) + (blocks == 1 ? " block at " : " blocks at ") +
                std::to_string(GetBE32(&request.cdb[2]));
    }
    const auto length = std::to_string(request.length);
    return text + (moved ? " moved " + std::to_string(*moved) + " of " + length + " bytes"
                         : " did not move its " + length + " bytes (data over-run or under-run)");
}

TScsiResult MapPassThroughResult(const TScsiReply& reply) {
    if (!reply.delivered) return kScsiNoDevice;
    switch (reply.status) {
        case 0x00: return kScsiOk;
        case 0x02: return kScsiCheckCondition;
        case 0x04: return kScsiTargetError;
        default: return kScsiOtherError;
    }
}

TScsiResult MapAspiResult(std::uint8_t requestStatus, std::uint8_t hostStatus, std::uint8_t targetStatus) {
    switch (requestStatus) {
        case 0x00: case 0x01: return kScsiOk;
        case 0x02: case 0x03: return 1;
        case 0x80: return 2;
        case 0x81: return 4;
        case 0x82: return 5;
        case 0xE0: return 6;
        case 0xE1: return 7;
        case 0xE5: return 8;
        case 0xE6: return 9;
        case 0x04: break;
        default: return kScsiOtherError;
    }
    if (hostStatus == 0x09) return 11;
    if (hostStatus == 0x0B) return 12;
    if (hostStatus >= 0x0D && hostStatus <= 0x14) return TScsiResult(13 + (hostStatus - 0x0D));
    if (hostStatus != 0x00) return kScsiOtherError;
    switch (targetStatus) {
        case 0x00: case 0x02: return 21;
        case 0x08: return 22;
        case 0x18: return 23;
        case 0x28: return 24;
        default: return kScsiOtherError;
    }
}

}  // namespace bootdisk
