// SPDX-License-Identifier: GPL-3.0-or-later
// The drives scanned on a thread of their own, again at once when the disk service says that
// objects came or went, else once a second (the kernel's drives, or a service that says nothing).
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

#include "platform/HostDrives.h"
#include "platform/linux/BlockDevices.h"
#include "platform/linux/Udisks.h"

namespace bootdisk {
namespace {

constexpr auto kRescan = std::chrono::seconds(1);

class TLinuxDriveWatch final : public THostDriveWatch {
public:
    TLinuxDriveWatch(std::function<TDriveScan()> scan, std::function<void()> changed)
        : scan_(std::move(scan)),
          changed_(std::move(changed)),
          signals_(linuxhost::TUdisks::Watch([this] { Poke(); })),
          thread_([this](std::stop_token stop) { Run(stop); }) {}
    ~TLinuxDriveWatch() override {
        thread_.request_stop();
        thread_.join();
    }

    std::optional<TDriveScan> Latest(std::chrono::milliseconds wait) override {
        std::unique_lock lock(mutex_);
        scanned_.wait_for(lock, wait, [this] { return latest_.has_value(); });
        return latest_;
    }

private:
    void Poke() {
        {
            const std::lock_guard lock(mutex_);
            poked_ = true;
        }
        wake_.notify_all();
    }

    void Run(std::stop_token stop) {
        while (!stop.stop_requested()) {
            {
                const std::lock_guard lock(mutex_);
                poked_ = false;  // a word that comes during the scan asks for the next one
            }
            // A scan that fails keeps the last list: the window goes on with what it had.
            if (auto scan = GuardedScan(scan_, failure_)) {
                bool differs = false;
                {
                    const std::lock_guard lock(mutex_);
                    differs = latest_.has_value() && *latest_ != *scan;
                    latest_ = std::move(scan);
                }
                scanned_.notify_all();
                if (differs && changed_) changed_();
            }
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, stop, kRescan, [this] { return poked_; });
        }
    }

    std::function<TDriveScan()> scan_;
    std::function<void()> changed_;
    std::string failure_;  // of the last scan, read by the watch's thread only
    std::mutex mutex_;
    std::condition_variable scanned_;
    std::condition_variable_any wake_;
    std::optional<TDriveScan> latest_;
    bool poked_ = false;
    std::shared_ptr<void> signals_;  // ends before what its handler touches
    std::jthread thread_;
};

}  // namespace

std::unique_ptr<THostDriveWatch> linuxhost::StartDriveWatch(std::function<TDriveScan()> scan,
                                                            std::function<void()> changed) {
    return std::make_unique<TLinuxDriveWatch>(std::move(scan), std::move(changed));
}

std::unique_ptr<THostDriveWatch> THostDriveWatch::Start(std::function<void()> changed) {
    return linuxhost::StartDriveWatch(linuxhost::ScanDrives, std::move(changed));
}

}  // namespace bootdisk
