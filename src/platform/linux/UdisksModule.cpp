// SPDX-License-Identifier: GPL-3.0-or-later
// The program's side of the disk service: TUdisks forwards to the module, which it loads with the
// first question. Without the module the service counts as not answering, and drives are found and
// opened directly.
#include "platform/linux/UdisksModule.h"

#include <unistd.h>

#include <cstring>

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

}  // namespace

std::string UdisksModuleProblem() { return Module().problem; }

bool TUdisks::Answers() { return Functions() && Functions()->answers(); }

std::optional<std::vector<THostDrive>> TUdisks::Drives() {
    return Functions() ? Functions()->drives() : std::nullopt;
}

std::optional<THostDrive> TUdisks::Describe(const std::string& device) {
    return Functions() ? Functions()->describe(device) : std::nullopt;
}

std::optional<int> TUdisks::Open(const std::string& device, bool write) {
    return Functions() ? Functions()->open(device, write) : std::nullopt;
}

std::optional<std::string> TUdisks::Unmount(const std::string& device) {
    return Functions() ? Functions()->unmount(device) : std::nullopt;
}

}  // namespace bootdisk::linuxhost
