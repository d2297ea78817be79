#pragma once
#include <string>
#include <vector>

#include "cli/Arguments.h"

namespace bootdisk::cli {

struct TCommand {
    const char* name;
    const char* usage;    // the words after "bootdisk NAME"
    std::string summary;  // one line for the command list, naming devices as this host does
    unsigned accepted;    // TFlag bits
    int (*run)(const TArguments& args);
};

// Every command, in the order `bootdisk --help` lists them.
const std::vector<TCommand>& Commands();

int RunPayload(const TArguments& args);
int RunIso(const TArguments& args);
int RunImage(const TArguments& args);
int RunDevices(const TArguments& args);
int RunBurn(const TArguments& args);
int RunUsb(const TArguments& args);
int RunCreate(const TArguments& args);
int RunFloppy(const TArguments& args);

}  // namespace bootdisk::cli
