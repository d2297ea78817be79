// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Linux SG_IO request header's values for one SCSI command, worked out apart from the ioctl so
// that they can be checked without a drive. The transport copies them into the system's sg_io_hdr.
#include <cstdint>
#include <span>

#include "optical/ScsiTransport.h"

namespace bootdisk {

// The sg driver's transfer directions (SG_DXFER_*), checked against <scsi/sg.h> by the transport.
inline constexpr int kSgDxferNone = -1;
inline constexpr int kSgDxferToDev = -2;
inline constexpr int kSgDxferFromDev = -3;
inline constexpr int kSgInterfaceId = 'S';
// The sense area; 128 bytes as over the Windows pass-through.
inline constexpr std::uint8_t kSgSenseLength = 128;
// The driver_status bit that only says sense data came back; the status byte tells the rest.
inline constexpr std::uint16_t kSgDriverSense = 0x08;

struct TSgRequest {
    int direction = kSgDxferNone;
    std::uint8_t cdbLength = 0;
    std::uint8_t senseLength = kSgSenseLength;
    std::uint32_t dataLength = 0;
    std::uint32_t timeoutMs = 0;
};

// Throws std::invalid_argument for a request no drive could take: no CDB, a CDB beyond 16 bytes,
// a transfer without a buffer.
TSgRequest MakeSgRequest(const TScsiRequest& request);

// The reply of one SG_IO call. A request the host adapter or the driver could not carry (time-out,
// lost device) was not delivered; otherwise the drive's status byte is the answer, with the sense
// bytes the driver wrote (sb_len_wr of them) when it is CHECK CONDITION.
TScsiReply SgReply(bool ioctlSucceeded, std::uint8_t status, std::uint16_t hostStatus, std::uint16_t driverStatus,
                   std::span<const std::uint8_t> sense = {});

// The bytes that moved of dataLength, from the residual count the driver left in resid (what did
// not move; a driver may leave a value outside 0..dataLength).
std::uint32_t SgTransferred(std::uint32_t dataLength, int resid);

}  // namespace bootdisk
