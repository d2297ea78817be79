// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ASPI layer as the program uses it: its two entry points and the per-request event it signals
// when a request completes. Windows binds wnaspi32.dll; tests and `sim-aspi:` use an emulated layer.
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>

namespace bootdisk {

class IAspiEvent {
public:
    virtual ~IAspiEvent() = default;
    // True when the layer signalled the event within limit.
    virtual bool Wait(std::chrono::milliseconds limit) = 0;
    virtual void Reset() = 0;
};

// A request block and what its address fields stand for. The layer writes its answer into the block
// (and a command's data in into buffer) until it signals event, or until the request is aborted.
struct TAspiRequest {
    std::span<std::uint8_t> block;
    std::uint8_t* buffer = nullptr;     // SRB_BufPointer
    IAspiEvent* event = nullptr;        // SRB_PostProc
    std::span<std::uint8_t> toAbort;    // SRB_ToAbort: the block of the request to abort
};

class IAspiLayer {
public:
    virtual ~IAspiLayer() = default;
    // Bits 15..8 a status (01h ready), bits 7..0 the number of host adapters.
    virtual std::uint32_t GetASPI32SupportInfo() = 0;
    // The request's status byte; 00h while it is pending.
    virtual std::uint8_t SendASPI32Command(const TAspiRequest& request) = 0;
    // A manual-reset event of this layer, not signalled.
    virtual std::unique_ptr<IAspiEvent> NewEvent() = 0;
};

// Stands in for a missing library or entry point: every call answers 0, so the layer counts as not
// available and is never sent a request that waits.
class TAbsentAspiLayer : public IAspiLayer {
public:
    std::uint32_t GetASPI32SupportInfo() override { return 0; }
    std::uint8_t SendASPI32Command(const TAspiRequest& /*request*/) override { return 0; }
    std::unique_ptr<IAspiEvent> NewEvent() override;
};

// The host's layer, bound once (platform/win32: wnaspi32.dll; elsewhere the absent layer).
std::shared_ptr<IAspiLayer> HostAspiLayer();

}  // namespace bootdisk
