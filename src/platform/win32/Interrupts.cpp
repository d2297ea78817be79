// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <cstdlib>

#include "platform/Interrupts.h"

namespace bootdisk {
namespace {

std::function<void(int)>& Handler() {
    static std::function<void(int)> handler;
    return handler;
}

// The system calls this on a thread of its own.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
            Handler()(2);
            return TRUE;
        case CTRL_BREAK_EVENT:
            Handler()(21);
            return TRUE;
        case CTRL_CLOSE_EVENT:
            Handler()(1);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void CatchInterrupts(std::function<void(int signal)> onInterrupt) {
    Handler() = std::move(onInterrupt);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

// A console program ended by Ctrl+C has no signal to die of: its exit status says it.
void EndBySignal(int signal) { std::_Exit(128 + signal); }

}  // namespace bootdisk
