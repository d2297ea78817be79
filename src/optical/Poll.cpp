// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/Poll.h"

#include <array>
#include <thread>

#include "optical/ScsiCommands.h"
#include "optical/ScsiFormat.h"

namespace bootdisk {

TScsiResult PollUntilComplete(IScsiTransport& transport, const TScsiRequest& command,
                              const TPollCallback& callback, const TPollOptions& options) {
    const auto result = transport.Execute(command);
    if (result != kScsiOk) return result;
    std::array<std::uint8_t, discinfo::kSize> answer{};
    std::uint32_t undelivered = 0;
    for (std::uint32_t poll = 0; poll < options.maxPolls; ++poll) {
        const auto polled = transport.Execute(ReadDiscInformation(answer.data()));
        if (polled == kScsiOk) return result;
        undelivered = polled == kScsiNoDevice ? undelivered + 1 : 0;
        if (undelivered >= options.maxUndelivered) return polled;
        if (callback) callback();
        if (options.sleep)
            options.sleep(options.pause);
        else
            std::this_thread::sleep_for(options.pause);
    }
    return kScsiPollTimeout;
}

}  // namespace bootdisk
