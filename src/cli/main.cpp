// SPDX-License-Identifier: GPL-3.0-or-later
// bootdisk: makes the boot media from the command line, for scripted and headless use.
#include <cstdio>
#include <exception>
#include <stdexcept>

#include "app/Interruption.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/Output.h"
#include "platform/Host.h"

namespace bootdisk::cli {
namespace {

void PrintCommandList() {
    std::vector<std::pair<std::string, std::string>> commands, codes;
    for (const auto& command : Commands()) commands.emplace_back(command.name, command.summary);
    for (const auto& [code, meaning] : kExitCodes) codes.emplace_back(std::to_string(int(code)), meaning);
    codes.emplace_back("128+N", kInterruptedMeaning);
    std::printf("usage: bootdisk COMMAND [OPTIONS]\n\ncommands:\n%s\nexit codes:\n%s\n"
                "'bootdisk COMMAND --help' describes a command; 'bootdisk --version' tells the version.\n",
                AlignedColumns(commands).c_str(), AlignedColumns(codes).c_str());
}

void PrintCommandHelp(const TCommand& command) {
    std::printf("usage: bootdisk %s %s\n%s\n", command.name, command.usage, command.summary.c_str());
    const auto options = OptionsHelp(command.accepted);
    if (!options.empty()) std::printf("\noptions:\n%s", options.c_str());
}

TExitCode RunCommand(const TCommand& command, const std::vector<std::string>& words) {
    try {
        auto args = ParseArguments(words, command.accepted);
        if (args.help) {
            PrintCommandHelp(command);
            return TExitCode::Made;
        }
        args.command = command.name;
        // Set up only for a command that runs: the answers to --help and --version need no watching
        // thread, and starting one is a good part of what they cost.
        EndRunsOnInterrupt();
        SetInterruptionLead("bootdisk " + args.command + ": ");
        return command.run(args);
    } catch (const std::invalid_argument& error) {
        PrintError(command.name, error.what());
        PrintError(command.name, std::string("'bootdisk ") + command.name + " --help' lists what it takes");
        return TExitCode::Usage;
    } catch (const std::exception& error) {
        PrintError(command.name, error.what());
        return TExitCode::Failed;
    }
}

TExitCode Main(const std::vector<std::string>& words) {
    if (words.empty() || words[0] == "--help" || words[0] == "-h") {
        PrintCommandList();
        return words.empty() ? TExitCode::Usage : TExitCode::Made;
    }
    if (words[0] == "--version") {
        std::printf("bootdisk %s\n", ProgramVersion().version.c_str());
        return TExitCode::Made;
    }
    for (const auto& command : Commands())
        if (words[0] == command.name) return RunCommand(command, {words.begin() + 1, words.end()});
    std::fprintf(stderr, "bootdisk: unknown command '%s'; 'bootdisk --help' lists the commands\n", words[0].c_str());
    return TExitCode::Usage;
}

}  // namespace
}  // namespace bootdisk::cli

int main(int argc, char** argv) {
    using bootdisk::cli::TExitCode;
    auto code = TExitCode::Failed;
    try {
        bootdisk::UseUtf8Console();
        code = bootdisk::cli::Main(bootdisk::ProgramArguments(argc, argv));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bootdisk: %s\n", error.what());
    }
    // Results a script never received are not a success; a run that failed already keeps its code.
    if (!bootdisk::cli::CloseStandardOutput() && code == TExitCode::Made) code = TExitCode::Failed;
    return int(code);
}
