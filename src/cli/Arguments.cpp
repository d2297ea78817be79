// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Arguments.h"

#include <cstdio>
#include <stdexcept>

#include "app/Options.h"
#include "platform/Host.h"
#include "platform/HostSystem.h"

namespace bootdisk::cli {
namespace {

// The switch's option, and whether the switch turns it on.
std::optional<std::pair<std::size_t, bool>> OptionSwitch(const std::string& name) {
    for (std::size_t i = 0; i < kOptionCount; ++i) {
        const std::string option(kOptionInfo[i].switchName);
        if (name == "--" + option) return std::pair{i, true};
        if (name == "--no-" + option) return std::pair{i, false};
    }
    // Reads better than --disable-mouse.
    if (name == "--no-mouse") return std::pair{kOptionCount - 1, true};
    return std::nullopt;
}

std::string CheckedParameters(const std::string& text) {
    using TRefusal = TBatchParameters::Refusal;
    const auto checked = ToBatchParameters(text);
    const auto where = " at position " + std::to_string(checked.position);
    switch (checked.refusal) {
        case TRefusal::None: return checked.text;
        case TRefusal::ControlCharacter:
            throw std::invalid_argument("--params must not hold line breaks or control characters: refused " +
                                        CharacterCode(checked.character) + where);
        case TRefusal::OutsideCodePage:
            throw std::invalid_argument("--params can hold only characters of Windows-1252, the code page of "
                                        "AUTOEXEC.BAT: refused " + CharacterName(checked.character) + where);
        case TRefusal::NotUtf8: {
            char byte[8];
            std::snprintf(byte, sizeof byte, "%02X", unsigned(checked.character));
            throw std::invalid_argument("--params is not UTF-8 text: refused the byte " + std::string(byte) + where);
        }
        case TRefusal::TooLong: break;
    }
    throw std::invalid_argument("--params must fit one DOS batch line: at most " + std::to_string(kMaxParameters) +
                                " characters, not " + std::to_string(checked.length));
}

}  // namespace

TArguments ParseArguments(const std::vector<std::string>& words, unsigned accepted) {
    TArguments args;
    std::optional<std::string> os;
    bool onlyPositional = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto& word = words[i];
        if (onlyPositional || word.size() < 2 || word[0] != '-') {
            args.positional.push_back(word);
            continue;
        }
        if (word == "--") {
            onlyPositional = true;
            continue;
        }
        const auto equals = word.starts_with("--") ? word.find('=') : std::string::npos;
        const std::string name = word.substr(0, equals);
        std::optional<std::string> inlineValue;
        if (equals != std::string::npos) inlineValue = word.substr(equals + 1);
        const auto value = [&]() -> std::string {
            if (inlineValue) return *inlineValue;
            if (i + 1 >= words.size()) throw std::invalid_argument(name + " needs a value");
            return words[++i];
        };
        const auto takes = [&](unsigned flag, const char* option) { return (accepted & flag) != 0 && name == option; };
        // A switch given a value is a mistake, not something to ignore.
        const auto sw = [&] {
            if (inlineValue) throw std::invalid_argument(name + " takes no value");
            return true;
        };
        if (name == "--help" || name == "-h") {
            args.help = sw();
        } else if (takes(kFlagPayload, "--payload")) {
            args.payloadFile = value();
        } else if (name == "--language") {
            args.language = value();
        } else if (takes(kFlagMsDosFolder, "--msdos-folder")) {
            args.msDosFolder = value();
        } else if (takes(kFlagLoaders, "--loaders")) {
            args.loaders = value();
        } else if (takes(kFlagInterface, "--interface")) {
            args.netInterface = value();
        } else if (takes(kFlagSanitizer, "--params")) {
            args.parameters = CheckedParameters(TextFromTerminal(value()));
        } else if (takes(kFlagSanitizer, "--options")) {
            const auto bits = value();
            if (!ParseOptionsString(bits, args.options))
                throw std::invalid_argument("--options takes twelve characters 0 or 1, not '" + bits + "'");
        } else if (const auto option = (accepted & kFlagSanitizer) ? OptionSwitch(name) : std::nullopt) {
            args.options[option->first] = sw() && option->second;
        } else if (takes(kFlagOs, "--os")) {
            os = value();
            if (*os != "rx" && *os != "msdos") throw std::invalid_argument("--os takes rx or msdos, not '" + *os + "'");
        } else if (takes(kFlagUsb, "--usb")) {
            args.usb = sw();
        } else if (takes(kFlagBurn, "--trace")) {
            args.trace = sw();
        } else if (takes(kFlagBurn, "--sim-dump")) {
            args.simDump = value();
        } else if (takes(kFlagYes, "--yes")) {
            args.yes = sw();
        } else if (takes(kFlagQuiet, "--quiet") || takes(kFlagQuiet, "-q")) {
            args.quiet = sw();
        } else if (takes(kFlagJson, "--json")) {
            args.json = sw();
        } else if (takes(kFlagIso9660, "--iso9660")) {
            args.iso9660 = sw();
        } else if (takes(kFlagReadBack, "--no-read-back")) {
            args.readBack = !sw();
        } else {
            throw std::invalid_argument("unknown option " + name);
        }
    }
    // Naming the MS-DOS files chooses MS-DOS; naming them for Rx-Dos is a contradiction, not a
    // choice to guess at.
    if (os == "rx" && args.msDosFolder)
        throw std::invalid_argument("--msdos-folder names MS-DOS system files, but --os rx boots Rx-Dos: "
                                    "use --os msdos, or leave out --msdos-folder");
    args.useMsDos = os ? *os == "msdos" : args.msDosFolder && (accepted & kFlagOs);
    return args;
}

