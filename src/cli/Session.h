#pragma once
// The start-up every command shares: texts, payloads, and the terminal's dialogs.
#include <memory>
#include <optional>
#include <span>

#include "app/Startup.h"
#include "cli/Arguments.h"
#include "cli/TerminalDialogs.h"

namespace bootdisk::cli {

struct TSession {
    TAppContext app;
    std::unique_ptr<TTerminalDialogs> dialogs;
};

// Writes a command's output file whole; prints the path and the reason and returns false on failure.
bool SaveOutputFile(const char* command, const std::string& path, std::span<const std::uint8_t> bytes);

// Loads the language file and the payloads; prints the reason and returns nothing on failure.
std::unique_ptr<TSession> StartSession(const TArguments& args, TTerminalAnswers answers);

}  // namespace bootdisk::cli
