// `bootdisk iso` and `bootdisk image`: the boot CD image and the boot floppy image as files.
#include <cstdio>
#include <stdexcept>

#include "app/CdDvdJob.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "image/BootDrive.h"
#include "optical/ImageRecorder.h"

namespace bootdisk::cli {
namespace {

const std::string& OutputFile(const TArguments& args, const char* command) {
    if (args.positional.size() != 1)
        throw std::invalid_argument(std::string(command) + " takes exactly one output file");
    return args.positional.front();
}

}  // namespace

int RunIso(const TArguments& args) {
    const auto& out = OutputFile(args, "iso");
    if (!OutputFileAllowed("iso", WithDefaultExtension(out, ImageFileRequest().defaultExtension))) return 1;
    auto session = StartSession(args, {args.msDosFolder, out, false});
    if (!session) return 1;
    TimageRecorder recorder(*session->dialogs, session->app.texts);
    TJobEnv env{session->app, *session->dialogs, RealHost()};
    if (!CreateCdDvd(recorder, env, SettingsOf(args), nullptr, {})) return 1;
    std::printf("%s\n", recorder.Destination().c_str());
    return 0;
}

int RunImage(const TArguments& args) {
    const auto& out = OutputFile(args, "image");
    if (!OutputFileAllowed("image", out)) return 1;
    auto session = StartSession(args, {args.msDosFolder, std::nullopt, false});
    if (!session) return 1;
    TJobEnv env{session->app, *session->dialogs, RealHost()};
    TVirtualFloppy floppy;
    if (!BuildBootFloppy(floppy, session->app.payloads.Floppy(), args.useMsDos, env, SettingsOf(args))) return 1;
    std::vector<std::uint8_t> image(floppy.Image().begin(), floppy.Image().end());
    if (args.usb) MarkForHardDiskBoot(image);
    if (!SaveOutputFile("image", out, image)) return 1;
    std::printf("%s\n", out.c_str());
    return 0;
}

}  // namespace bootdisk::cli