std::string AlignedColumns(const std::vector<std::pair<std::string, std::string>>& rows) {
    std::size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.first.size());
    std::string text;
    for (const auto& [left, right] : rows) text += "  " + left + std::string(width - left.size() + 2, ' ') + right + "\n";
    return text;
}

std::string OptionsHelp(unsigned accepted) {
    std::vector<std::pair<std::string, std::string>> rows;
    const auto add = [&](unsigned flag, std::string left, std::string right) {
        if (accepted & flag) rows.emplace_back(std::move(left), std::move(right));
    };
    add(kFlagPayload, "--payload FILE", "use this payload container instead of the built-in one");
    rows.emplace_back("--language CODE", "show the texts of this language (de, en), not the user's");
    add(kFlagOs, "--os rx|msdos",
        std::string("boot system of the disk (default rx, or msdos with --msdos-folder") +
            (CdOffersOsChoice(RealHost().Version()) ? ")" : "; a CD boots MS-DOS)"));
    add(kFlagMsDosFolder, "--msdos-folder DIR",
        (accepted & kFlagOs) ? "folder holding IO.SYS and COMMAND.COM; chooses MS-DOS"
                             : "folder holding the MS-DOS system files IO.SYS and COMMAND.COM");
    add(kFlagLoaders, "--loaders DIR",
        "folder holding pxelinux.0, ldlinux.c32, memdisk and undionly.kpxe (default: the system's packages)");
    add(kFlagInterface, "--interface IF", "the network interface to answer on (required), such as eth0");
    add(kFlagUsb, "--usb", "mark the image for booting as a hard disk (USB drives)");
    add(kFlagYes, "--yes", "answer every question with yes: write without asking");
    add(kFlagBurn, "--trace", "print every SCSI command and its result on stderr");
    add(kFlagBurn, "--sim-dump FILE", "after the run, save the emulated writer's recorded blocks");
    add(kFlagReadBack, "--no-read-back", "do not read a recorded disc back to compare it");
    add(kFlagIso9660, "--iso9660", "give the CD an ISO 9660 volume listing the boot image as BOOT.IMG");
    add(kFlagJson, "--json",
        (accepted & kFlagInterface) ? "print each event as one JSON object on a line (keys in the manual page)"
                                    : "print the list as one JSON object (keys in the manual page)");
    add(kFlagQuiet, "--quiet, -q", "print nothing but errors; the exit code tells the outcome");
    add(kFlagSanitizer, "--params TEXT", "extra command-line parameters for the sanitizer");
    add(kFlagSanitizer, "--options BITS", "twelve 0/1 characters, one per option below, in order");
    // The help is English, as the command line's own words are: the built-in texts.
    const TStringTable english;
    for (std::size_t i = 0; i < kOptionCount; ++i) {
        const std::string name(kOptionInfo[i].switchName);
        add(kFlagSanitizer, "--[no-]" + name, english[kOptionInfo[i].label] + (kDefaultOptions[i] ? " (on)" : " (off)"));
    }
    add(kFlagSanitizer, "--no-mouse", "the same as --disable-mouse");
    return AlignedColumns(rows) + "\nA value may follow its option as the next word or after '=' (--os=msdos);\n"
                                  "words after '--' are taken as names, never as options.\n";
}

}  // namespace bootdisk::cli
