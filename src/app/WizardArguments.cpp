// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WizardArguments.h"

namespace bootdisk {

TWizardArguments ParseWizardArguments(const std::vector<std::string>& words) {
    TWizardArguments args;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto& word = words[i];
        if (word == "--help" || word == "-h") {
            args.help = true;
        } else if (word == "--version") {
            args.version = true;
        } else if (word.starts_with("--payload=")) {
            args.payloadFile = word.substr(10);
        } else if (word == "--payload") {
            if (i + 1 >= words.size()) {
                args.error = "--payload needs a file";
                return args;
            }
            args.payloadFile = words[++i];
        } else {
            args.rest.push_back(word);
        }
    }
    if (args.payloadFile && args.payloadFile->empty()) args.error = "--payload needs a file";
    return args;
}

std::string WizardUsage(const std::string& programName) {
    return "usage: " + programName + " [--payload FILE]\n"
           "Makes media that boot the Quellmark disk sanitizer, step by step.\n\n"
           "options:\n"
           "  --payload FILE  use this payload container instead of the built-in one\n"
           "  --help, -h      print this text and exit\n"
           "  --version       print the version and exit\n\n"
           "'bootdisk --help' describes the command line, which makes the same media in scripts.\n";
}

}  // namespace bootdisk
