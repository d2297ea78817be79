// `bootdisk floppy`: the boot floppy made on a floppy drive (or a 1.44 MB image file), then read
// back through the FAT layer and compared with what was written.
#include <cstdio>
#include <stdexcept>

#include "cli/Commands.h"
#include "cli/DriveTargets.h"
#include "cli/Session.h"
#include "platform/HostDrives.h"

namespace bootdisk::cli {

int RunFloppy(const TArguments& args) {
    if (args.positional.size() > 1) throw std::invalid_argument("floppy takes at most one device");
    const std::string device = args.positional.empty() ? DefaultFloppyDevice() : args.positional.front();
    auto session = StartSession(args, {args.msDosFolder, std::nullopt, true});
    if (!session) return 1;
    auto devices = CreateHostRawDevices();
    std::optional<TFloppyDrive> floppy;
    try {
        floppy = FloppyTarget(device, *session, *devices, args);
    } catch (const ERefusedTarget& refusal) {
        std::fprintf(stderr, "bootdisk floppy: %s\n", refusal.what());
        return 1;
    }

    const TMediaKind kind{session->app.texts[StrId::GUI_TEXTFLOPPYDISKNAME], TMediaType::Floppy, nullptr, {}};
    if (!MakeOneCopy(*session, args, *devices, kind, floppy, "Writing the floppy")) return 1;
    std::printf("%s holds the boot floppy; every file reads back as written.\n", device.c_str());
    return 0;
}

}  // namespace bootdisk::cli
