// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's interruptions of a running program: SIGINT, SIGTERM and SIGHUP on Linux; the
// console's Ctrl+C, Ctrl+Break and closing on Windows.
#include <functional>

namespace bootdisk {

// From now on an interruption calls onInterrupt, on a thread of its own, with its signal number
// (on Windows: 2 for Ctrl+C, 21 for Ctrl+Break, 1 for closing the console); onInterrupt ends the
// process. Called once, early, before other threads start.
void CatchInterrupts(std::function<void(int signal)> onInterrupt);

// Ends the process by the signal, as if it had not been caught, so that a parent (a shell running
// a loop) sees death by that signal; on Windows, with the exit status 128 + signal.
[[noreturn]] void EndBySignal(int signal);

}  // namespace bootdisk
