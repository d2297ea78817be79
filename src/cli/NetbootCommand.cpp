// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk netboot`: the network boot folder, ready for a TFTP server.
#include <stdexcept>

#include "app/NetbootJob.h"
#include "base/Errors.h"
#include "cli/Commands.h"
#include "cli/Session.h"

namespace bootdisk::cli {

TExitCode RunNetboot(const TArguments& args) {
    if (args.positional.size() != 1) throw std::invalid_argument("netboot takes exactly one folder");
    const auto& folder = args.positional.front();
    // Refused before the payload is even loaded, as a file command refuses its output.
    if (!NetbootFolderAllowed(args.command, folder)) return TExitCode::Failed;
    auto session = StartSession(args, {args.msDosFolder, std::nullopt, false});
    if (!session) return TExitCode::Failed;
    TJobEnv env{session->app, *session->dialogs, RealHost()};
    try {
        if (!MakeNetbootFolder(folder, env, SettingsOf(args))) return TExitCode::Failed;
    } catch (const ECopySkipped&) {
        return TExitCode::Failed;  // why was said already
    }
    Report(args, folder);
    return TExitCode::Made;
}

}  // namespace bootdisk::cli
