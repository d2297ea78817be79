// `bootdisk usb`: the boot image written raw onto a removable drive, then read back.
#include <cstdio>
#include <stdexcept>

#include "app/CreationHandlers.h"
#include "app/RemovableKinds.h"
#include "cli/Commands.h"
#include "cli/Confirm.h"
#include "cli/ProgressLine.h"
#include "cli/Session.h"
#include "platform/Vwin32.h"

namespace bootdisk::cli {
namespace {

// Says why the drive may not be written; the removable check comes first, as in the wizard.
bool Offered(const THostDrive& drive, const TStringTable& texts) {
    if (drive.Refusal() == TDriveRefusal::None) return true;
    if (drive.Refusal() == TDriveRefusal::NotRemovable)
        std::fprintf(stderr, "bootdisk usb: %s: Disk Protection fault : The drive is not removable.\n",
                     drive.device.c_str());
    else
        std::fprintf(stderr, "bootdisk usb: %s %s\n", drive.device.c_str(), RefusalText(texts, drive).c_str());
    return false;
}

}  // namespace

int RunUsb(const TArguments& args) {
    if (args.positional.size() != 1) throw std::invalid_argument("usb takes exactly one drive");
    const auto& device = args.positional.front();
    const auto drive = DescribeHostDrive(device);
    if (!drive) {
        std::fprintf(stderr, "bootdisk usb: %s is not a disk of this computer\n", device.c_str());
        return 1;
    }
    auto session = StartSession(args, {args.msDosFolder, std::nullopt, true});
    if (!session) return 1;
    const auto& texts = session->app.texts;
    if (!Offered(*drive, texts) || !ConfirmWrite("usb", *drive, args)) return 1;

    auto table = CreateHostRawDevices();
    const char letter = table->Attach(drive->device, drive->type);
    if (letter == 0) {
        std::fprintf(stderr, "bootdisk usb: no drive letter is left for %s\n", device.c_str());
        return 1;
    }
    const std::vector<TMediaKind> kinds = {
        {DriveLabel(texts, *drive), TMediaType::Removable, nullptr, {letter, drive->device}}};
    TJobEnv env{session->app, *session->dialogs, RealHost()};
    TCreationHandlers handlers(env, {args.options, args.parameters, args.useMsDos},
                               {RealHost().Version(), 0, *table, HostVwin32()});
    TCreationDriver driver(*session->dialogs, texts);
    driver.stopOnFailure = true;
    TProgressLine line("Writing");
    driver.onGauge = [&](int percent) { line.ShowPercent(percent); };
    const auto outcome = driver.RunCreation({{"1", 0}}, kinds, handlers);
    line.End();
    if (outcome != TRunOutcome::Completed) return 1;
    std::printf("%s holds the boot disk; the read-back matches what was written.\n",
                DriveIdentity(*drive).c_str());
    return 0;
}

}  // namespace bootdisk::cli
