// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A CD/DVD writer reached through the host's pass-through (SG_IO, \\.\X:), iSCSI or the emulated
// writer, addressed by its device.
#include <memory>

#include "optical/ScsiDevice.h"

namespace bootdisk {

class TSPTIdevice : public TScsiDevice {
public:
    // Identifies the drive at once (INQUIRY, then the capabilities page).
    explicit TSPTIdevice(std::unique_ptr<IScsiTransport> transport, TPollOptions pollOptions = {});

    // A failed MODE SENSE leaves the capabilities as they were.
    TScsiResult ReadCapabilities() override;
};

}  // namespace bootdisk
