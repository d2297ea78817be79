// `bootdisk usb`: the boot image written raw onto a removable drive, then read back.
#include <cstdio>
#include <stdexcept>

#include "app/RemovableKinds.h"
#include "cli/Commands.h"
#include "cli/DriveTargets.h"
#include "cli/Session.h"
#include "platform/HostDrives.h"

namespace bootdisk::cli {

int RunUsb(const TArguments& args) {
    if (args.positional.size() != 1) throw std::invalid_argument("usb takes exactly one drive");
    const auto& device = args.positional.front();
    auto session = StartSession(args, {args.msDosFolder, std::nullopt, true});
    if (!session) return 1;
    auto table = CreateHostRawDevices();
    TMediaKind kind;
    try {
        kind = RemovableTarget(device, *session, *table, args);
    } catch (const ERefusedTarget& refusal) {
        std::fprintf(stderr, "bootdisk usb: %s\n", refusal.what());
        return 1;
    }
    if (!MakeOneCopy(*session, args, *table, kind, std::nullopt, "Writing")) return 1;
    // Named as it is now: the mount points the prompt named are gone.
    const auto now = DescribeHostDrive(kind.removable.device);
    const auto label = now ? DriveLabel(session->app.texts, *now) : kind.label;
    std::printf("%s holds the boot disk; the read-back matches what was written.\n", label.c_str());
    return 0;
}

}  // namespace bootdisk::cli
