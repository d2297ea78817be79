// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sim/SimAspi.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "base/Bytes.h"

namespace bootdisk {

// The event of one request: the layer finishes the request when the event is waited for long enough.
class TSimAspi::TEvent : public IAspiEvent {
public:
    static constexpr std::chrono::milliseconds kForever{0xFFFFFFFF};  // INFINITE of the Windows waits

    explicit TEvent(TSimAspi& layer) : layer_(layer) {}
    ~TEvent() override { Drop(); }

    bool Wait(std::chrono::milliseconds limit) override {
        if (signalled_) return true;
        // A wait without limit on a request that never completes hangs the program.
        if (limit >= kForever && (stalled_ || !completion_))
            throw std::logic_error("waiting without limit for a request that never completes");
        const auto delay = layer_.config_.completionDelay;
        if (completion_ && !stalled_ && delay <= limit) {
            layer_.Pass(delay);
            Finish();
            return true;
        }
        layer_.Pass(limit);
        return false;
    }
    void Reset() override { signalled_ = false; }

    void Owe(std::span<std::uint8_t> block, bool stalled, std::function<void()> completion) {
        block_ = block;
        stalled_ = stalled;
        completion_ = std::move(completion);
        layer_.pending_.push_back(this);
    }
    bool Holds(std::span<std::uint8_t> block) const { return completion_ && block_.data() == block.data(); }
    // The request is given up: nothing more is written into its block.
    void Drop() {
        completion_ = nullptr;
        std::erase(layer_.pending_, this);
    }

private:
    void Finish() {
        auto completion = std::move(completion_);
        Drop();
        completion();
        signalled_ = true;
    }

