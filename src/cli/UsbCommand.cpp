// `bootdisk usb`: the boot image written raw onto a removable drive, then read back.
#include <cstdio>
#include <stdexcept>

#include "cli/Commands.h"
#include "cli/DriveTargets.h"
#include "cli/ProgressLine.h"
#include "cli/Session.h"

namespace bootdisk::cli {

int RunUsb(const TArguments& args) {
    if (args.positional.size() != 1) throw std::invalid_argument("usb takes exactly one drive");
    const auto& device = args.positional.front();
    auto session = StartSession(args, {args.msDosFolder, std::nullopt, true});
    if (!session) return 1;
    auto table = CreateHostRawDevices();
    std::vector<TMediaKind> kinds;
    try {
        kinds.push_back(RemovableTarget(device, *session, *table, args));
    } catch (const ERefusedTarget& refusal) {
        std::fprintf(stderr, "bootdisk usb: %s\n", refusal.what());
        return 1;
    }
    TJobEnv env{session->app, *session->dialogs, RealHost()};
    TCreationHandlers handlers(env, {args.options, args.parameters, args.useMsDos},
                               HostDiskAccess(*table));
    TCreationDriver driver(*session->dialogs, session->app.texts);
    driver.stopOnFailure = true;
    TProgressLine line("Writing");
    driver.onGauge = [&](int percent) { line.ShowPercent(percent); };
    const auto outcome = driver.RunCreation({{"1", 0}}, kinds, handlers);
    line.End();
    if (outcome != TRunOutcome::Completed) return 1;
    std::printf("%s holds the boot disk; the read-back matches what was written.\n", kinds.front().label.c_str());
    return 0;
}

}  // namespace bootdisk::cli
