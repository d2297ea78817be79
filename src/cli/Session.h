#pragma once
// The start-up every command shares: texts, payloads, and the terminal's dialogs.
#include <memory>
#include <optional>

#include "app/Startup.h"
#include "cli/Arguments.h"
#include "cli/TerminalDialogs.h"

namespace bootdisk::cli {

struct TSession {
    TAppContext app;
    std::unique_ptr<TTerminalDialogs> dialogs;
};

// Loads the language file and the payloads; prints the reason and returns nothing on failure.
std::unique_ptr<TSession> StartSession(const TArguments& args, TTerminalAnswers answers);

}  // namespace bootdisk::cli
