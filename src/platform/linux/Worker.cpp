// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Worker.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace bootdisk {

struct TWorker::TThread {
    std::function<void()> work;
    std::atomic<bool> done{false};
    std::thread thread;

    void Run() {
        work();
        done.store(true, std::memory_order_release);
    }
};

TWorker::TWorker(std::function<void()> work) : thread_(std::make_unique<TThread>()) {
    thread_->work = std::move(work);
    try {
        thread_->thread = std::thread([state = thread_.get()] { state->Run(); });
    } catch (const std::system_error&) {
        // Without a thread of its own the work runs here: slower, never lost.
        thread_->Run();
    }
}

TWorker::~TWorker() {
    if (thread_ && thread_->thread.joinable()) thread_->thread.join();
}

TWorker::TWorker(TWorker&&) noexcept = default;

bool TWorker::Done() const { return thread_->done.load(std::memory_order_acquire); }

}  // namespace bootdisk
