// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/ScsiTransport.h"

#include "optical/ScsiCommands.h"

namespace bootdisk {

TScsiResult IScsiTransport::Eject() { return Execute(EjectDisc()); }

TScsiResult TStatusTransport::Execute(const TScsiRequest& request) {
    auto reply = Deliver(request);
    sense_ = reply.delivered && reply.status == kStatusCheckCondition ? std::move(reply.sense) : TSenseBytes();
    shortfall_.clear();
    const auto result = MapPassThroughResult(reply);
    if (result != kScsiOk || !request.wholeTransfer || reply.transferred >= request.length) return result;
    shortfall_ = ShortTransferText(request, reply.transferred);
    return kScsiDataUnderrun;
}

}  // namespace bootdisk
