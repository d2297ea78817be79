#include "optical/SPTI.h"

#include <algorithm>
#include <vector>

#include "base/Bytes.h"
#include "optical/ScsiCommands.h"

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

TSPTIdevice::TSPTIdevice(std::unique_ptr<IScsiTransport> transport, TPollOptions pollOptions)
    : transport_(std::move(transport)), pollOptions_(std::move(pollOptions)) {
    std::array<std::uint8_t, inquiry::kSize> answer{};
    Send(Inquiry(answer.data()));
    InquiryInfo = DecodeInquiry(answer);
    DisplayName = InquiryInfo.Product + " (" + InquiryInfo.Vendor + ")";
    DeviceType = InquiryInfo.DeviceType;
    TypeName = DeviceTypeNames[DeviceType];
    ReadCapabilities();
}

TScsiResult TSPTIdevice::Send(const TScsiRequest& request) {
    return MapPassThroughResult(transport_->Execute(request));
}

bool TSPTIdevice::IsWriter() {
    ReadCapabilities();
    return Capabilities.WriteCDR || Capabilities.WriteCDRW;
}

TScsiResult TSPTIdevice::Eject() { return Send(EjectDisc()); }

TScsiResult TSPTIdevice::Blank(bool full, const TPollCallback& callback) {
    return PollUntilComplete(*transport_, BlankDisc(full ? TBlankType::WholeDisc : TBlankType::Minimal), callback,
                             pollOptions_);
}

TScsiResult TSPTIdevice::ReadCapabilities() {
    CapabilityPage.fill(0);
    const auto result = Send(ModeSenseCapabilities(CapabilityPage.data(), TScsiCarrier::PassThrough));
    if (result == kScsiOk) DecodeCapabilities(CapabilityPage, Capabilities);
    return result;
}

bool TSPTIdevice::CheckReady(TDiscState& state) {
    if (const auto result = Send(TestUnitReady()); result != kScsiOk) {
        state.Code = burncode::NotReady;
        state.Result = result;
        return false;
    }
    if (DeviceType != kDeviceTypeCdRom) {
        state.Code = burncode::NotCdRom;
        return false;
    }
    if (const auto result = Send(ReadDiscInformation(state.DiscInformation.data())); result != kScsiOk) {
        state.Code = burncode::ScsiError;
        state.Result = result;
        return false;
    }
    const auto status = state.DiscInformation[discinfo::kStatus];
    state.Erasable = (status & discinfo::kErasable) != 0;
    state.DiscStatus = status & discinfo::kDiscStatusMask;
    return true;
}

void TSPTIdevice::ReportBuffer(TBurnStage stage) {
    std::array<std::uint8_t, buffercap::kSize> answer{};
    if (Send(ReadBufferCapacity(answer.data())) != kScsiOk) return;
    const auto capacity = ParseBufferCapacity(answer);
    if (capacity.length < kBlockSize) return;
    BurningIO->Progress(stage, 0.0, BufferFill(capacity, capacity.length));
}

bool TSPTIdevice::WriteImage(TBurnStatus& status, TStream& source, TBurningIO* io) {
    BurningIO = io ? io : &idle_;
    auto& sink = *BurningIO;
    sink.StageChanged(TBurnStage::Prepare);

    TWriteParameters parameters{};
    status.Result = Send(ModeSenseWriteParameters(parameters.data()));
    status.Code = burncode::GetWriteParameters;
    if (status.Result != kScsiOk && !CarriesWriteParametersPage(parameters)) return false;
    const auto listLength = SetWriteParameters(parameters);
    if (!listLength) return false;
    status.Result = Send(ModeSelect(parameters.data(), *listLength));
    if (status.Result != kScsiOk) return false;

    std::array<std::uint8_t, trackinfo::kSize> track{};
    status.Code = burncode::TrackInformation;
    status.Result = Send(ReadTrackInformation(track.data()));
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

    std::array<std::uint8_t, buffercap::kSize> answer{};
    status.Result = Send(ReadBufferCapacity(answer.data()));
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
        status.Result = Send(ReadBufferCapacity(answer.data()));
        status.Code = burncode::BufferCapacity;
        if (status.Result != kScsiOk) return false;
        const auto blocks = std::uint16_t((count + kBlockSize - 1) / kBlockSize);
        status.Code = burncode::WriteError;
        if (Send(Write10(address, blocks, data.data())) != kScsiOk) return false;
        address += blocks;
        sink.Progress(TBurnStage::Prepare, double(total - remaining + 1) / double(total + 1),
                      BufferFill(ParseBufferCapacity(answer), bufferLength));
    }

    const auto closing = [this](TBurnStage stage) { return [this, stage] { ReportBuffer(stage); }; };
    sink.StageChanged(TBurnStage::SyncCache);
    status.Code = burncode::SyncCache;
    if (PollUntilComplete(*transport_, SynchronizeCache(), closing(TBurnStage::Write), pollOptions_) != kScsiOk)
        return false;
    sink.StageChanged(TBurnStage::CloseTrack);
    status.Code = burncode::CloseTrack;
    if (PollUntilComplete(*transport_, CloseTrack(), closing(TBurnStage::Write), pollOptions_) != kScsiOk)
        return false;
    sink.StageChanged(TBurnStage::CloseSession);
    status.Code = burncode::CloseSession;
    return PollUntilComplete(*transport_, CloseSession(), closing(TBurnStage::CloseTrack), pollOptions_) == kScsiOk;
}

}  // namespace bootdisk
