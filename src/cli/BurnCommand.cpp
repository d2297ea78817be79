// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk burn`: recording the boot CD on a writer.
#include <stdexcept>

#include "app/CdDvdJob.h"
#include "cli/Commands.h"
#include "cli/DriveTargets.h"
#include "cli/Output.h"
#include "cli/ProgressLine.h"
#include "cli/Session.h"
#include "optical/DSKburningIO.h"
#include "optical/Optical_devices.h"
#include "platform/sim/SimWriter.h"

namespace bootdisk::cli {

TExitCode RunBurn(const TArguments& args) {
    if (args.positional.size() != 1) throw std::invalid_argument("burn takes exactly one device");
    const auto& name = args.positional.front();
    TOpenedDevice opened;
    try {
        // Before the texts are loaded: the built-in words, as the command line's own messages.
        RefuseWithoutRights(TStringTable(), TDriveWrite::Disc, name);
        opened = OpenDevice(name, args.trace);
    } catch (const std::runtime_error& error) {
        PrintError(args.command, error.what());
        return TExitCode::Refused;
    }
    if (args.simDump && !opened.sim) throw std::invalid_argument("--sim-dump needs an emulated writer (sim:...)");
    if (args.simDump && !OutputFileAllowed(args.command, *args.simDump)) return TExitCode::Failed;
    const auto* sim = opened.sim;
    auto& device = *opened.device;

    auto session = StartSession(args, {args.msDosFolder, std::nullopt, false});
    if (!session) return TExitCode::Failed;
    TJobEnv env{session->app, *session->dialogs, RealHost()};
    TProgressLine line("Recording", args.quiet);
    TDSKburningIO io(*session->dialogs, [&](double fraction) { line.Show(fraction); });
    const bool done = CreateCdCopy(device, env, SettingsOf(args), &io,
                                   [&](double fraction) { line.Show(fraction); });
    line.End();
    // A failed recording leaves no dump, so an earlier good one is not replaced by a partial one.
    if (sim && args.simDump && !done) PrintError(args.command, "the recording failed; no dump written");
    if (!done) return io.ReadBackBegun() ? TExitCode::ReadBackMismatch : TExitCode::Failed;
    if (sim && args.simDump && !SaveOutputFile(args.command, *args.simDump, sim->Disc())) return TExitCode::Failed;
    Report(args, name + (args.readBack ? " holds the boot CD; the read-back matches what was written."
                                       : " holds the boot CD; it was not read back."));
    return TExitCode::Made;
}

}  // namespace bootdisk::cli
