// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <stdexcept>

#include "app/StrBase.h"
#include "base/Text.h"
#include "cli/Commands.h"
#include "cli/Session.h"

namespace bootdisk::cli {
namespace {

void ListItems(const char* title, const TExeDataBase& payload) {
    std::printf("%s: %d items\n", title, payload.Count());
    for (const auto& item : payload.Items())
        std::printf("  kind %u  %9llu  %s\n", unsigned(item.Kind),
                    static_cast<unsigned long long>(item.Data.Size()), Cp1252ToUtf8(item.Name).c_str());
}

}  // namespace

TExitCode RunPayload(const TArguments& args) {
    if (!args.positional.empty()) throw std::invalid_argument("payload takes no file names");
    const auto session = StartSession(args, {});
    if (!session) return TExitCode::Failed;
    std::printf("Language file: %s\n",
                session->languageFile.empty() ? "none, the built-in texts stand" : session->languageFile.c_str());
    std::printf("Product: %s\n", session->app.texts[StrId::PRODUCTTXT].c_str());
    ListItems(args.payloadFile ? "CD payload (from file)" : "CD payload (SANITCD)", session->app.payloads.Cd());
    ListItems(args.payloadFile ? "Floppy payload (from file)" : "Floppy payload (SANITDSK)",
              session->app.payloads.Floppy());
    return TExitCode::Made;
}

}  // namespace bootdisk::cli
