// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Interrupts.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace bootdisk {
namespace {

int wakeUp[2] = {-1, -1};

// All a signal handler may safely do: hand the signal to the watching thread.
void OnSignal(int signal) {
    const auto saved = errno;
    const auto byte = char(signal);
    [[maybe_unused]] const auto ignored = write(wakeUp[1], &byte, 1);
    errno = saved;
}

}  // namespace

void CatchInterrupts(std::function<void(int exitStatus)> onInterrupt) {
    if (pipe2(wakeUp, O_CLOEXEC) != 0) return;
    std::thread([onInterrupt = std::move(onInterrupt)] {
        char signal = 0;
        while (read(wakeUp[0], &signal, 1) < 0 && errno == EINTR) {
        }
        onInterrupt(128 + signal);
    }).detach();
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal ignored on entry (nohup, a shell's background job) stays ignored.
        struct sigaction before {};
        if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

}  // namespace bootdisk
