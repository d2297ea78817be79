// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk usb`: the boot image written raw onto removable drives, then read back; several drives
// are written at once.
#include <algorithm>
#include <stdexcept>

#include "app/RemovableKinds.h"
#include "cli/Commands.h"
#include "cli/DriveTargets.h"
#include "cli/Output.h"
#include "cli/Session.h"
#include "platform/HostDrives.h"

namespace bootdisk::cli {
namespace {

TExitCode WriteOneStick(const TArguments& args, TSession& session, IHostRawDevices& table, const TMediaKind& kind,
                        const std::optional<THostDrive>& before) {
    if (const auto made = MakeCopies(session, args, table, {kind}, std::nullopt, "Writing"); made != TExitCode::Made)
        return made;
    // Named as it is now: the mount points the prompt named are gone.
    const auto now = DescribeHostDrive(kind.removable.device);
    const auto label = now ? DriveLabel(session.app.texts, *now) : kind.label;
    const auto unmounted = before && !before->mountPoints.empty()
                               ? " Its file systems were unmounted first: " + MountPointList(before->mountPoints)
                               : std::string();
    Report(args, label + " holds the boot disk; the read-back matches what was written." + unmounted);
    return TExitCode::Made;
}

// Every stick at once; a line per stick says how its copy ended, in the record's words.
TExitCode WriteSticks(const TArguments& args, TSession& session, IHostRawDevices& table,
                      const std::vector<TMediaKind>& kinds) {
    std::vector<std::string> lines;
    const auto made = MakeCopies(session, args, table, kinds, std::nullopt,
                                 "Writing " + std::to_string(kinds.size()) + " sticks", [&](const TMediaRecord& medium) {
                                     lines.push_back(medium.target.device + ": " + medium.outcome +
                                                     (medium.readBack == "match" ? ", the read-back matches" : ""));
                                 });
    for (const auto& result : lines) Report(args, result);
    return made;
}

}  // namespace

TExitCode RunUsb(const TArguments& args) {
    if (args.positional.empty()) throw std::invalid_argument("usb takes one drive or more");
    for (auto it = args.positional.begin(); it != args.positional.end(); ++it)
        if (std::find(std::next(it), args.positional.end(), *it) != args.positional.end())
            throw std::invalid_argument("usb names " + *it + " twice");
    auto session = StartSession(args, {args.msDosFolder, std::nullopt, true});
    if (!session) return TExitCode::Failed;
    auto table = CreateHostRawDevices();
    const auto before = DescribeHostDrive(args.positional.front());
    std::vector<TMediaKind> kinds;
    try {
        kinds = RemovableTargets(args.positional, *session, *table, args);
    } catch (const ERefusedTarget& refusal) {
        PrintError(args.command, refusal.what());
        return refusal.code;
    }
    if (kinds.size() == 1) return WriteOneStick(args, *session, *table, kinds.front(), before);
    return WriteSticks(args, *session, *table, kinds);
}

}  // namespace bootdisk::cli
