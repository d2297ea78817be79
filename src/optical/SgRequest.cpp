// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/SgRequest.h"

#include <limits>
#include <stdexcept>

namespace bootdisk {

TSgRequest MakeSgRequest(const TScsiRequest& request) {
    if (request.cdbLength == 0 || request.cdbLength > request.cdb.size())
        throw std::invalid_argument("SCSI command block of " + std::to_string(request.cdbLength) + " bytes");
    const bool transfers = request.direction != TDataDirection::None && request.length != 0;
    if (transfers && request.data == nullptr) throw std::invalid_argument("SCSI data transfer without a buffer");
    if (request.timeoutSeconds > std::numeric_limits<std::uint32_t>::max() / 1000)
        throw std::invalid_argument("SCSI time limit too long");
    TSgRequest sg;
    sg.cdbLength = request.cdbLength;
    sg.timeoutMs = request.timeoutSeconds * 1000;
    if (transfers) {
        sg.direction = request.direction == TDataDirection::In ? kSgDxferFromDev : kSgDxferToDev;
        sg.dataLength = request.length;
    }
    return sg;
}

TScsiReply SgReply(bool ioctlSucceeded, std::uint8_t status, std::uint16_t hostStatus, std::uint16_t driverStatus,
                   std::span<const std::uint8_t> sense) {
    if (!ioctlSucceeded || hostStatus != 0 || (driverStatus & ~kSgDriverSense) != 0) return {};
    if (status != kStatusCheckCondition) return {true, status};
    return {true, status, TSenseBytes(sense.begin(), sense.end())};
}

std::uint32_t SgTransferred(std::uint32_t dataLength, int resid) {
    if (resid <= 0) return dataLength;
    return std::uint32_t(resid) >= dataLength ? 0 : dataLength - std::uint32_t(resid);
}

}  // namespace bootdisk
