// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <stdexcept>

#include "app/StrBase.h"
#include "base/Json.h"
#include "base/Sha256.h"
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

std::string ItemsJson(const TExeDataBase& payload) {
    std::vector<std::string> items;
    for (const auto& item : payload.Items())
        items.push_back(TJsonObject()
                            .String("name", Cp1252ToUtf8(item.Name))
                            .Number("kind", item.Kind)
                            .Number("size", item.Data.Size())
                            .String("sha256", Sha256Hex(item.Data.Bytes()))
                            .Text());
    return JsonArray(items);
}

std::string PayloadJson(const std::string& sha256, const TExeDataBase& payload) {
    return TJsonObject().String("sha256", sha256).Raw("items", ItemsJson(payload)).Text();
}

}  // namespace

TExitCode RunPayload(const TArguments& args) {
    if (!args.positional.empty()) throw std::invalid_argument("payload takes no file names");
    const auto session = StartSession(args, {});
    if (!session) return TExitCode::Failed;
    auto& app = session->app;
    if (args.json) {
        std::printf("%s\n", TJsonObject()
                                .Number("format", kJsonFormat)
                                .String("product", app.texts[StrId::PRODUCTTXT])
                                .String("languageFile", session->languageFile)
                                .String("source", args.payloadFile.value_or("built-in"))
                                .Raw("cd", PayloadJson(app.payloads.CdSha256(), app.payloads.Cd()))
                                .Raw("floppy", PayloadJson(app.payloads.FloppySha256(), app.payloads.Floppy()))
                                .Text()
                                .c_str());
        return TExitCode::Made;
    }
    Print("Language file: " + (session->languageFile.empty() ? "none, the built-in texts stand" : session->languageFile) +
          "\nProduct: " + app.texts[StrId::PRODUCTTXT] + "\n");
    ListItems(args.payloadFile ? "CD payload (from file)" : "CD payload (SANITCD)", app.payloads.Cd());
    ListItems(args.payloadFile ? "Floppy payload (from file)" : "Floppy payload (SANITDSK)", app.payloads.Floppy());
    return TExitCode::Made;
}

}  // namespace bootdisk::cli
