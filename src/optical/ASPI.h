// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writers reached through an ASPI layer: the support query, the scan of adapters, targets and LUNs,
// the transport that carries each command as a request block with event notification, and the
// device over it.
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "optical/AspiBlock.h"
#include "optical/AspiLayer.h"
#include "optical/ScsiDevice.h"

namespace bootdisk {

// How long a request may take before it is aborted and given up with kScsiTimedOut.
inline constexpr std::chrono::milliseconds kAspiWaitLimit{100'000};

struct TASPIinfo {
    bool Available = false;        // the status byte (bits 15..8) is 01h
    std::uint8_t AdapterCount = 0;  // bits 7..0 when available
    std::uint32_t SupportInfo = 0;  // as the layer answered
};

TASPIinfo QueryAspiSupport(IAspiLayer& layer);
// Answered at once; an adapter reporting 0 targets is given 8 in block.
TScsiResult AdapterInquiry(IAspiLayer& layer, std::uint8_t adapter, TSrbHaInquiry& block);
// 0 for a present unit, 5 for an absent one; block is reused as it is.
TScsiResult DeviceTypeQuery(IAspiLayer& layer, TSrbGetDevType& block, TAspiAddress address);

// Every command, the immediate ones included, waits for its event at most kAspiWaitLimit; the
// data goes through a buffer of the transport's own, so a request that the layer finishes after it
// was given up writes into nothing the caller still uses.
class TAspiTransport : public IScsiTransport {
public:
    TAspiTransport(std::shared_ptr<IAspiLayer> layer, TAspiAddress address);
    ~TAspiTransport() override;
    TAspiTransport(const TAspiTransport&) = delete;
    TAspiTransport& operator=(const TAspiTransport&) = delete;

    TScsiResult Execute(const TScsiRequest& request) override;
    std::string Describe() const override { return address_.Describe(); }
    TSenseBytes LastSense() const override { return sense_; }
    // The layer tells a transfer that fell short only by its host-adapter status, not by a count.
    std::string FailureReason() const override { return shortfall_; }

private:
    struct TPending;

    std::shared_ptr<IAspiLayer> layer_;
    TAspiAddress address_;
    std::vector<std::unique_ptr<TPending>> abandoned_;  // timed-out requests the layer may still touch
    TSenseBytes sense_;
    std::string shortfall_;
};

class TASPIdevice : public TScsiDevice {
public:
    // Identifies the unit at once: INQUIRY, the capabilities page, GET CONFIGURATION.
    TASPIdevice(std::unique_ptr<IScsiTransport> transport, TAspiAddress address, const TSrbHaInquiry& adapter,
                const TSrbGetDevType& deviceType, TPollOptions pollOptions = {});

    TAspiAddress Address;
    TSrbHaInquiry AdapterInquiry;
    TSrbGetDevType DeviceTypeBlock;

    // Decodes the page even when the command failed: the cleared answer leaves every flag false.
    TScsiResult ReadCapabilities() override;
};

class TASPIdevices {
public:
    // Runs the support query and the scan; every present unit is identified, whatever its type.
    explicit TASPIdevices(std::shared_ptr<IAspiLayer> layer, TPollOptions pollOptions = {});

    TASPIinfo Info;

    std::size_t Count() const { return devices_.size(); }
    TASPIdevice& Item(std::size_t index) { return *devices_.at(index); }
    // Hands the devices over, in scan order.
    std::vector<std::unique_ptr<TASPIdevice>> Take() { return std::move(devices_); }

private:
    std::vector<std::unique_ptr<TASPIdevice>> devices_;
};

}  // namespace bootdisk
