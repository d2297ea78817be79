// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up every command shares: texts, payloads, and the terminal's dialogs.
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/CreationHandlers.h"
#include "app/MediaRecord.h"
#include "app/Startup.h"
#include "cli/Arguments.h"
#include "cli/ExitCodes.h"
#include "cli/TerminalDialogs.h"

namespace bootdisk::cli {

struct TSession {
    TAppContext app;
    std::unique_ptr<TTerminalDialogs> dialogs;
    std::string languageFile;  // the one loaded; empty for the built-in texts
    TCreationSettings settings;
    std::unique_ptr<TMediaRecorder> recorder;
};

// Checks before any work that path may be written as a file (not a device, FIFO or link to
// nothing); prints why not and returns false.
bool OutputFileAllowed(const std::string& command, const std::string& path);
// The same for a network boot folder (see CheckNetbootTarget).
bool NetbootFolderAllowed(const std::string& command, const std::string& path, const std::string& lead = {});

// As OutputFileAllowed, and a scratch file is made and removed beside path, so that a folder that
// takes no new file is found before anything is made; what is printed starts with lead.
bool OutputFileCreatable(const std::string& command, const std::string& path, const std::string& lead = {});

// Writes a command's output file whole; prints the path and the reason and returns false on failure.
bool SaveOutputFile(const std::string& command, const std::string& path, std::span<const std::uint8_t> bytes);

// The boot system and the sanitizer's settings the options give; --os chooses for a CD too,
// where the host lets a CD choose.
TCreationSettings SettingsOf(const TArguments& args);

// Loads the language file of language, else of the user's language: its path, empty when it is
// damaged and the built-in texts stand; prints the reason and returns nothing on failure.
std::optional<std::string> LoadSessionTexts(TAppContext& app, const std::string& command,
                                            const std::optional<std::string>& language = std::nullopt);

// Loads the language file and the payloads; prints the reason and returns nothing on failure.
std::unique_ptr<TSession> StartSession(const TArguments& args, TTerminalAnswers answers);

// Where the record of media made is kept: --record's file, else the user's own; empty with
// --no-record, or where the system names no folder for it.
std::string RecordPath(const TArguments& args);

// Adds the medium to the record and to what --json prints; a record file that does not take it
// is said, and fails a run that would otherwise succeed.
void RecordMedium(TSession& session, const TArguments& args, TMediaRecord medium);

// A file made (or not) for the record: its path, and the checksum of what the file holds now.
TMediaRecord FileMedium(const std::string& kind, const std::string& path, bool made);

// CreateCdDvd for a command of one copy: a boot image that cannot be built (its reason shown) is a
// failed copy like any other.
bool CreateCdCopy(TOpticalDevice& device, TJobEnv& env, const TCreationSettings& settings, TBurningIO* io,
                  const TCopyProgress& progress);

// A result line on stdout, unless --quiet or --json.
void Report(const TArguments& args, const std::string& line);

// After a run that ended before every copy was made: says on stderr what it left of the medium in
// hand (half-written, or not written).
void ReportMediumLeft(const std::string& command, const TCreationDriver& driver, TRunOutcome outcome);

// The exit code of a run of the creation driver, whose handlers tell why its last copy failed.
TExitCode ExitCodeOf(TRunOutcome outcome, TCopyFailure lastFailure);

// Makes one copy of each kind through the wizard's handlers with a progress line labelled label; a
// failed copy is not tried again. Each medium goes to the record, told first to onMedium when given.
TExitCode MakeCopies(TSession& session, const TArguments& args, IHostRawDevices& table,
                     const std::vector<TMediaKind>& kinds, std::optional<TFloppyDrive> floppy,
                     const std::string& label, const std::function<void(const TMediaRecord&)>& onMedium = {});

}  // namespace bootdisk::cli
