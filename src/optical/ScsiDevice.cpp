// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/ScsiDevice.h"

#include <algorithm>
#include <vector>

#include "base/Bytes.h"

namespace bootdisk {

namespace {

constexpr std::uint64_t kChunk = 10 * kBlockSize;  // the most one WRITE(10) carries

struct TBufferCapacity {
    std::uint32_t length = 0, blank = 0;
};

TBufferCapacity ParseBufferCapacity(const std::array<std::uint8_t, buffercap::kSize>& answer) {
    return {GetBE32(&answer[buffercap::kLength]), GetBE32(&answer[buffercap::kBlankLength])};
}

double BufferFill(const TBufferCapacity& capacity, std::uint32_t length) {
    const auto blank = std::min(capacity.blank, length);
    return double(length - blank) / double(length);
}

}  // namespace

TScsiDevice::TScsiDevice(std::unique_ptr<IScsiTransport> transport, TPollOptions pollOptions, TScsiCarrier carrier,
                         std::uint8_t lun)
    : transport_(std::move(transport)), pollOptions_(std::move(pollOptions)), carrier_(carrier), lun_(lun) {}

void TScsiDevice::Identify() {
    std::array<std::uint8_t, inquiry::kSize> answer{};
    Send(Inquiry(answer.data()));
    InquiryInfo = DecodeInquiry(answer);
    DisplayName = InquiryInfo.Product + " (" + InquiryInfo.Vendor + ")";
    DeviceType = InquiryInfo.DeviceType;
    TypeName = DeviceTypeNames[DeviceType];
}

TScsiResult TScsiDevice::ReadCapabilityPage() {
    CapabilityPage.fill(0);
    return Send(ModeSenseCapabilities(CapabilityPage.data(), carrier_, lun_));
}

std::string TScsiDevice::Explain(TScsiResult result) const {
    if (result == kScsiOk) return {};
    const auto words = DescribeSense(transport_->LastSense());
    return words.empty() ? transport_->FailureReason() : words;
}

TScsiResult TScsiDevice::Step(TBurnStatus& status, const TScsiRequest& request) {
    const auto result = Send(request);
    status.Reason = Explain(result);
    return result;
}

bool TScsiDevice::IsWriter() {
    ReadCapabilities();
    return Capabilities.WriteCDR || Capabilities.WriteCDRW;
}

TScsiResult TScsiDevice::Blank(bool full, const TPollCallback& callback) {
    return PollUntilComplete(*transport_, BlankDisc(full ? TBlankType::WholeDisc : TBlankType::Minimal), callback,
                             pollOptions_);
}

bool TScsiDevice::CheckReady(TDiscState& state) {
    const auto held = transport_->HoldOpen();
    if (const auto result = Send(TestUnitReady()); result != kScsiOk) {
        state.Code = burncode::NotReady;
        state.Result = result;
        state.Reason = Explain(result);
        return false;
    }
    if (DeviceType != kDeviceTypeCdRom) {
        state.Code = burncode::NotCdRom;
        return false;
    }
    if (const auto result = Send(ReadDiscInformation(state.DiscInformation.data())); result != kScsiOk) {
        state.Code = burncode::ScsiError;
        state.Result = result;
        state.Reason = Explain(result);
        return false;
    }
    const auto status = state.DiscInformation[discinfo::kStatus];
    state.Erasable = (status & discinfo::kErasable) != 0;
    state.DiscStatus = status & discinfo::kDiscStatusMask;
    return true;
}

void TScsiDevice::ReportBuffer(TBurnStage stage) {
    std::array<std::uint8_t, buffercap::kSize> answer{};
    if (Send(ReadBufferCapacity(answer.data())) != kScsiOk) return;
    const auto capacity = ParseBufferCapacity(answer);
    if (capacity.length < kBlockSize) return;
    BurningIO->Progress(stage, 0.0, BufferFill(capacity, capacity.length));
}

bool TScsiDevice::WriteImage(TBurnStatus& status, TStream& source, TBurningIO* io) {
    const auto held = transport_->HoldOpen();
    BurningIO = io ? io : &idle_;
    auto& sink = *BurningIO;
    sink.StageChanged(TBurnStage::Prepare);

    TWriteParameters parameters{};
    status.Result = Step(status, ModeSenseWriteParameters(parameters.data(), lun_));
    status.Code = burncode::GetWriteParameters;
    if (status.Result != kScsiOk && !CarriesWriteParametersPage(parameters)) return false;
    const auto listLength = SetWriteParameters(parameters);
    if (!listLength) return false;
    status.Result = Step(status, ModeSelect(parameters.data(), *listLength, lun_));
    if (status.Result != kScsiOk) return false;

    std::array<std::uint8_t, trackinfo::kSize> track{};
    status.Code = burncode::TrackInformation;
    status.Result = Step(status, ReadTrackInformation(track.data()));
    if (status.Result != kScsiOk) return false;
    status.Code = burncode::InvalidTrack;
    const auto state = track[trackinfo::kState] >> 5;
    if (state != trackinfo::kBlank && state != trackinfo::kReservedBlank) return false;

    status.Code = burncode::NoFreeSpace;
    const std::uint64_t freeBytes = std::uint64_t(GetBE32(&track[trackinfo::kFreeBlocks])) * kBlockSize;
    const std::uint64_t size = source.Size(), position = source.Position();
    const std::uint64_t total = size > position ? size - position : 0;
    if (freeBytes < (total / kChunk + 1) * kChunk) return false;
    std::uint64_t remaining = total;
    std::uint32_t address = GetBE32(&track[trackinfo::kNextWritableAddress]);
    trackStart_ = address;

    std::array<std::uint8_t, buffercap::kSize> answer{};
    status.Result = Step(status, ReadBufferCapacity(answer.data()));
    status.Code = burncode::BufferCapacity;
    const std::uint32_t bufferLength = ParseBufferCapacity(answer).length;
    if (status.Result != kScsiOk || bufferLength < kBlockSize) return false;

    sink.StageChanged(TBurnStage::Write);
    // Whole blocks only: a buffer that is not a multiple of the block size takes one block less.
    const std::uint64_t chunk = std::min<std::uint64_t>(kChunk, bufferLength) / kBlockSize * kBlockSize;
    std::vector<std::uint8_t> data(std::size_t(kChunk + kBlockSize));
    while (remaining > 0) {
        std::fill(data.begin(), data.end(), std::uint8_t(0));
        const auto count = std::size_t(std::min(remaining, chunk));
        if (source.Read(data.data(), count) != count) {
            status.Code = burncode::WriteError;
            return false;
        }
        remaining -= count;
        status.Result = Step(status, ReadBufferCapacity(answer.data()));
        status.Code = burncode::BufferCapacity;
        if (status.Result != kScsiOk) return false;
        const auto blocks = std::uint16_t((count + kBlockSize - 1) / kBlockSize);
        status.Code = burncode::WriteError;
        if (Step(status, Write10(address, blocks, data.data())) != kScsiOk) return false;
        address += blocks;
        sink.Progress(TBurnStage::Prepare, double(total - remaining + 1) / double(total + 1),
                      BufferFill(ParseBufferCapacity(answer), bufferLength));
    }

    const auto close = [&](TBurnStage stage, std::uint8_t code, const TScsiRequest& command, TBurnStage report) {
        sink.StageChanged(stage);
        status.Code = code;
        const auto result = PollUntilComplete(*transport_, command, [this, report] { ReportBuffer(report); },
                                              pollOptions_);
        status.Reason = Explain(result);
        return result == kScsiOk;
    };
    return close(TBurnStage::SyncCache, burncode::SyncCache, SynchronizeCache(), TBurnStage::Write) &&
           close(TBurnStage::CloseTrack, burncode::CloseTrack, CloseTrack(), TBurnStage::Write) &&
           close(TBurnStage::CloseSession, burncode::CloseSession, CloseSession(), TBurnStage::CloseTrack);
}

bool TScsiDevice::ReadBack(TReadBackStatus& status, TStream& source, TBurningIO* io) {
    const auto held = transport_->HoldOpen();
    auto& sink = io ? *io : idle_;
    sink.StageChanged(TBurnStage::ReadBack);
    // Only the image's own blocks: the run-out blocks after a track-at-once track do not read.
    const auto blocks = std::uint32_t((source.Remaining() + kBlockSize - 1) / kBlockSize);
    std::vector<std::uint8_t> expected(kChunk), read(kChunk);
    // From the disc, not from what the drive's cache holds of it, while the drive takes FUA.
    auto from = TReadFrom::Medium;
    for (std::uint32_t done = 0; done < blocks;) {
        const auto count = std::uint16_t(std::min<std::uint64_t>(kChunk / kBlockSize, blocks - done));
        const auto bytes = std::size_t(count) * kBlockSize;
        // A last partial block was recorded padded with zeros.
        std::fill(expected.begin(), expected.end(), std::uint8_t(0));
        source.Read(expected.data(), bytes);
        // Every byte unlike the one expected: a read that fills nothing cannot pass for a match.
        std::transform(expected.begin(), expected.end(), read.begin(), [](std::uint8_t b) { return std::uint8_t(~b); });
        status.Sector = done;
        status.Result = Send(Read10(trackStart_ + done, count, read.data(), from));
        if (from == TReadFrom::Medium && RefusesAsIllegal(status.Result)) {
            from = TReadFrom::AnyCache;
            transport_->Remark("the drive refuses READ(10) with FUA as an illegal request; reading back without it");
            status.Result = Send(Read10(trackStart_ + done, count, read.data(), from));
        }
        if (status.Result != kScsiOk) {
            status.Unreadable = true;
            status.Reason = Explain(status.Result);
            return false;
        }
        const auto differs = std::mismatch(expected.begin(), expected.begin() + std::ptrdiff_t(bytes), read.begin());
        if (differs.first != expected.begin() + std::ptrdiff_t(bytes)) {
            status.Sector = done + std::uint32_t((differs.first - expected.begin()) / std::ptrdiff_t(kBlockSize));
            return false;
        }
        done += count;
        sink.Progress(TBurnStage::ReadBack, double(done) / double(blocks), 0.0);
    }
    return true;
}

bool TScsiDevice::RefusesAsIllegal(TScsiResult result) const {
    if (result != kScsiCheckCondition && result != kScsiTargetError) return false;
    const auto sense = DecodeSense(transport_->LastSense());
    return sense && sense->key == kSenseIllegalRequest;
}

}  // namespace bootdisk
