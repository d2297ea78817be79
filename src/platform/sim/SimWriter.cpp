// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sim/SimWriter.h"

#include <algorithm>
#include <cstring>

#include "base/Bytes.h"
#include "optical/ScsiCommands.h"
#include "optical/ScsiFormat.h"

namespace bootdisk {

namespace {

constexpr std::uint8_t kGood = 0x00, kCheckCondition = kStatusCheckCondition;
constexpr std::uint32_t kTrackStart = 0;  // the track starts at block 0 of a blank disc

constexpr TSense kNoDisc{0x02, 0x3A, 0x00}, kLongWrite{0x02, 0x04, 0x08}, kBadOpcode{0x05, 0x20, 0x00},
    kOutOfRange{0x05, 0x21, 0x00}, kBadWriteAddress{0x05, 0x21, 0x02}, kBadField{0x05, 0x24, 0x00},
    kBadParameterLength{0x05, 0x1A, 0x00};
constexpr std::uint32_t kCorruptBlock = 100;
constexpr std::uint32_t kShortReadFrom = 20;

void PutText(std::vector<std::uint8_t>& out, std::size_t offset, std::size_t width, std::string_view text) {
    std::fill_n(out.begin() + std::ptrdiff_t(offset), width, std::uint8_t(' '));
    std::copy_n(text.begin(), std::min(width, text.size()), out.begin() + std::ptrdiff_t(offset));
}

std::vector<std::uint8_t> CapabilitiesPage(std::uint32_t bufferBytes) {
    std::vector<std::uint8_t> page(28);
    page[0] = capspage::kCode;
    page[1] = std::uint8_t(page.size() - 2);
    page[capspage::kReadBits] = capspage::kReadCDR | capspage::kReadCDRW | capspage::kReadMethod2;
    page[capspage::kWriteBits] = capspage::kWriteCDR | capspage::kWriteCDRW | capspage::kTestWrite;
    PutBE16(&page[capspage::kMaxReadSpeed], 40 * capspage::kSpeedUnit);
    PutBE16(&page[12], std::uint16_t(std::min<std::uint32_t>(bufferBytes / 1024, 0xFFFF)));
    PutBE16(&page[capspage::kMaxWriteSpeed], 48 * capspage::kSpeedUnit);
    return page;
}

// The drive's own write parameters: session-at-once with buffer-underrun protection, 16-block packets
// and a two-second audio pause, so that what the recorder changes shows.
std::vector<std::uint8_t> WriteParametersPage() {
    std::vector<std::uint8_t> page(52);
    page[0] = writeparams::kCode;
    page[1] = std::uint8_t(page.size() - 2);
    page[2] = 0x42;
    page[3] = 0x05;
    page[4] = 0x0A;
    PutBE32(&page[10], 16);
    PutBE16(&page[14], 150);
    return page;
}

struct TBlockRange {
    std::uint32_t address, blocks;
};

// The blocks a READ(10) or WRITE(10) moves; nothing when its data does not match them.
std::optional<TBlockRange> BlockRange(const TScsiRequest& request, TDataDirection direction) {
    const TBlockRange range{GetBE32(&request.cdb[2]), GetBE16(&request.cdb[7])};
    if (request.direction != direction || !request.data || request.length != range.blocks * kBlockSize)
        return std::nullopt;
    return range;
}

}  // namespace

TScsiReply TSimWriter::Deliver(const TScsiRequest& request) {
    commands_.push_back({request.cdb, request.cdbLength, request.direction, request.length});
    moved_ = request.direction == TDataDirection::None ? 0 : request.length;
    const bool failing = config_.failingOpcode == request.cdb[0];
    const auto status = failing && !config_.failureCarriesData ? kCheckCondition : Answer(request);
    if (failing) Fail(config_.failingSense);
    if (failing || status == kCheckCondition) return {true, kCheckCondition, FixedSense(sense_)};
    return {true, status, {}, moved_};
}

std::uint8_t TSimWriter::Fail(TSense sense) {
    sense_ = sense;
    return kCheckCondition;
}

std::uint8_t TSimWriter::Answer(const TScsiRequest& request) {
    std::vector<std::uint8_t> out;
    std::uint8_t status = kGood;
    const auto opcode = request.cdb[0];
    const bool medium = opcode != scsi::kInquiry && opcode != scsi::kModeSense10 &&
                        opcode != scsi::kReadBufferCapacity && opcode != scsi::kStartStopUnit;
    if (!config_.ready && medium) return Fail(kNoDisc);
    switch (opcode) {
        case scsi::kTestUnitReady: break;
        case scsi::kInquiry:
            out.assign(inquiry::kSize, 0);
            out[inquiry::kDeviceType] = config_.peripheral;
            out[inquiry::kRemovable] = 0x80;
            out[inquiry::kVersion] = 0x05;
            out[inquiry::kResponseFormat] = 0x02;
            out[4] = std::uint8_t(inquiry::kSize - 5);
            PutText(out, inquiry::kVendor, inquiry::kVendorWidth, "BOOTDISK");
            PutText(out, inquiry::kProduct, inquiry::kProductWidth, "SIM WRITER");
            PutText(out, 32, 4, "1.0");
            break;
        case scsi::kModeSense10: ModeSense(request, out); if (out.empty()) status = Fail(kBadField); break;
        case scsi::kModeSelect10:
            if (request.direction != TDataDirection::Out || !request.data) return Fail(kBadParameterLength);
            modeSelect_.assign(request.data, request.data + request.length);
            break;
        case scsi::kReadDiscInformation:
            if (busy_ > 0) {
                if (!config_.neverCompletes) --busy_;
                pending_ /= 2;
                return Fail(kLongWrite);
            }
            DiscInformation(out);
            break;
        case scsi::kReadTrackInformation:
            if ((request.cdb[1] & 0x03) != 0x01 || GetBE32(&request.cdb[2]) != trackinfo::kInvisibleTrack)
                return Fail(kBadField);
            TrackInformation(out);
            break;
        case scsi::kReadBufferCapacity: BufferCapacity(out); break;
        case scsi::kGetConfiguration:
            // The feature header with the current profile CD-R, then the one feature asked for, not current.
            out.assign(16, 0);
            PutBE32(&out[0], std::uint32_t(out.size() - 4));
            PutBE16(&out[6], 0x0009);
            PutBE16(&out[8], GetBE16(&request.cdb[2]));
            out[10] = 0x04;
            out[11] = 4;
            break;
        case scsi::kWrite10: return Write(request);
        case scsi::kRead10: return Read(request);
        case scsi::kSynchronizeCache: return StartImmediate();
        case scsi::kCloseTrackSession:
            if (request.cdb[2] == 0x02) config_.discStatus = 1;
            return StartImmediate();
        case scsi::kStartStopUnit: break;
        default: return Fail(kBadOpcode);  // BLANK too: a CD-R cannot be erased
    }
    if (request.direction == TDataDirection::In && request.data)
        std::memcpy(request.data, out.data(), std::min<std::size_t>(request.length, out.size()));
    return status;
}

void TSimWriter::ModeSense(const TScsiRequest& request, std::vector<std::uint8_t>& out) const {
    const auto code = request.cdb[2] & 0x3F;
    std::vector<std::uint8_t> page;
    if (code == capspage::kCode) page = CapabilitiesPage(config_.bufferBytes);
    if (code == writeparams::kCode) page = WriteParametersPage();
    if (page.empty()) return;
    const bool descriptor = config_.blockDescriptor && (request.cdb[1] & 0x08) == 0;
    out.assign(modeheader::kSize, 0);
    if (descriptor) {
        PutBE16(&out[modeheader::kBlockDescriptorLength], 8);
        out.resize(out.size() + 8);
        PutBE24(&out[out.size() - 3], kBlockSize);
    }
    out.insert(out.end(), page.begin(), page.end());
    PutBE16(&out[modeheader::kDataLength], std::uint16_t(out.size() - 2));
}

void TSimWriter::DiscInformation(std::vector<std::uint8_t>& out) const {
    out.assign(discinfo::kSize, 0);
    PutBE16(&out[0], discinfo::kSize - 2);
    const std::uint8_t lastSession = config_.discStatus == 0 ? 0 : config_.discStatus == 1 ? 1 : 3;
    out[discinfo::kStatus] = std::uint8_t(lastSession << 2 | (config_.discStatus & discinfo::kDiscStatusMask));
    out[3] = 1;
}

void TSimWriter::TrackInformation(std::vector<std::uint8_t>& out) const {
    const auto written = std::uint32_t(disc_.size() / kBlockSize);
    out.assign(trackinfo::kSize, 0);
    PutBE16(&out[0], trackinfo::kSize - 2);
    out[2] = 1;
    out[trackinfo::kState] = config_.trackState;
    out[7] = 0x01;  // the next writable address is valid
    PutBE32(&out[8], kTrackStart);
    PutBE32(&out[trackinfo::kNextWritableAddress], kTrackStart + written);
    PutBE32(&out[trackinfo::kFreeBlocks], config_.freeBlocks - std::min(written, config_.freeBlocks));
}

void TSimWriter::BufferCapacity(std::vector<std::uint8_t>& out) const {
    out.assign(buffercap::kSize, 0);
    PutBE16(&out[0], buffercap::kSize - 2);
    PutBE32(&out[buffercap::kLength], config_.bufferBytes);
    PutBE32(&out[buffercap::kBlankLength], config_.bufferBytes - std::min(pending_, config_.bufferBytes));
}

std::uint8_t TSimWriter::Write(const TScsiRequest& request) {
    const auto written = std::uint32_t(disc_.size() / kBlockSize);
    const auto range = BlockRange(request, TDataDirection::Out);
    if (!range) return Fail(kBadField);
    const auto [address, blocks] = *range;
    if (address != kTrackStart + written || blocks > config_.freeBlocks - std::min(written, config_.freeBlocks))
        return Fail(kBadWriteAddress);
    disc_.insert(disc_.end(), request.data, request.data + request.length);
    if (const auto bad = config_.corruptBlock; bad && *bad >= written && *bad < written + blocks)
        disc_[std::size_t(*bad) * kBlockSize] ^= 0xFF;
    pending_ = request.length;
    return kGood;
}

std::uint8_t TSimWriter::Read(const TScsiRequest& request) {
    const auto written = std::uint32_t(disc_.size() / kBlockSize);
    const auto range = BlockRange(request, TDataDirection::In);
    if (!range) return Fail(kBadField);
    if (config_.refusesFua && (request.cdb[1] & scsi::kForceUnitAccess) != 0) return Fail(kBadField);
    const auto [address, blocks] = *range;
    if (address < kTrackStart || address - kTrackStart > written || blocks > written - (address - kTrackStart))
        return Fail(kOutOfRange);
    auto moved = blocks;
    if (const auto from = config_.shortReadFrom; from && address - kTrackStart + blocks > *from)
        moved = address - kTrackStart >= *from ? 0 : *from - (address - kTrackStart);
    moved_ = moved * std::uint32_t(kBlockSize);
    std::memcpy(request.data, disc_.data() + std::size_t(address - kTrackStart) * kBlockSize, moved_);
    return kGood;
}

std::uint8_t TSimWriter::StartImmediate() {
    busy_ = config_.busyPolls;
    return kGood;
}

std::unique_ptr<TSimWriter> MakeSimWriter(std::string_view name) {
    TSimWriterConfig config;
    if (name == "sim:appendable")
        config.discStatus = 1;
    else if (name == "sim:notready")
        config.ready = false;
    else if (name == "sim:full")
        config.freeBlocks = 740;
    else if (name == "sim:smallbuffer")
        config.bufferBytes = 1024;
    else if (name == "sim:buffer16k")
        config.bufferBytes = 16 * 1024;
    else if (name == "sim:corrupt")
        config.corruptBlock = kCorruptBlock;
    else if (name == "sim:shortread")
        config.shortReadFrom = kShortReadFrom;
    else if (name != "sim:")
        return nullptr;
    return std::make_unique<TSimWriter>(config, std::string(name));
}

}  // namespace bootdisk
