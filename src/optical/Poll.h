// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Completion of a command sent in immediate mode: the drive refuses READ DISC INFORMATION while the
// operation runs, so the first answer it gives marks the end.
#include <chrono>
#include <cstdint>
#include <functional>

#include "optical/Optical_device.h"
#include "optical/ScsiTransport.h"

namespace bootdisk {

struct TPollOptions {
    std::chrono::milliseconds pause{20};
    std::uint32_t maxPolls = 30'000;  // ten minutes of pauses
    // Polls in a row that do not reach the drive at all before the wait ends: a drive that is gone
    // will not finish.
    std::uint32_t maxUndelivered = 5;
    // How to wait between two polls; a real sleep when empty.
    std::function<void(std::chrono::milliseconds)> sleep;
};

// Given up because the drive never finished within the poll limit.
inline constexpr TScsiResult kScsiPollTimeout = 27;

// Sends command and, when the drive accepted it, polls until it completes, calling callback (when
// set) after every refused poll. The command's own result, kScsiPollTimeout, or the result of the
// last poll when maxUndelivered polls in a row did not reach the drive.
TScsiResult PollUntilComplete(IScsiTransport& transport, const TScsiRequest& command,
                              const TPollCallback& callback, const TPollOptions& options = {});

}  // namespace bootdisk
