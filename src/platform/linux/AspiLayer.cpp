// SPDX-License-Identifier: GPL-3.0-or-later
// No ASPI layer exists on this host.
#include "optical/AspiLayer.h"

namespace bootdisk {

std::shared_ptr<IAspiLayer> HostAspiLayer() {
    static const auto layer = std::make_shared<TAbsentAspiLayer>();
    return layer;
}

}  // namespace bootdisk
