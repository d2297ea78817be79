// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk floppy`: the boot floppy made on a floppy drive (or a 1.44 MB image file), then read
// back through the FAT layer and compared with what was written.
#include <stdexcept>

#include "cli/Commands.h"
#include "cli/DriveTargets.h"
#include "cli/Output.h"
#include "cli/Session.h"
#include "platform/HostDrives.h"

namespace bootdisk::cli {

TExitCode RunFloppy(const TArguments& args) {
    if (args.positional.size() > 1) throw std::invalid_argument("floppy takes at most one device");
    const std::string device = args.positional.empty() ? DefaultFloppyDevice() : args.positional.front();
    auto session = StartSession(args, {args.msDosFolder, std::nullopt, true});
    if (!session) return TExitCode::Failed;
    auto devices = CreateHostRawDevices();
    std::optional<TFloppyDrive> floppy;
    try {
        floppy = FloppyTarget(device, *session, *devices, args);
    } catch (const ERefusedTarget& refusal) {
        PrintError(args.command, refusal.what());
        return refusal.code;
    }

    const TMediaKind kind{"floppy " + device, TMediaType::Floppy, nullptr, {}};
    const auto made = MakeCopies(*session, args, *devices, {kind}, floppy, "Writing the floppy");
    if (made == TExitCode::Made) Report(args, device + " holds the boot floppy; every file reads back as written.");
    return made;
}

}  // namespace bootdisk::cli
