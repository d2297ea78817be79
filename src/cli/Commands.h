// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/ExitCodes.h"

namespace bootdisk::cli {

struct TCommand {
    const char* name;
    const char* usage;    // the words after "bootdisk NAME"
    std::string summary;  // one line for the command list, naming devices as this host does
    unsigned accepted;    // TFlag bits
    TExitCode (*run)(const TArguments& args);
};

// Every command, in the order `bootdisk --help` lists them.
const std::vector<TCommand>& Commands();

TExitCode RunPayload(const TArguments& args);
TExitCode RunIso(const TArguments& args);
TExitCode RunImage(const TArguments& args);
TExitCode RunDevices(const TArguments& args);
TExitCode RunBurn(const TArguments& args);
TExitCode RunUsb(const TArguments& args);
TExitCode RunCreate(const TArguments& args);
TExitCode RunFloppy(const TArguments& args);
TExitCode RunNetboot(const TArguments& args);
TExitCode RunServe(const TArguments& args);

}  // namespace bootdisk::cli
