// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Work on a thread of its own, joined when the object goes: the writers of several drives at once.
// The Windows build's thread model has no std::thread, so each host gives its own.
#include <functional>
#include <memory>

namespace bootdisk {

class TWorker {
public:
    // Starts work at once; work must not throw.
    explicit TWorker(std::function<void()> work);
    ~TWorker();  // waits for the work to end
    TWorker(const TWorker&) = delete;
    TWorker& operator=(const TWorker&) = delete;
    TWorker(TWorker&&) noexcept;
    TWorker& operator=(TWorker&&) = delete;

    // Whether the work has ended; what it wrote is then visible to the caller.
    bool Done() const;

    struct TThread;

private:
    std::unique_ptr<TThread> thread_;
};

}  // namespace bootdisk
