// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's interruptions of a running program: SIGINT, SIGTERM and SIGHUP on Linux; the
// console's Ctrl+C, Ctrl+Break and closing on Windows.
#include <functional>

namespace bootdisk {

// From now on an interruption calls onInterrupt, on a thread of its own, with the exit status the
// program ends with; onInterrupt ends the process. Called once, early, before other threads start.
void CatchInterrupts(std::function<void(int exitStatus)> onInterrupt);

}  // namespace bootdisk
