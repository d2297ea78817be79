// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drives named on the command line as targets: checked, and agreed to by the user, before
// anything is written to them.
#include <stdexcept>
#include <string>

#include "app/CreationHandlers.h"
#include "cli/Arguments.h"
#include "cli/ExitCodes.h"
#include "cli/Session.h"
#include "platform/HostDrives.h"

namespace bootdisk::cli {

// Thrown with the reason a named drive is not written; nothing has been written then. The code
// tells a refusal of the drive from the user's "no".
class ERefusedTarget : public std::runtime_error {
public:
    explicit ERefusedTarget(const std::string& reason, TExitCode exitCode = TExitCode::Refused)
        : std::runtime_error(reason), code(exitCode) {}
    TExitCode code;
};

// Throws ERefusedTarget, before anything is asked, when this process may not write the drive.
void RefuseWithoutRights(const TStringTable& texts, TDriveWrite kind, const std::string& device);

// "/dev/sdb (SanDisk Cruzer, 16.0 GB)".
std::string DriveIdentity(const THostDrive& drive);

// The removable drive at device as a media kind, attached to a letter of table. Throws
// ERefusedTarget when it is no disk, is not offered (a partition, fixed, system, mounted, in use,
// read-only, too small) or the user does not agree.
TMediaKind RemovableTarget(const std::string& device, TSession& session, IHostRawDevices& table,
                           const TArguments& args);
// The same for several drives, agreed to in one question naming them all.
std::vector<TMediaKind> RemovableTargets(const std::vector<std::string>& devices, TSession& session,
                                         IHostRawDevices& table, const TArguments& args);

// The floppy drive at device (a floppy's node, a removable 1.44 MB disk or a 1.44 MB image file).
// Throws ERefusedTarget when it cannot take the boot floppy now (see AttachFloppy) or the user does
// not agree.
TFloppyDrive FloppyTarget(const std::string& device, TSession& session, IHostRawDevices& table,
                          const TArguments& args);

}  // namespace bootdisk::cli
