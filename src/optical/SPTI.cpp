// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/SPTI.h"

namespace bootdisk {

TSPTIdevice::TSPTIdevice(std::unique_ptr<IScsiTransport> transport, TPollOptions pollOptions)
    : TScsiDevice(std::move(transport), std::move(pollOptions), TScsiCarrier::PassThrough, 0) {
    Identify();
    ReadCapabilities();
}

TScsiResult TSPTIdevice::ReadCapabilities() {
    const auto result = ReadCapabilityPage();
    if (result == kScsiOk) DecodeCapabilities(CapabilityPage, Capabilities);
    return result;
}

}  // namespace bootdisk
