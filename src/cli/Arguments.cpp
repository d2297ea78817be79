#include "cli/Arguments.h"

#include <stdexcept>

#include "app/Options.h"
#include "platform/HostSystem.h"

namespace bootdisk::cli {
namespace {

bool SetOptionSwitch(const std::string& word, TOptionStates& options) {
    for (std::size_t i = 0; i < kOptionCount; ++i) {
        const std::string name(kOptionInfo[i].switchName);
        if (word == "--" + name) return options[i] = true, true;
        if (word == "--no-" + name) return options[i] = false, true;
    }
    // Reads better than --disable-mouse.
    if (word == "--no-mouse") return options[kOptionCount - 1] = true, true;
    return false;
}

}  // namespace

TArguments ParseArguments(const std::vector<std::string>& words, unsigned accepted) {
    TArguments args;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto& word = words[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= words.size()) throw std::invalid_argument(word + " needs a value");
            return words[++i];
        };
        const auto accepts = [&](unsigned flag) { return (accepted & flag) != 0; };
        if (word == "--help" || word == "-h") {
            args.help = true;
        } else if (accepts(kFlagPayload) && word == "--payload") {
            args.payloadFile = value();
        } else if (accepts(kFlagMsDosFolder) && word == "--msdos-folder") {
            args.msDosFolder = value();
        } else if (accepts(kFlagSanitizer) && word == "--params") {
            const auto checked = ToBatchParameters(value());
            const auto where = " (character " + std::to_string(checked.position) + ")";
            if (checked.refusal == TBatchParameters::Refusal::ControlCharacter)
                throw std::invalid_argument("--params must not hold line breaks or control characters, such as " +
                                            CharacterCode(checked.character) + where);
            if (checked.refusal == TBatchParameters::Refusal::OutsideCodePage)
                throw std::invalid_argument("--params can hold only characters of Windows-1252, the code page of "
                                            "AUTOEXEC.BAT, not '" + checked.typed + "' " +
                                            CharacterCode(checked.character) + where);
            if (checked.refusal == TBatchParameters::Refusal::TooLong)
                throw std::invalid_argument("--params must fit one DOS batch line: at most " +
                                            std::to_string(kMaxParameters) + " characters, not " +
                                            std::to_string(checked.length));
            args.parameters = checked.text;
        } else if (accepts(kFlagSanitizer) && word == "--options") {
            const auto& bits = value();
            if (!ParseOptionsString(bits, args.options))
                throw std::invalid_argument("--options takes twelve characters 0 or 1, not '" + bits + "'");
        } else if (accepts(kFlagSanitizer) && SetOptionSwitch(word, args.options)) {
        } else if (accepts(kFlagOs) && word == "--os") {
            const auto& os = value();
            if (os != "rx" && os != "msdos") throw std::invalid_argument("--os takes rx or msdos, not '" + os + "'");
            args.useMsDos = os == "msdos";
        } else if (accepts(kFlagUsb) && word == "--usb") {
            args.usb = true;
        } else if (accepts(kFlagBurn) && word == "--trace") {
            args.trace = true;
        } else if (accepts(kFlagBurn) && word == "--sim-dump") {
            args.simDump = value();
        } else if (accepts(kFlagYes) && word == "--yes") {
            args.yes = true;
        } else if (word.size() > 1 && word[0] == '-') {
            throw std::invalid_argument("unknown option " + word);
        } else {
            args.positional.push_back(word);
        }
    }
    return args;
}

std::string OptionsHelp(unsigned accepted) {
    std::string help;
    if (accepted & kFlagPayload) help += "  --payload FILE      use this payload container instead of the built-in one\n";
    if (accepted & kFlagMsDosFolder)
        help += "  --msdos-folder DIR  folder holding the MS-DOS system files IO.SYS and COMMAND.COM\n";
    if (accepted & kFlagOs)
        help += std::string("  --os rx|msdos       boot system of the disk (default rx") +
                (CdOffersOsChoice(RealHost().Version()) ? ")\n" : "; a CD boots MS-DOS)\n");
    if (accepted & kFlagUsb) help += "  --usb               mark the image for booting as a hard disk (USB drives)\n";
    if (accepted & kFlagYes) help += "  --yes               answer every question with yes: write without asking\n";
    if (accepted & kFlagBurn) {
        help += "  --trace             print every SCSI command and its result on stderr\n";
        help += "  --sim-dump FILE     after the run, save the emulated writer's recorded blocks\n";
    }
    if (accepted & kFlagSanitizer) {
        help += "  --params TEXT       extra command-line parameters for the sanitizer\n";
        help += "  --options BITS      twelve 0/1 characters, one per option below, in order\n";
        for (std::size_t i = 0; i < kOptionCount; ++i) {
            const std::string name(kOptionInfo[i].switchName);
            help += "  --" + name + " / --no-" + name + std::string(name.size() < 22 ? 22 - name.size() : 1, ' ') +
                    std::string(kOptionInfo[i].label) + (kDefaultOptions[i] ? " (on)" : " (off)") + "\n";
        }
        help += "  --no-mouse          the same as --disable-mouse\n";
    }
    return help;
}

}  // namespace bootdisk::cli
