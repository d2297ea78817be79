// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/ScsiTransport.h"

#include "optical/ScsiCommands.h"

namespace bootdisk {

TScsiResult IScsiTransport::Eject() { return Execute(EjectDisc()); }

TScsiResult TStatusTransport::Execute(const TScsiRequest& request) {
    auto reply = Deliver(request);
    sense_ = reply.delivered && reply.status == kStatusCheckCondition ? std::move(reply.sense) : TSenseBytes();
    return MapPassThroughResult(reply);
}

}  // namespace bootdisk
