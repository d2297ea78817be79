// SPDX-License-Identifier: GPL-3.0-or-later
// The drive letters scanned on a thread of their own, once a second, as on Linux: a drive that is
// slow to answer (a card reader waking up, a letter the system still thinks is there) holds up no
// window. The thread is the system's own (this build's thread model has no std::thread), and the
// scans it shares live as long as the longer of the watch and the thread.
#include <windows.h>

#include <memory>

#include "platform/HostDrives.h"
#include "platform/win32/Win32Calls.h"

namespace bootdisk {
namespace {

constexpr DWORD kRescanMs = 1000;
// How long the watch waits for a scan in hand when it ends; a scan stuck longer ends on its own.
constexpr DWORD kEndWaitMs = 2000;

class TLock {
public:
    explicit TLock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
    ~TLock() { LeaveCriticalSection(&section_); }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;

private:
    CRITICAL_SECTION& section_;
};

// What the watch and its thread share.
struct TShared {
    TShared(IWin32Calls& system, std::function<void()> onChange) : calls(system), changed(std::move(onChange)) {
        InitializeCriticalSection(&lock);
    }
    ~TShared() {
        DeleteCriticalSection(&lock);
        CloseHandle(stop);
        CloseHandle(scanned);
    }
    TShared(const TShared&) = delete;
    TShared& operator=(const TShared&) = delete;

    IWin32Calls& calls;
    std::function<void()> changed;  // not called once the watch has ended
    CRITICAL_SECTION lock;
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE scanned = CreateEventW(nullptr, TRUE, FALSE, nullptr);  // set once the first scan is in
    std::optional<TDriveScan> latest;  // under lock
    bool ended = false;                // under lock
    std::string failure;               // the thread's own
};

DWORD WINAPI Run(void* parameter) {
    const std::unique_ptr<std::shared_ptr<TShared>> owned(static_cast<std::shared_ptr<TShared>*>(parameter));
    auto& shared = **owned;
    const auto scan = [&shared] {
        return TDriveScan{ScanWin32Drives(shared.calls),
                          ProcessLacksAdministrator(shared.calls, RealHost().Version())};
    };
    do {
        // A scan that fails keeps the last list: the window goes on with what it had.
        auto result = GuardedScan(scan, shared.failure);
        if (!result) continue;
        const TLock lock(shared.lock);
        const bool differs = shared.latest.has_value() && *shared.latest != *result;
        shared.latest = std::move(result);
        SetEvent(shared.scanned);
        // Under the lock, so that the watch's end waits for a call under way and no call follows it.
        if (differs && !shared.ended && shared.changed) shared.changed();
    } while (WaitForSingleObject(shared.stop, kRescanMs) == WAIT_TIMEOUT);
    return 0;
}

class TWin32DriveWatch final : public THostDriveWatch {
public:
    TWin32DriveWatch(IWin32Calls& calls, std::function<void()> changed)
        : shared_(std::make_shared<TShared>(calls, std::move(changed))) {
        auto* handed = new std::shared_ptr<TShared>(shared_);
        thread_ = CreateThread(nullptr, 0, Run, handed, 0, nullptr);
        if (thread_ == nullptr) delete handed;  // then no scan ever comes and the list stays empty
    }
    ~TWin32DriveWatch() override {
        {
            const TLock lock(shared_->lock);
            shared_->ended = true;
        }
        SetEvent(shared_->stop);
        if (thread_ == nullptr) return;
        WaitForSingleObject(thread_, kEndWaitMs);
        CloseHandle(thread_);
    }
    TWin32DriveWatch(const TWin32DriveWatch&) = delete;
    TWin32DriveWatch& operator=(const TWin32DriveWatch&) = delete;

    std::optional<TDriveScan> Latest(std::chrono::milliseconds wait) override {
        WaitForSingleObject(shared_->scanned, DWORD(wait.count()));
        const TLock lock(shared_->lock);
        return shared_->latest;
    }

private:
    std::shared_ptr<TShared> shared_;
    HANDLE thread_ = nullptr;
};

}  // namespace

std::unique_ptr<THostDriveWatch> StartWin32DriveWatch(IWin32Calls& calls, std::function<void()> changed) {
    return std::make_unique<TWin32DriveWatch>(calls, std::move(changed));
}

std::unique_ptr<THostDriveWatch> THostDriveWatch::Start(std::function<void()> changed) {
    return StartWin32DriveWatch(HostWin32Calls(), std::move(changed));
}

void SetDriveServiceWait(TDriveServiceWait) {}

}  // namespace bootdisk
