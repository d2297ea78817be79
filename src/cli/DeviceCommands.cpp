// `bootdisk devices` and `bootdisk burn`: the CD/DVD writers, and recording the boot CD on one.
#include <cstdio>
#include <stdexcept>

#include "app/CdDvdJob.h"
#include "app/RemovableKinds.h"
#include "cli/Commands.h"
#include "cli/DriveTargets.h"
#include "cli/ProgressLine.h"
#include "cli/Session.h"
#include "optical/DSKburningIO.h"
#include "optical/Optical_devices.h"
#include "platform/sim/SimWriter.h"

namespace bootdisk::cli {
namespace {

std::string Capabilities(const TCapabilities& caps) {
    const auto list = [](std::initializer_list<std::pair<bool, const char*>> items) {
        std::string text;
        for (const auto& [has, name] : items) {
            if (!has) continue;
            if (!text.empty()) text += ',';
            text += name;
        }
        return text.empty() ? std::string("-") : text;
    };
    return "read " +
           list({{caps.ReadCDR, "CD-R"}, {caps.ReadCDRW, "CD-RW"}, {caps.ReadDVDROM, "DVD-ROM"},
                 {caps.ReadDVDR, "DVD-R"}, {caps.ReadDVDRAM, "DVD-RAM"}}) +
           "  write " +
           list({{caps.WriteCDR, "CD-R"}, {caps.WriteCDRW, "CD-RW"}, {caps.WriteDVDR, "DVD-R"},
                 {caps.WriteDVDRAM, "DVD-RAM"}, {caps.TestWrite, "test"}});
}

void PrintWriter(TOpticalDevice& device) {
    std::printf("%s\t%s\t%s\n", device.DisplayName.c_str(), device.Location().c_str(),
                Capabilities(device.Capabilities).c_str());
}

// The drives a boot image may be written to, and the others each with the reason it is not offered.
void PrintDrives(const std::vector<THostDrive>& drives, const TStringTable& texts) {
    std::string offered, refused;
    for (const auto& drive : drives) {
        const auto reason = RefusalText(texts, drive);
        const std::string mounted =
            drive.mountPoints.empty() ? "" : ": " + texts[StrId::DRIVE_MOUNTEDAT] + MountPointList(drive.mountPoints);
        (reason.empty() ? offered : refused) +=
            "  " + DriveIdentity(drive) + (reason.empty() ? mounted : ": " + reason) + "\n";
    }
    std::printf("Removable drives that can take the boot disk:\n%s", offered.empty() ? "  none\n" : offered.c_str());
    if (!refused.empty()) std::printf("Drives not offered:\n%s", refused.c_str());
    if (!offered.empty() && DriveWritesNeedAdministrator()) std::printf("%s\n", texts[StrId::DRIVE_NEEDSADMIN].c_str());
    if (const auto problem = DriveServiceProblem(); !problem.empty())
        std::printf("The system's disk service is not asked: %s\n", problem.c_str());
}

}  // namespace

int RunDevices(const TArguments& args) {
    TAppContext app;
    if (!LoadSessionTexts(app)) return 1;
    std::size_t writers = 0;
    const auto list = [&](TOpticalDevice& device) {
        if (!device.IsWriter()) return;
        PrintWriter(device);
        ++writers;
    };
    std::vector<THostDrive> drives;
    bool unreachable = false;  // a named device that cannot be opened
    if (args.positional.empty()) {
        TOpticalDevices devices;
        for (std::size_t i = 0; i < devices.Count(); ++i) list(devices.Item(i));
        if (!devices.Unopened.empty()) {
            std::printf("Writers that cannot be opened:\n");
            for (const auto& reason : devices.Unopened) std::printf("  %s\n", reason.c_str());
        }
        drives = ScanHostDrives();
    } else {
        for (const auto& name : args.positional) {
            if (auto drive = DescribeHostDrive(name)) {
                drives.push_back(std::move(*drive));
                continue;
            }
            try {
                const auto opened = OpenDevice(name, false);
                if (opened.device->DeviceType == kDeviceTypeCdRom) list(*opened.device);
            } catch (const std::exception& error) {
                std::fprintf(stderr, "bootdisk devices: %s\n", error.what());
                unreachable = true;
            }
        }
    }
    // Named devices are listed as what they are; a full scan lists both kinds.
    const bool scan = args.positional.empty();
    if (writers == 0 && (scan || drives.size() < args.positional.size())) std::printf("No CD/DVD writer found.\n");
    if (scan || !drives.empty()) PrintDrives(drives, app.texts);
    return unreachable ? 1 : 0;
}

int RunBurn(const TArguments& args) {
    if (args.positional.size() != 1) throw std::invalid_argument("burn takes exactly one device");
    const auto& name = args.positional.front();
    TOpenedDevice opened;
    try {
        opened = OpenDevice(name, args.trace);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "bootdisk burn: %s\n", error.what());
        return 1;
    }
    if (args.simDump && !opened.sim) throw std::invalid_argument("--sim-dump needs an emulated writer (sim:...)");
    if (args.simDump && !OutputFileAllowed("burn", *args.simDump)) return 1;
    const auto* sim = opened.sim;
    auto& device = *opened.device;

    auto session = StartSession(args, {args.msDosFolder, std::nullopt, false});
    if (!session) return 1;
    TJobEnv env{session->app, *session->dialogs, RealHost()};
    TProgressLine line("Recording");
    TDSKburningIO io(*session->dialogs, [&](double fraction) { line.Show(fraction); });
    const bool done = CreateCdDvd(device, env, SettingsOf(args), &io,
                                  [&](double fraction) { line.Show(fraction); });
    line.End();
    // A failed recording leaves no dump, so an earlier good one is not replaced by a partial one.
    if (sim && args.simDump && !done) std::fprintf(stderr, "bootdisk burn: the recording failed; no dump written\n");
    if (sim && args.simDump && done && !SaveOutputFile("burn", *args.simDump, sim->Disc())) return 1;
    return done ? 0 : 1;
}

}  // namespace bootdisk::cli
