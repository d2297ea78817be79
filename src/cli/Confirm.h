#pragma once
// The question asked before anything is written to a drive.
#include <string>

#include "cli/Arguments.h"
#include "cli/Session.h"
#include "platform/HostDrives.h"

namespace bootdisk::cli {

// Whether device can take the boot floppy now (opens, holds 1.44 MB, is not mounted); prints why not.
bool CheckFloppy(const char* command, const std::string& device, TSession& session, IHostRawDevices& devices);

// The floppy device as the confirmation names it: the drive when it is a disk, else an image file.
THostDrive FloppyIdentity(const std::string& device);

// "/dev/sdb (SanDisk Cruzer, 16.0 GB)".
std::string DriveIdentity(const THostDrive& drive);

// True when the user agreed to lose what the drive holds: --yes, or "y" typed on the terminal.
// Without a terminal and without --yes nothing is written.
bool ConfirmWrite(const char* command, const THostDrive& drive, const TArguments& args);

}  // namespace bootdisk::cli
