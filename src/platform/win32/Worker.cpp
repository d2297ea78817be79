// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <atomic>

#include "platform/Worker.h"

namespace bootdisk {

struct TWorker::TThread {
    std::function<void()> work;
    std::atomic<bool> done{false};
    HANDLE handle = nullptr;
};

namespace {

DWORD WINAPI Run(void* parameter) {
    auto& state = *static_cast<TWorker::TThread*>(parameter);
    state.work();
    state.done.store(true, std::memory_order_release);
    return 0;
}

}  // namespace

TWorker::TWorker(std::function<void()> work) : thread_(std::make_unique<TThread>()) {
    thread_->work = std::move(work);
    thread_->handle = CreateThread(nullptr, 0, Run, thread_.get(), 0, nullptr);
    // Without a thread of its own the work runs here: slower, never lost.
    if (thread_->handle == nullptr) Run(thread_.get());
}

TWorker::~TWorker() {
    if (!thread_ || thread_->handle == nullptr) return;
    WaitForSingleObject(thread_->handle, INFINITE);
    CloseHandle(thread_->handle);
}

TWorker::TWorker(TWorker&&) noexcept = default;

bool TWorker::Done() const { return thread_->done.load(std::memory_order_acquire); }

}  // namespace bootdisk
