// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An emulated ASPI layer: adapters with targets and LUNs, each present unit an emulated MMC writer,
// answering the request blocks as the ASPI for Win32 interface defines them. Requests complete when
// waited for, after a delay, or never; time passes through an injected wait, so nothing sleeps.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "optical/AspiBlock.h"
#include "optical/AspiLayer.h"
#include "platform/sim/SimWriter.h"

namespace bootdisk {

struct TSimAspiUnit {
    std::uint8_t target = 0, lun = 0;
    std::unique_ptr<TSimWriter> writer;
};

struct TSimAspiAdapter {
    std::uint8_t maxTargets = 8;  // byte 3 of HA_Unique; 0 as some layers report it
    std::vector<TSimAspiUnit> units;
};

// A fault for the requests of one SCSI command (opcode).
struct TSimAspiFault {
    std::uint8_t opcode = 0;
    std::uint8_t status = 0;  // refusal: the status the call returns; host fault: the host-adapter status
};

struct TSimAspiConfig {
    std::uint8_t supportStatus = srb::SS_COMP;   // bits 15..8 of the support info; E8h: no adapters
    std::optional<std::uint8_t> reportedAdapters;  // bits 7..0; the adapters' count when unset
    std::chrono::milliseconds completionDelay{0};  // how long a request runs once it is waited for
    std::optional<std::uint8_t> neverCompletes;    // requests of this command stay pending
    std::optional<TSimAspiFault> refusal;          // refused at submission
    std::optional<TSimAspiFault> hostFault;        // completes with SS_ERR and this host status
};

struct TSimAspiLogEntry {
    std::uint8_t command = 0;  // SC_HA_INQUIRY .. SC_ABORT_SRB
    TAspiAddress address;      // of the aborted request for SC_ABORT_SRB
    std::uint8_t opcode = 0;   // the SCSI command of SC_EXEC_SCSI_CMD and SC_ABORT_SRB
    std::uint8_t returned = 0;
};

class TSimAspi : public IAspiLayer {
public:
    using TWait = std::function<void(std::chrono::milliseconds)>;
    TSimAspi(std::vector<TSimAspiAdapter> adapters, TSimAspiConfig config = {}, TWait wait = {});
    ~TSimAspi() override;

    std::uint32_t GetASPI32SupportInfo() override;
    std::uint8_t SendASPI32Command(const TAspiRequest& request) override;
    std::unique_ptr<IAspiEvent> NewEvent() override;

    TSimAspiConfig& Config() { return config_; }
    const std::vector<TSimAspiLogEntry>& Log() const { return log_; }
    // Every stretch of time a wait took, in order.
    const std::vector<std::chrono::milliseconds>& Waits() const { return waits_; }
    // The writer at address; nothing when no unit is there.
    TSimWriter* Writer(TAspiAddress address);

    class TEvent;

private:
    std::uint8_t Inquire(std::span<std::uint8_t> block);
    std::uint8_t DeviceType(std::span<std::uint8_t> block);
    std::uint8_t Exec(const TAspiRequest& request, TSimAspiLogEntry& entry);
    std::uint8_t Abort(const TAspiRequest& request, TSimAspiLogEntry& entry);
    void Pass(std::chrono::milliseconds time);
    friend class TEvent;

    std::vector<TSimAspiAdapter> adapters_;
    TSimAspiConfig config_;
    TWait wait_;
    std::vector<TSimAspiLogEntry> log_;
    std::vector<std::chrono::milliseconds> waits_;
    std::vector<TEvent*> pending_;  // events of requests not finished yet
};

// "sim-aspi:" plus a variant of the emulated writer ("sim-aspi:appendable" holds "sim:appendable"):
// one adapter with a hard disk at target 0 and the writer at target 1; nothing for an unknown writer.
std::shared_ptr<TSimAspi> MakeSimAspi(std::string_view name);

}  // namespace bootdisk
