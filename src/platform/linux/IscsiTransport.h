// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The iSCSI transport's clock and its wait on the session's socket, replaceable so that a test can
// let the two minutes of a command's time limit pass at once.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "optical/IscsiUrl.h"
#include "optical/ScsiTransport.h"

namespace bootdisk {

// Waits at most limit for events (poll(2) flags) on fd: the events that came, 0 for none, -1 for
// an error.
int PollSocket(int fd, int events, std::chrono::milliseconds limit);

struct TIscsiClock {
    std::function<std::chrono::steady_clock::time_point()> now = [] { return std::chrono::steady_clock::now(); };
    std::function<int(int fd, int events, std::chrono::milliseconds limit)> wait = PollSocket;
};

// As OpenIscsi, with every command bounded by its time limit on clock: a command the target does
// not answer in time is not delivered, and the session, no longer in step, delivers nothing more.
std::unique_ptr<IScsiTransport> OpenIscsi(const TIscsiUrl& url, const std::string& name, TIscsiClock clock);

}  // namespace bootdisk
