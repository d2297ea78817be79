#pragma once
// A SCSI command as it goes over the wire, and the transports that carry it to a drive: the host's
// pass-through, iSCSI, or the emulated writer. Commands are built once, transport-neutral.
#include <array>
#include <cstdint>
#include <string>

namespace bootdisk {

enum class TDataDirection : std::uint8_t { None, In, Out };

struct TScsiRequest {
    std::array<std::uint8_t, 16> cdb{};
    std::uint8_t cdbLength = 0;
    TDataDirection direction = TDataDirection::None;
    std::uint8_t* data = nullptr;  // the caller's buffer; length bytes
    std::uint32_t length = 0;
    std::uint32_t timeoutSeconds = 120;
};

// What came back: whether the request reached the drive at all, and the drive's SCSI status byte.
struct TScsiReply {
    bool delivered = false;
    std::uint8_t status = 0;
};

class IScsiTransport {
public:
    virtual ~IScsiTransport() = default;
    virtual TScsiReply Execute(const TScsiRequest& request) = 0;
    // The device as a person names it: "/dev/sr0", "iscsi://...", "sim:".
    virtual std::string Describe() const = 0;
};

}  // namespace bootdisk
