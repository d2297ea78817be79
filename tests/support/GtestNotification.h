// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// GoogleTest's Notification for the Windows cross build: the compiler's win32 thread model gives
// libstdc++ no std::mutex or std::condition_variable, which GoogleTest's own one is made of. Only
// GoogleTest's thread helpers wait on it, and no test here starts threads.
#include <atomic>
#include <chrono>
#include <thread>

namespace testing::internal {

class Notification {
public:
    void Notify() { notified_ = true; }
    void WaitForNotification() {
        while (!notified_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1
