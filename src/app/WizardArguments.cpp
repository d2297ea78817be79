// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WizardArguments.h"

namespace bootdisk {

TWizardArguments ParseWizardArguments(const std::vector<std::string>& words) {
    TWizardArguments args;
    // "--name VALUE" or "--name=VALUE" into value; false when words[i] is another word.
    const auto takes = [&](std::size_t& i, const std::string& name, const char* what, std::optional<std::string>& value) {
        const auto& word = words[i];
        if (word.starts_with(name + "="))
            value = word.substr(name.size() + 1);
        else if (word == name)
            value = i + 1 < words.size() ? words[++i] : std::string();
        else
            return false;
        if (value->empty() && args.error.empty()) args.error = name + " needs " + what;
        return true;
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto& word = words[i];
        if (word == "--help" || word == "-h")
            args.help = true;
        else if (word == "--version")
            args.version = true;
        else if (!takes(i, "--payload", "a file", args.payloadFile) &&
                 !takes(i, "--language", "a language code, such as de", args.language))
            args.rest.push_back(word);
    }
    return args;
}

std::string WizardUsage(const std::string& programName) {
    return "usage: " + programName + " [--payload FILE] [--language CODE]\n"
           "Makes media that boot the Quellmark disk sanitizer, step by step.\n\n"
           "options:\n"
           "  --payload FILE   use this payload container instead of the built-in one\n"
           "  --language CODE  show the texts of this language (de), not the user's\n"
           "  --help, -h       print this text and exit\n"
           "  --version        print the version and exit\n\n"
           "'bootdisk --help' describes the command line, which makes the same media in scripts.\n";
}

}  // namespace bootdisk
