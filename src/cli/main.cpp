// bootdisk: makes the boot media from the command line, for scripted and headless use.
#include <cstdio>
#include <exception>
#include <stdexcept>

#include "app/Interruption.h"
#include "cli/Commands.h"

namespace bootdisk::cli {
namespace {

void PrintCommandList() {
    std::printf("usage: bootdisk COMMAND [OPTIONS]\n\ncommands:\n");
    for (const auto& command : Commands()) std::printf("  %-9s %s\n", command.name, command.summary);
    std::printf("\n'bootdisk COMMAND --help' describes a command.\n");
}

void PrintCommandHelp(const TCommand& command) {
    std::printf("usage: bootdisk %s %s\n%s\n", command.name, command.usage, command.summary);
    const auto options = OptionsHelp(command.accepted);
    if (!options.empty()) std::printf("\noptions:\n%s", options.c_str());
}

int Main(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        PrintCommandList();
        return argc < 2 ? 2 : 0;
    }
    const std::string name = argv[1];
    for (const auto& command : Commands()) {
        if (name != command.name) continue;
        try {
            const auto args = ParseArguments({argv + 2, argv + argc}, command.accepted);
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
        return bootdisk::cli::Main(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bootdisk: %s\n", error.what());
        return 1;
    }
}
