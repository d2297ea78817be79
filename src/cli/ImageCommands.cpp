// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk iso` and `bootdisk image`: the boot CD image and the boot floppy image as files.
#include <stdexcept>

#include "app/CdDvdJob.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "image/BootDrive.h"
#include "optical/ImageRecorder.h"

namespace bootdisk::cli {
namespace {

// The one output file named, by the rule the save dialog follows for a plain new name.
std::string OutputFile(const TArguments& args, const char* command, const TSaveFileRequest& request) {
    if (args.positional.size() != 1)
        throw std::invalid_argument(std::string(command) + " takes exactly one output file");
    return WithDefaultExtension(args.positional.front(), request.defaultExtension);
}

}  // namespace

TExitCode RunIso(const TArguments& args) {
    const auto out = OutputFile(args, "iso", ImageFileRequest());
    if (!OutputFileAllowed(args.command, out)) return TExitCode::Failed;
    auto session = StartSession(args, {args.msDosFolder, out, false});
    if (!session) return TExitCode::Failed;
    TimageRecorder recorder(*session->dialogs, session->app.texts);
    TJobEnv env{session->app, *session->dialogs, RealHost()};
    if (!CreateCdCopy(recorder, env, SettingsOf(args), nullptr, {})) return TExitCode::Failed;
    Report(args, recorder.Destination());
    return TExitCode::Made;
}

TExitCode RunImage(const TArguments& args) {
    const auto out = OutputFile(args, "image", FloppyImageFileRequest());
    if (!OutputFileAllowed(args.command, out)) return TExitCode::Failed;
    auto session = StartSession(args, {args.msDosFolder, std::nullopt, false});
    if (!session) return TExitCode::Failed;
    TJobEnv env{session->app, *session->dialogs, RealHost()};
    TVirtualFloppy floppy;
    if (!BuildBootFloppy(floppy, session->app.payloads.Floppy(), args.useMsDos, env, SettingsOf(args)))
        return TExitCode::Failed;
    std::vector<std::uint8_t> image(floppy.Image().begin(), floppy.Image().end());
    if (args.usb) MarkForHardDiskBoot(image);
    if (!SaveOutputFile(args.command, out, image)) return TExitCode::Failed;
    Report(args, out);
    return TExitCode::Made;
}

}  // namespace bootdisk::cli
