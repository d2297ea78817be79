// SPDX-License-Identifier: GPL-3.0-or-later
// The program's side of the disk service: TUdisks forwards to the module, which it loads with the
// first question. Without the module the service counts as not answering, and drives are found and
// opened directly. A thread with a window that set a wait keeps drawing while the service is asked:
// its calls run on a thread of their own.
#include "platform/linux/UdisksModule.h"

#include <unistd.h>

#include <atomic>
#include <cstring>
#include <future>
#include <thread>

#include "platform/Host.h"
#include "platform/linux/SharedLibrary.h"
#include "platform/linux/Udisks.h"

namespace bootdisk::linuxhost {
namespace {

struct TModule {
    const TUdisksFunctions* functions = nullptr;
    std::string problem;
};

// Beside the program (the build tree), else where an installation keeps its modules.
TModule Load() {
    TModule module;
    std::string dir;
    try {
        dir = ExecutableDir();
    } catch (const std::exception& error) {
        module.problem = error.what();
        return module;
    }
    const auto installed = dir + BOOTDISK_MODULES_FROM_BIN + "/";
    for (const auto& folder : {dir, installed}) {
        const auto path = folder + kUdisksModuleName;
        if (::access(path.c_str(), F_OK) != 0) continue;
        try {
            const TSharedLibrary library(path, "the disk service module");
            const auto* functions = library.Function<const TUdisksFunctions* (*)()>(kUdisksModuleEntry)();
            if (std::strcmp(functions->version, BOOTDISK_VERSION) == 0 && functions->driveLayout == sizeof(THostDrive))
                module.functions = functions;
            else
                module.problem = "the disk service module " + path + " belongs to another build (version " +
                                 functions->version + ") than this program (" + BOOTDISK_VERSION + ")";
        } catch (const ELibraryMissing& error) {
            module.problem = error.what();
        }
        return module;
    }
    module.problem = std::string("the disk service module ") + kUdisksModuleName + " is neither in " + dir +
                     " nor in " + installed;
    return module;
}

const TModule& Module() {
    static const TModule module = Load();
    return module;
}

const TUdisksFunctions* Functions() { return Module().functions; }

constexpr auto kWaitStep = std::chrono::milliseconds(20);

// Set and read by the waiting thread only; others compare the thread's id.
TDriveServiceWait waitOfThread;
std::atomic<std::thread::id> waitingThread;

template <typename TCall>
auto Waited(const std::string& device, TCall call) -> decltype(call()) {
    if (waitingThread.load() != std::this_thread::get_id() || !waitOfThread.waiting) return call();
    auto answer = std::async(std::launch::async, std::move(call));
    const auto start = std::chrono::steady_clock::now();
    bool waited = false;
    while (answer.wait_for(kWaitStep) != std::future_status::ready) {
        waited = true;
        waitOfThread.waiting(device, std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - start));
    }
    if (waited && waitOfThread.answered) waitOfThread.answered();
    return answer.get();
}

}  // namespace

std::string UdisksModuleProblem() { return Module().problem; }

}  // namespace bootdisk::linuxhost

namespace bootdisk {

void SetDriveServiceWait(TDriveServiceWait wait) {
    linuxhost::waitOfThread = std::move(wait);
    linuxhost::waitingThread = linuxhost::waitOfThread.waiting ? std::this_thread::get_id() : std::thread::id();
}

}  // namespace bootdisk

namespace bootdisk::linuxhost {

bool TUdisks::Answers() { return Functions() && Waited({}, Functions()->answers); }

std::optional<std::vector<THostDrive>> TUdisks::Drives() {
    return Functions() ? Waited({}, Functions()->drives) : std::nullopt;
}

std::optional<THostDrive> TUdisks::Describe(const std::string& device) {
    if (!Functions()) return std::nullopt;
    return Waited({}, [device] { return Functions()->describe(device); });
}

std::optional<int> TUdisks::Open(const std::string& device, bool write) {
    if (!Functions()) return std::nullopt;
    return Waited(device, [device, write] { return Functions()->open(device, write); });
}

std::optional<std::string> TUdisks::Unmount(const std::string& device) {
    if (!Functions()) return std::nullopt;
    return Waited(device, [device] { return Functions()->unmount(device); });
}

std::shared_ptr<void> TUdisks::Watch(std::function<void()> changed) {
    return Functions() ? Functions()->watch(std::move(changed)) : nullptr;
}

}  // namespace bootdisk::linuxhost
