// `bootdisk usb`: the boot image written raw onto a removable drive, then read back.
#include <cstdio>
#include <stdexcept>

#include "cli/Commands.h"
#include "cli/DriveTargets.h"
#include "cli/Session.h"

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
    std::printf("%s holds the boot disk; the read-back matches what was written.\n", kind.label.c_str());
    return 0;
}

}  // namespace bootdisk::cli
