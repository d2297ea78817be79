// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Interrupts.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

void CatchInterrupts(std::function<void(int signal)> onInterrupt) {
    if (pipe2(wakeUp, O_CLOEXEC) != 0) return;
    std::thread([onInterrupt = std::move(onInterrupt)] {
        char signal = 0;
        while (read(wakeUp[0], &signal, 1) < 0 && errno == EINTR) {
        }
        onInterrupt(signal);
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

void EndBySignal(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    // Not reached for the signals caught; the status a shell gives such a death otherwise.
    std::_Exit(128 + signal);
}

}  // namespace bootdisk
