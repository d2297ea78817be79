// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A SCSI command as it goes over the wire, and the transports that carry it to a drive: the host's
// pass-through, iSCSI, an ASPI layer, or the emulated writer. Commands are built once, transport-neutral;
// each transport turns what came back into the one-byte result.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "optical/ScsiSense.h"

namespace bootdisk {

// The one-byte outcome of a SCSI command; 0 is success.
using TScsiResult = std::uint8_t;
inline constexpr TScsiResult kScsiOk = 0;

enum class TDataDirection : std::uint8_t { None, In, Out };

struct TScsiRequest {
    std::array<std::uint8_t, 16> cdb{};
    std::uint8_t cdbLength = 0;
    TDataDirection direction = TDataDirection::None;
    std::uint8_t* data = nullptr;  // the caller's buffer; length bytes
    std::uint32_t length = 0;
    std::uint32_t timeoutSeconds = 120;
    // Every byte of length must move: blocks of data or a parameter list. An answer cut short of
    // its allocation length is a whole answer.
    bool wholeTransfer = false;
};

// Keeps a transport's device open while it lives.
class IDeviceHold {
public:
    virtual ~IDeviceHold() = default;
};

class IScsiTransport {
public:
    virtual ~IScsiTransport() = default;
    virtual TScsiResult Execute(const TScsiRequest& request) = 0;
    // The commands of one operation (a disc check, a recording) then go through one opening of the
    // device; a transport that opens its device for each command otherwise lets other programs at
    // the drive in between. Nothing to hold for a transport that keeps its device open anyway.
    virtual std::unique_ptr<IDeviceHold> HoldOpen() { return nullptr; }
    // The device as a person names it: "/dev/sr0", "E:", "iscsi://...", "aspi 0:1:0", "sim:".
    virtual std::string Describe() const = 0;
    // Ejects the disc; START STOP UNIT unless the host has its own call for it.
    virtual TScsiResult Eject();
    // The system's words for the last request that did not reach the drive; empty when it gave none.
    virtual std::string FailureReason() const { return {}; }
    // The sense data of the last command when it ended in CHECK CONDITION; empty otherwise.
    virtual TSenseBytes LastSense() const { return {}; }
    // A word on how the commands go, for whoever traces them; the commands do not change.
    virtual void Remark(const std::string& /*text*/) {}
};

inline constexpr std::uint8_t kStatusCheckCondition = 0x02;

// What a pass-through hears back: whether the request reached the drive at all, the drive's SCSI
// status byte, with CHECK CONDITION the sense data that came along, and how many bytes of the
// request's data moved.
struct TScsiReply {
    bool delivered = false;
    std::uint8_t status = 0;
    TSenseBytes sense{};
    std::uint32_t transferred = 0;
};

// A transport that hears only the drive's status byte (SG_IO, the Windows pass-through, iSCSI, the
// emulated writer): its result is mapped from that byte, and a whole transfer that moved fewer
// bytes than it carries fails as a data under-run.
class TStatusTransport : public IScsiTransport {
public:
    TScsiResult Execute(const TScsiRequest& request) final;
    TSenseBytes LastSense() const final { return sense_; }
    // The short transfer of the last command in words, else the system's words.
    std::string FailureReason() const final { return shortfall_.empty() ? DeliveryFailure() : shortfall_; }
    virtual TScsiReply Deliver(const TScsiRequest& request) = 0;

protected:
    // The system's words for the last request that did not reach the drive.
    virtual std::string DeliveryFailure() const { return {}; }

private:
    TSenseBytes sense_;
    std::string shortfall_;
};

}  // namespace bootdisk
