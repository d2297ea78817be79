#include "cli/Session.h"

#include <cstdio>

#include "app/StrBase.h"
#include "base/Errors.h"
#include "base/PendingFile.h"
#include "cli/ProgressLine.h"
#include "base/Text.h"
#include "platform/HostSystem.h"

namespace bootdisk::cli {
namespace {

void PrintCannotWrite(const char* command, const std::string& path, const EStreamError& error) {
    std::string why = error.Reason().empty() ? error.what() : error.Reason();
    if (const auto* refused = dynamic_cast<const ERefusedOutput*>(&error); refused && refused->Kind() == TPathKind::BlockDevice)
        why += "; drives are written by 'bootdisk usb' and 'bootdisk floppy', which check them first";
    std::fprintf(stderr, "bootdisk %s: cannot write %s: %s\n", command, path.c_str(), why.c_str());
}

}  // namespace

bool OutputFileAllowed(const char* command, const std::string& path) {
    try {
        CheckOutputTarget(path);
        return true;
    } catch (const EStreamError& error) {
        PrintCannotWrite(command, path, error);
        return false;
    }
}

bool SaveOutputFile(const char* command, const std::string& path, std::span<const std::uint8_t> bytes) {
    try {
        WriteFileWhole(path, bytes);
        return true;
    } catch (const EStreamError& error) {
        PrintCannotWrite(command, path, error);
        return false;
    }
}

TCreationSettings SettingsOf(const TArguments& args) {
    return {args.options, args.parameters, args.useMsDos, args.useMsDos, args.readBack, args.iso9660};
}

bool LoadSessionTexts(TAppContext& app) {
    try {
        const auto path = LanguageFilePath();
        const auto damage = LoadTexts(app, path);
        if (!damage.empty())
            std::fprintf(stderr, "bootdisk: the language file %s is damaged and is not used (%s); the built-in texts stand\n",
                         path.c_str(), damage.c_str());
        return true;
    } catch (const ELanguageFileError& error) {
        std::fprintf(stderr, "bootdisk: %s\n", error.what());
        return false;
    }
}

std::unique_ptr<TSession> StartSession(const TArguments& args, TTerminalAnswers answers) {
    auto session = std::make_unique<TSession>();
    if (!LoadSessionTexts(session->app)) return nullptr;
    session->dialogs = std::make_unique<TTerminalDialogs>(session->app.texts, RealHost(), std::move(answers));
    if (!LoadPayloads(session->app, args.payloadFile, EmbeddedResources())) {
        std::fprintf(stderr, "bootdisk: %s (%s)\n", Cp1252ToUtf8(session->app.texts[StrId::GUI_FILECORRUPT]).c_str(),
                     session->app.payloads.LastError.c_str());
        return nullptr;
    }
    return session;
}

bool MakeOneCopy(TSession& session, const TArguments& args, IHostRawDevices& table, const TMediaKind& kind,
                 std::optional<TFloppyDrive> floppy, const char* label) {
    TJobEnv env{session.app, *session.dialogs, RealHost()};
    TCreationHandlers handlers(env, SettingsOf(args), HostDiskAccess(table),
                               std::move(floppy));
    TCreationDriver driver(*session.dialogs, session.app.texts);
    driver.stopOnFailure = true;
    TProgressLine line(label);
    driver.onGauge = [&](int percent) { line.ShowPercent(percent); };
    return driver.RunCreation({{"1", 0}}, {kind}, handlers) == TRunOutcome::Completed;
}

}  // namespace bootdisk::cli
