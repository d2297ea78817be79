#include "cli/Session.h"

#include <cstdio>

#include "app/StrBase.h"
#include "base/Errors.h"
#include "base/PendingFile.h"
#include "base/Text.h"
#include "platform/HostSystem.h"

namespace bootdisk::cli {

bool SaveOutputFile(const char* command, const std::string& path, std::span<const std::uint8_t> bytes) {
    try {
        WriteFileWhole(path, bytes);
        return true;
    } catch (const EStreamError& error) {
        std::fprintf(stderr, "bootdisk %s: cannot write %s: %s\n", command, path.c_str(),
                     error.Reason().empty() ? error.what() : error.Reason().c_str());
        return false;
    }
}

std::unique_ptr<TSession> StartSession(const TArguments& args, TTerminalAnswers answers) {
    auto session = std::make_unique<TSession>();
    try {
        LoadTexts(session->app, LanguageFilePath());
    } catch (const ELanguageFileError& error) {
        std::fprintf(stderr, "bootdisk: %s\n", error.what());
        return nullptr;
    }
    session->dialogs = std::make_unique<TTerminalDialogs>(session->app.texts, RealHost(), std::move(answers));
    if (!LoadPayloads(session->app, args.payloadFile, EmbeddedResources())) {
        std::fprintf(stderr, "bootdisk: %s (%s)\n", Cp1252ToUtf8(session->app.texts[StrId::GUI_FILECORRUPT]).c_str(),
                     session->app.payloads.LastError.c_str());
        return nullptr;
    }
    return session;
}

}  // namespace bootdisk::cli
