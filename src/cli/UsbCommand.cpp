// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk usb`: the boot image written raw onto a removable drive, then read back.
#include <stdexcept>

#include "app/RemovableKinds.h"
#include "cli/Commands.h"
#include "cli/DriveTargets.h"
#include "cli/Output.h"
#include "cli/Session.h"
#include "platform/HostDrives.h"

namespace bootdisk::cli {

TExitCode RunUsb(const TArguments& args) {
    if (args.positional.size() != 1) throw std::invalid_argument("usb takes exactly one drive");
    const auto& device = args.positional.front();
    auto session = StartSession(args, {args.msDosFolder, std::nullopt, true});
    if (!session) return TExitCode::Failed;
    auto table = CreateHostRawDevices();
    TMediaKind kind;
    const auto before = DescribeHostDrive(device);
    try {
        kind = RemovableTarget(device, *session, *table, args);
    } catch (const ERefusedTarget& refusal) {
        PrintError(args.command, refusal.what());
        return refusal.code;
    }
    if (const auto made = MakeOneCopy(*session, args, *table, kind, std::nullopt, "Writing"); made != TExitCode::Made)
        return made;
    // Named as it is now: the mount points the prompt named are gone.
    const auto now = DescribeHostDrive(kind.removable.device);
    const auto label = now ? DriveLabel(session->app.texts, *now) : kind.label;
    const auto unmounted = before && !before->mountPoints.empty()
                               ? " Its file systems were unmounted first: " + MountPointList(before->mountPoints)
                               : std::string();
    Report(args, label + " holds the boot disk; the read-back matches what was written." + unmounted);
    return TExitCode::Made;
}

}  // namespace bootdisk::cli
