// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Session.h"

#include "app/NetbootJob.h"
#include "app/StrBase.h"
#include "base/Errors.h"
#include "base/PendingFile.h"
#include "base/Sha256.h"
#include "base/Streams.h"
#include "cli/Output.h"
#include "cli/ProgressLine.h"
#include "cli/RunSummary.h"
#include "platform/HostSystem.h"
#include "platform/RecordFile.h"

namespace bootdisk::cli {
namespace {

void PrintCannotWrite(const std::string& command, const std::string& path, const EStreamError& error,
                      const std::string& lead = {}) {
    std::string why = error.Reason().empty() ? error.what() : error.Reason();
    if (const auto* refused = dynamic_cast<const ERefusedOutput*>(&error);
        refused && (refused->Kind() == TPathKind::BlockDevice || refused->Kind() == TPathKind::DeviceName))
        why += "; drives are written by 'bootdisk usb' and 'bootdisk floppy', which check them first";
    PrintError(command, lead + "cannot write " + path + ": " + why);
}

}  // namespace

bool OutputFileAllowed(const std::string& command, const std::string& path) {
    try {
        CheckOutputTarget(path);
        return true;
    } catch (const EStreamError& error) {
        PrintCannotWrite(command, path, error);
        return false;
    }
}

bool OutputFileCreatable(const std::string& command, const std::string& path, const std::string& lead) {
    try {
        // Made beside the target and removed again: what the copy will make there, and rename.
        const TPendingFile probe(path);
        return true;
    } catch (const EStreamError& error) {
        PrintCannotWrite(command, path, error, lead);
        return false;
    }
}

bool NetbootFolderAllowed(const std::string& command, const std::string& path, const std::string& lead) {
    try {
        CheckNetbootTarget(path);
        return true;
    } catch (const EStreamError& error) {
        PrintCannotWrite(command, path, error, lead);
        return false;
    }
}

bool SaveOutputFile(const std::string& command, const std::string& path, std::span<const std::uint8_t> bytes) {
    try {
        WriteFileWhole(path, bytes);
        return true;
    } catch (const EStreamError& error) {
        PrintCannotWrite(command, path, error);
        return false;
    }
}

TCreationSettings SettingsOf(const TArguments& args) {
    return {args.options, args.parameters, args.useMsDos, args.useMsDos, args.readBack, args.iso9660,
            args.loaders.value_or("")};
}

std::optional<std::string> LoadSessionTexts(TAppContext& app, const std::string& command,
                                            const std::optional<std::string>& language) {
    try {
        const auto path = LanguageFilePath(language);
        const auto damage = LoadTexts(app, path);
        if (damage.empty()) return path;
        PrintError(command, DamagedLanguageFileText(app.texts, path, damage));
        return std::string();
    } catch (const ELanguageFileError& error) {
        PrintError(command, error.what());
        return std::nullopt;
    }
}

std::unique_ptr<TSession> StartSession(const TArguments& args, TTerminalAnswers answers) {
    auto session = std::make_unique<TSession>();
    const auto languageFile = LoadSessionTexts(session->app, args.command, args.language);
    if (!languageFile) return nullptr;
    session->languageFile = *languageFile;
    session->dialogs =
        std::make_unique<TTerminalDialogs>(session->app.texts, RealHost(), std::move(answers), args.command);
    session->settings = SettingsOf(args);
    session->recorder = std::make_unique<TMediaRecorder>(RecordPath(args), session->app, session->settings, RealHost());
    RunSummary().record = session->recorder->Path();
    if (!LoadPayloads(session->app, args.payloadFile, EmbeddedResources())) {
        PrintError(args.command, session->app.texts[StrId::GUI_FILECORRUPT] + " (" +
                                     session->app.payloads.LastError + ")");
        return nullptr;
    }
    return session;
}

std::string RecordPath(const TArguments& args) {
    if (args.noRecord) return {};
    return args.recordFile.value_or(DefaultRecordPath());
}

void RecordMedium(TSession& session, const TArguments& args, TMediaRecord medium) {
    const auto failure = session.recorder->Add(medium);
    RunSummary().media.push_back(std::move(medium));
    if (failure.empty()) return;
    PrintError(args.command, "the record of media made did not take this medium: " + failure);
    RunSummary().recordFailed = true;
}

TMediaRecord FileMedium(const std::string& kind, const std::string& path, bool made) {
    TMediaRecord medium;
    medium.kind = kind;
    medium.target.path = path;
    medium.outcome = made ? "made" : "failed";
    if (made) {
        // Read from the file itself: the checksum of what it holds, not of what was handed to it.
        TFileStream file(path, FileMode::Read);
        medium.imageSha256 = Sha256Hex(file);
    }
    return medium;
}

bool CreateCdCopy(TOpticalDevice& device, TJobEnv& env, const TCreationSettings& settings, TBurningIO* io,
                  const TCopyProgress& progress) {
    try {
        return CreateCdDvd(device, env, settings, io, progress);
    } catch (const ECopySkipped&) {
        return false;
    }
}

void Report(const TArguments& args, const std::string& line) {
    if (!args.quiet && !args.json) Print(line + "\n");
}

void ReportMediumLeft(const std::string& command, const TCreationDriver& driver, TRunOutcome outcome) {
    if (outcome == TRunOutcome::Completed) return;
    if (const auto left = driver.MediumLeft(); !left.empty()) PrintError(command, left);
}

TExitCode ExitCodeOf(TRunOutcome outcome, TCopyFailure lastFailure) {
    if (outcome == TRunOutcome::Completed) return TExitCode::Made;
    if (lastFailure == TCopyFailure::Refused) return TExitCode::Refused;
    if (outcome == TRunOutcome::Stopped) return TExitCode::Stopped;
    return lastFailure == TCopyFailure::ReadBack ? TExitCode::ReadBackMismatch : TExitCode::Failed;
}

TExitCode MakeCopies(TSession& session, const TArguments& args, IHostRawDevices& table,
                     const std::vector<TMediaKind>& kinds, std::optional<TFloppyDrive> floppy,
                     const std::string& label, const std::function<void(const TMediaRecord&)>& onMedium) {
    TJobEnv env{session.app, *session.dialogs, RealHost()};
    TCreationHandlers handlers(env, SettingsOf(args), HostDiskAccess(table), std::move(floppy));
    TProgressLine line(label, args.quiet);
    // Told as the copies end, before any message about them: the progress line ends first.
    handlers.onMedium = [&](TMediaRecord medium) {
        line.End();
        if (onMedium) onMedium(medium);
        RecordMedium(session, args, std::move(medium));
    };
    TCreationDriver driver(*session.dialogs, session.app.texts);
    driver.stopOnFailure = true;
    driver.onGauge = [&](int percent) { line.ShowPercent(percent); };
    std::vector<TCreateListRow> rows;
    for (std::size_t i = 0; i < kinds.size(); ++i) rows.push_back({"1", i});
    const auto outcome = driver.RunCreation(rows, kinds, handlers);
    line.End();
    ReportMediumLeft(args.command, driver, outcome);
    return ExitCodeOf(outcome, handlers.LastFailure());
}

}  // namespace bootdisk::cli
