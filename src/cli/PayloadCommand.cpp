// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <stdexcept>

#include "app/StrBase.h"
#include "base/Text.h"
#include "cli/Commands.h"
#include "cli/Output.h"
#include "cli/Session.h"

namespace bootdisk::cli {
namespace {

void ListItems(const char* title, const TExeDataBase& payload) {
    std::printf("%s: %d items\n", title, payload.Count());
    for (const auto& item : payload.Items()) {
        char size[32];
        std::snprintf(size, sizeof size, "  kind %u  %9llu  ", unsigned(item.Kind),
                      static_cast<unsigned long long>(item.Data.Size()));
        Print(size + Cp1252ToUtf8(item.Name) + "\n");
    }
}

}  // namespace

TExitCode RunPayload(const TArguments& args) {
    if (!args.positional.empty()) throw std::invalid_argument("payload takes no file names");
    const auto session = StartSession(args, {});
    if (!session) return TExitCode::Failed;
    Print("Language file: " + (session->languageFile.empty() ? "none, the built-in texts stand" : session->languageFile) +
          "\nProduct: " + session->app.texts[StrId::PRODUCTTXT] + "\n");
    ListItems(args.payloadFile ? "CD payload (from file)" : "CD payload (SANITCD)", session->app.payloads.Cd());
    ListItems(args.payloadFile ? "Floppy payload (from file)" : "Floppy payload (SANITDSK)",
              session->app.payloads.Floppy());
    return TExitCode::Made;
}

}  // namespace bootdisk::cli
