// bootdisk: makes the boot media from the command line, for scripted and headless use.
#include <cstdio>
#include <exception>
#include <stdexcept>

#include "app/Interruption.h"
#include "cli/Commands.h"
#include "platform/Host.h"

namespace bootdisk::cli {
namespace {

void PrintCommandList() {
    std::printf("usage: bootdisk COMMAND [OPTIONS]\n\ncommands:\n");
    for (const auto& command : Commands()) std::printf("  %-9s %s\n", command.name, command.summary.c_str());
    std::printf("\n'bootdisk COMMAND --help' describes a command; 'bootdisk --version' tells the version.\n");
}

void PrintCommandHelp(const TCommand& command) {
    std::printf("usage: bootdisk %s %s\n%s\n", command.name, command.usage, command.summary.c_str());
    const auto options = OptionsHelp(command.accepted);
    if (!options.empty()) std::printf("\noptions:\n%s", options.c_str());
}

int Main(const std::vector<std::string>& words) {
    if (words.empty() || words[0] == "--help" || words[0] == "-h") {
        PrintCommandList();
        return words.empty() ? 2 : 0;
    }
    if (words[0] == "--version") {
        std::printf("bootdisk %s\n", ProgramVersion().version.c_str());
        return 0;
    }
    const std::string& name = words[0];
    for (const auto& command : Commands()) {
        if (name != command.name) continue;
        try {
            const auto args = ParseArguments({words.begin() + 1, words.end()}, command.accepted);
            if (args.help) {
                PrintCommandHelp(command);
                return 0;
            }
            return command.run(args);
        } catch (const std::invalid_argument& error) {
            std::fprintf(stderr, "bootdisk %s: %s\n", command.name, error.what());
            return 2;
        }
    }
    std::fprintf(stderr, "bootdisk: unknown command '%s'\n", name.c_str());
    return 2;
}

}  // namespace
}  // namespace bootdisk::cli

int main(int argc, char** argv) {
    bootdisk::EndRunsOnInterrupt();
    try {
        bootdisk::UseUtf8Console();
        return bootdisk::cli::Main(bootdisk::ProgramArguments(argc, argv));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bootdisk: %s\n", error.what());
        return 1;
    }
}
