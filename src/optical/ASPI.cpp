// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/ASPI.h"

#include <algorithm>
#include <stdexcept>

#include "base/Bytes.h"

namespace bootdisk {

namespace {

constexpr std::uint8_t kLunsPerTarget = 8;
constexpr std::uint8_t kDefaultTargets = 8;

// Synchronous requests answer with their status byte; it is read from the call rather than from a
// block that, reused, may still hold the previous answer.
TScsiResult SendAnswered(IAspiLayer& layer, std::span<std::uint8_t> block) {
    return MapAspiResult(layer.SendASPI32Command({block, nullptr, nullptr, {}}), srb::kNoScsiStatus,
                         srb::kNoScsiStatus);
}

class TNeverSignalled : public IAspiEvent {
public:
    bool Wait(std::chrono::milliseconds /*limit*/) override { return false; }
    void Reset() override {}
};

}  // namespace

std::unique_ptr<IAspiEvent> TAbsentAspiLayer::NewEvent() { return std::make_unique<TNeverSignalled>(); }

TASPIinfo QueryAspiSupport(IAspiLayer& layer) {
    TASPIinfo info;
    info.SupportInfo = layer.GetASPI32SupportInfo();
    info.Available = (info.SupportInfo >> 8 & 0xFF) == srb::SS_COMP;
    info.AdapterCount = info.Available ? std::uint8_t(info.SupportInfo & 0xFF) : 0;
    return info;
}

TScsiResult AdapterInquiry(IAspiLayer& layer, std::uint8_t adapter, TSrbHaInquiry& block) {
    block = MakeHaInquiry(adapter);
    const auto result = SendAnswered(layer, block);
    if (block[srbha::MaxTargets] == 0) block[srbha::MaxTargets] = kDefaultTargets;
    return result;
}

TScsiResult DeviceTypeQuery(IAspiLayer& layer, TSrbGetDevType& block, TAspiAddress address) {
    PrepareGetDevType(block, address);
    return SendAnswered(layer, block);
}

struct TAspiTransport::TPending {
    TSrbExec block{};
    std::vector<std::uint8_t> data;
    std::unique_ptr<IAspiEvent> event;
};

TAspiTransport::TAspiTransport(std::shared_ptr<IAspiLayer> layer, TAspiAddress address)
    : layer_(std::move(layer)), address_(address) {}

TAspiTransport::~TAspiTransport() = default;

TScsiResult TAspiTransport::Execute(const TScsiRequest& request) {
    const bool transfers = request.direction != TDataDirection::None && request.length != 0;
    if (transfers && request.data == nullptr) throw std::invalid_argument("SCSI data transfer without a buffer");
    sense_.clear();
    shortfall_.clear();
    auto pending = std::make_unique<TPending>();
    pending->block = MakeExec(request, address_);
    if (transfers) pending->data.assign(request.data, request.data + request.length);
    pending->event = layer_->NewEvent();
    pending->event->Reset();
    const auto returned = layer_->SendASPI32Command(
        {pending->block, transfers ? pending->data.data() : nullptr, pending->event.get(), {}});
    if (returned == srb::SS_PENDING && !pending->event->Wait(kAspiWaitLimit)) {
        auto abort = MakeAbort(address_.adapter);
        layer_->SendASPI32Command({abort, nullptr, nullptr, pending->block});  // its own result tells nothing more
        abandoned_.push_back(std::move(pending));
        return kScsiTimedOut;
    }
    if (transfers && request.direction == TDataDirection::In)
        std::copy(pending->data.begin(), pending->data.end(), request.data);
    sense_ = ExecSense(pending->block);
    if (pending->block[srbexec::HaStat] == srb::HASTAT_DO_DU) shortfall_ = ShortTransferText(request, std::nullopt);
    return ExecResult(pending->block);
}

TASPIdevice::TASPIdevice(std::unique_ptr<IScsiTransport> transport, TAspiAddress address,
                         const TSrbHaInquiry& adapter, const TSrbGetDevType& deviceType, TPollOptions pollOptions)
    : TScsiDevice(std::move(transport), std::move(pollOptions), TScsiCarrier::Aspi, address.lun),
      Address(address),
      AdapterInquiry(adapter),
      DeviceTypeBlock(deviceType) {
    Identify();
    ReadCapabilities();
    std::array<std::uint8_t, getconfig::kSize> answer{};
    if (Send(GetConfiguration(answer.data())) == kScsiOk) {
        CurrentProfile = GetBE32(&answer[getconfig::kCurrentProfile]);
        FeatureHeader = GetBE32(&answer[getconfig::kFeatureHeader]);
    }
}

TScsiResult TASPIdevice::ReadCapabilities() {
    const auto result = ReadCapabilityPage();
    Capabilities = {};
    DecodeCapabilities(CapabilityPage, Capabilities);
    return result;
}

TASPIdevices::TASPIdevices(std::shared_ptr<IAspiLayer> layer, TPollOptions pollOptions) {
    Info = QueryAspiSupport(*layer);
    TSrbHaInquiry adapterBlock{};
    TSrbGetDevType typeBlock{};
    for (unsigned adapter = 0; adapter < Info.AdapterCount; ++adapter) {
        if (AdapterInquiry(*layer, std::uint8_t(adapter), adapterBlock) != kScsiOk) continue;
        const unsigned targets = adapterBlock[srbha::MaxTargets];
        for (unsigned target = 0; target < targets; ++target) {
            for (unsigned lun = 0; lun < kLunsPerTarget; ++lun) {
                const TAspiAddress address{std::uint8_t(adapter), std::uint8_t(target), std::uint8_t(lun)};
                if (DeviceTypeQuery(*layer, typeBlock, address) != kScsiOk) continue;
                devices_.push_back(std::make_unique<TASPIdevice>(std::make_unique<TAspiTransport>(layer, address),
                                                                 address, adapterBlock, typeBlock, pollOptions));
            }
        }
    }
}

}  // namespace bootdisk