    TSimAspi& layer_;
    std::span<std::uint8_t> block_;
    std::function<void()> completion_;
    bool stalled_ = false;
    bool signalled_ = false;
};

namespace {

void PutText(std::span<std::uint8_t> block, std::size_t offset, std::string_view text) {
    std::fill_n(block.begin() + std::ptrdiff_t(offset), 16, std::uint8_t(' '));
    std::copy_n(text.begin(), std::min<std::size_t>(16, text.size()), block.begin() + std::ptrdiff_t(offset));
}

}  // namespace

TSimAspi::TSimAspi(std::vector<TSimAspiAdapter> adapters, TSimAspiConfig config, TWait wait)
    : adapters_(std::move(adapters)), config_(config), wait_(std::move(wait)) {}

TSimAspi::~TSimAspi() = default;

std::uint32_t TSimAspi::GetASPI32SupportInfo() {
    return std::uint32_t(config_.supportStatus) << 8 | config_.reportedAdapters.value_or(std::uint8_t(adapters_.size()));
}

std::unique_ptr<IAspiEvent> TSimAspi::NewEvent() { return std::make_unique<TEvent>(*this); }

TSimWriter* TSimAspi::Writer(TAspiAddress address) {
    if (address.adapter >= adapters_.size()) return nullptr;
    for (auto& unit : adapters_[address.adapter].units)
        if (unit.target == address.target && unit.lun == address.lun) return unit.writer.get();
    return nullptr;
}

void TSimAspi::Pass(std::chrono::milliseconds time) {
    waits_.push_back(time);
    if (wait_) wait_(time);
}

std::uint8_t TSimAspi::SendASPI32Command(const TAspiRequest& request) {
    auto block = request.block;
    if (block.size() < srb::HeaderSize) return srb::SS_INVALID_SRB;
    TSimAspiLogEntry entry;
    entry.command = block[srb::Cmd];
    entry.address.adapter = block[srb::HaId];
    std::uint8_t status = srb::SS_INVALID_CMD;
    switch (entry.command) {
        case srb::SC_HA_INQUIRY: status = Inquire(block); break;
        case srb::SC_GET_DEV_TYPE:
            if (block.size() >= srbdev::Size) {
                entry.address = {block[srb::HaId], block[srbdev::Target], block[srbdev::Lun]};
                status = DeviceType(block);
            }
            break;
        case srb::SC_EXEC_SCSI_CMD: status = Exec(request, entry); break;
        case srb::SC_ABORT_SRB: status = Abort(request, entry); break;
        default: break;
    }
    block[srb::Status] = status;
    entry.returned = status;
    log_.push_back(entry);
    return status;
}

std::uint8_t TSimAspi::Inquire(std::span<std::uint8_t> block) {
    if (block.size() < srbha::Size) return srb::SS_INVALID_SRB;
    const auto adapter = block[srb::HaId];
    if (adapter >= adapters_.size()) return srb::SS_INVALID_HA;
    block[srbha::HA_Count] = std::uint8_t(adapters_.size());
    block[srbha::HA_SCSI_ID] = 7;
    PutText(block, srbha::HA_ManagerId, "ASPI for WIN32");
    PutText(block, srbha::HA_Identifier, "SIM ADAPTER " + std::to_string(adapter));
    std::fill_n(block.begin() + srbha::HA_Unique, 16, std::uint8_t(0));
    block[srbha::MaxTargets] = adapters_[adapter].maxTargets;
    return srb::SS_COMP;
}

std::uint8_t TSimAspi::DeviceType(std::span<std::uint8_t> block) {
    auto* writer = Writer({block[srb::HaId], block[srbdev::Target], block[srbdev::Lun]});
    if (block[srb::HaId] >= adapters_.size()) return srb::SS_INVALID_HA;
    if (!writer) return srb::SS_NO_DEVICE;  // the device-type byte stays as it was
    block[srbdev::DeviceType] = writer->Config().peripheral & 0x1F;
    return srb::SS_COMP;
}

std::uint8_t TSimAspi::Exec(const TAspiRequest& request, TSimAspiLogEntry& entry) {
    auto block = request.block;
    if (block.size() < srbexec::Size) return srb::SS_INVALID_SRB;
    entry.address = {block[srb::HaId], block[srbexec::Target], block[srbexec::Lun]};
    entry.opcode = block[srbexec::CDBByte];
    if (entry.address.adapter >= adapters_.size()) return srb::SS_INVALID_HA;
    auto* writer = Writer(entry.address);
    if (!writer) return srb::SS_NO_DEVICE;
    auto* event = dynamic_cast<TEvent*>(request.event);
    const auto flags = block[srb::Flags];
    const bool in = flags & srb::SRB_DIR_IN, out = flags & srb::SRB_DIR_OUT;
    const auto cdbLength = block[srbexec::CDBLen];
    TScsiRequest command;
    command.length = GetLE32(&block[srbexec::BufLen]);
    if (!event || !(flags & srb::SRB_EVENT_NOTIFY) || (in && out) || cdbLength == 0 || cdbLength > command.cdb.size() ||
        (command.length != 0 && (!request.buffer || !(in || out))))
        return srb::SS_INVALID_SRB;
    if (config_.refusal && config_.refusal->opcode == entry.opcode) return config_.refusal->status;

    std::copy_n(block.begin() + srbexec::CDBByte, cdbLength, command.cdb.begin());
    command.cdbLength = cdbLength;
    command.direction = in ? TDataDirection::In : out ? TDataDirection::Out : TDataDirection::None;
    command.data = request.buffer;
    std::optional<std::uint8_t> hostFault;
    if (config_.hostFault && config_.hostFault->opcode == entry.opcode) hostFault = config_.hostFault->status;
    event->Owe(block, config_.neverCompletes == entry.opcode, [block, command, writer, hostFault] {
        if (hostFault) {
            block[srbexec::HaStat] = *hostFault;
            block[srb::Status] = srb::SS_ERR;
            return;
        }
        const auto reply = writer->Deliver(command);
        const bool whole = !reply.delivered || reply.status != 0 || reply.transferred >= command.length;
        block[srbexec::HaStat] = !reply.delivered ? srb::HASTAT_SEL_TO : whole ? 0 : srb::HASTAT_DO_DU;
        block[srbexec::TargStat] = reply.status;
        // The layer's sense area holds the first bytes of the drive's sense data.
        const auto sense = std::min<std::size_t>(reply.sense.size(), srbexec::kSenseLength);
        std::copy_n(reply.sense.begin(), sense, block.begin() + srbexec::SenseArea);
        block[srb::Status] = reply.delivered && reply.status == 0 && whole ? srb::SS_COMP : srb::SS_ERR;
    });
    return srb::SS_PENDING;
}

std::uint8_t TSimAspi::Abort(const TAspiRequest& request, TSimAspiLogEntry& entry) {
    const auto victim = request.toAbort;
    const auto found = std::find_if(pending_.begin(), pending_.end(), [&](TEvent* e) { return e->Holds(victim); });
    if (found == pending_.end() || victim.size() < srbexec::Size) return srb::SS_ABORT_FAIL;
    entry.address = {victim[srb::HaId], victim[srbexec::Target], victim[srbexec::Lun]};
    entry.opcode = victim[srbexec::CDBByte];
    (*found)->Drop();
    victim[srb::Status] = srb::SS_ABORTED;
    return srb::SS_COMP;
}

std::shared_ptr<TSimAspi> MakeSimAspi(std::string_view name) {
    constexpr std::string_view kScheme = "sim-aspi:";
    if (!name.starts_with(kScheme)) return nullptr;
    auto writer = MakeSimWriter("sim:" + std::string(name.substr(kScheme.size())));
    if (!writer) return nullptr;
    auto disk = std::make_unique<TSimWriter>();
    disk->Config().peripheral = 0x00;
    std::vector<TSimAspiAdapter> adapters(1);
    adapters[0].units.push_back({0, 0, std::move(disk)});
    adapters[0].units.push_back({1, 0, std::move(writer)});
    return std::make_shared<TSimAspi>(std::move(adapters));
}

}  // namespace bootdisk
