#pragma once
// Before a drive is overwritten: no mounted file system on it, and the user's word.
#include <optional>
#include <string>

#include "cli/Arguments.h"

namespace bootdisk::cli {

// True when the user agrees that everything on device is overwritten; at once with --yes.
bool ConfirmWrite(const std::string& device, const TArguments& args);

// Where a file system on device is mounted, from the host's mount table; nothing when none is.
std::optional<std::string> MountPointOf(const std::string& device);

}  // namespace bootdisk::cli
