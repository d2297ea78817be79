// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/ScsiTransport.h"

#include "optical/ScsiCommands.h"

namespace bootdisk {

TScsiResult IScsiTransport::Eject() { return Execute(EjectDisc()); }

TScsiResult TStatusTransport::Execute(const TScsiRequest& request) { return MapPassThroughResult(Deliver(request)); }

}  // namespace bootdisk
