// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BashCompletion.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <utility>

#include "app/RowSpec.h"
#include "cli/Commands.h"

namespace bootdisk::cli {
namespace {

// The parts that are the same whatever the tables hold: device nodes for a kind of target, a
// row's count, kind and target, and the trimming of candidates to the part of the word that
// readline replaces (after its last "=" or ":", when those break words).
constexpr const char* kHelpers = R"sh(
_bootdisk_devices() {
    local nodes=() node
    case $1 in
        cd)
            nodes=(/dev/sr[0-9]*)
            COMPREPLY+=($(compgen -W "sim: sim-aspi: iscsi://" -- "$cur"))
            ;;
        floppy) nodes=(/dev/fd[0-9]* /dev/sd[a-z]) ;;
        usb) nodes=(/dev/sd[a-z] /dev/sd[a-z][a-z] /dev/vd[a-z] /dev/mmcblk[0-9] /dev/nvme[0-9]n[0-9]) ;;
        *) nodes=(/dev/sd[a-z] /dev/sd[a-z][a-z] /dev/vd[a-z] /dev/mmcblk[0-9] /dev/nvme[0-9]n[0-9] /dev/sr[0-9]*) ;;
    esac
    for node in "${nodes[@]}"; do
        [[ -e $node ]] && COMPREPLY+=($(compgen -W "$node" -- "$cur"))
    done
    return 0
}

_bootdisk_row() {
    local count="" rest=$cur
    [[ $rest =~ ^[0-9]+: ]] && count=${BASH_REMATCH[0]} rest=${rest#"${BASH_REMATCH[0]}"}
    if [[ $rest == *=* ]]; then
        local kind=${rest%%=*} cur=${rest#*=}
        _bootdisk_target "$kind"
        COMPREPLY=("${COMPREPLY[@]/#/$count$kind=}")
    else
        COMPREPLY=($(compgen -P "$count" -W "$(_bootdisk_row_kinds)" -- "$rest"))
        [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]] && compopt -o nospace
    fi
    return 0
}

_bootdisk_trim() {
    local breaks=${COMP_WORDBREAKS//[^=:]/}
    [[ -n $breaks ]] || return 0
    local head=${1%"${1##*[$breaks]}"}
    [[ -z $head ]] || COMPREPLY=("${COMPREPLY[@]#"$head"}")
}
)sh";

// A command whose operand is a device is completed as the target of a row of this kind.
const std::map<std::string, TRowKind, std::less<>> kDeviceOperands = {
    {"burn", TRowKind::Cd}, {"usb", TRowKind::Usb}, {"floppy", TRowKind::Floppy}};

std::string_view RowKindName(TRowKind kind) {
    return std::find_if(kRowKinds.begin(), kRowKinds.end(), [&](const auto& k) { return k.second == kind; })->first;
}

std::string TargetCompletion(TRowKind kind) {
    switch (kind) {
        case TRowKind::Floppy: return "_bootdisk_devices floppy; _filedir";
        case TRowKind::Usb: return "_bootdisk_devices usb";
        case TRowKind::Cd: return "_bootdisk_devices cd";
        case TRowKind::Iso: return "_filedir iso";
        case TRowKind::Img: return "_filedir img";
        case TRowKind::Net: return "_filedir -d";
    }
    return "_filedir";
}

std::vector<std::string> Words(const std::string& text, char separator) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; std::getline(in, word, separator);)
        if (!word.empty()) words.push_back(word);
    return words;
}

// An option's spellings as its help row writes them: "--quiet, -q", "--[no-]verify", "--os rx|msdos".
struct TOption {
    std::vector<std::string> names;
    std::string value;  // what follows the name in the help: FILE, DIR, a|b, or none
};

TOption ParseOption(const std::string& left) {
    TOption option;
    for (auto spelling : Words(left, ',')) {
        if (spelling.front() == ' ') spelling.erase(0, 1);
        auto parts = Words(spelling, ' ');
        if (parts.size() > 1) option.value = parts[1];
        const std::string negatable = "--[no-]";
        if (parts[0].starts_with(negatable)) {
            const auto name = parts[0].substr(negatable.size());
            option.names.push_back("--" + name);
            option.names.push_back("--no-" + name);
        } else {
            option.names.push_back(parts[0]);
        }
    }
    return option;
}

std::string ValueCompletion(const std::string& value, const std::string& languages) {
    if (value == "FILE") return "_filedir";
    if (value == "DIR") return "_filedir -d";
    if (value == "IF") return "COMPREPLY=($(compgen -W \"$(ls /sys/class/net 2>/dev/null)\" -- \"$cur\"))";
    if (value == "CODE") return "COMPREPLY=($(compgen -W \"" + languages + "\" -- \"$cur\"))";
    if (value.find('|') != std::string::npos) {
        std::string words = value;
        std::replace(words.begin(), words.end(), '|', ' ');
        return "COMPREPLY=($(compgen -W \"" + words + "\" -- \"$cur\"))";
    }
    return ":";  // free text
}

// What the command's first operand in its usage is: OUT.iso (a file of that type), DEVICE, ROW;
// an option's value ("[--payload FILE]") is none.
std::string OperandCompletion(const TCommand& command) {
    bool optionValue = false;
    for (auto word : Words(command.usage, ' ')) {
        const bool value = std::exchange(optionValue, false);
        if (word.starts_with("[-")) optionValue = !word.ends_with(']');
        std::erase(word, '[');
        std::erase(word, ']');
        if (word.ends_with("...")) word.resize(word.size() - 3);
        if (value || word.empty() || word.starts_with('-') || word == "OPTIONS") continue;
        if (word == "ROW") return "_bootdisk_row";
        if (word == "DIR") return "_filedir -d";
        if (word == "DEVICE") {
            const auto kind = kDeviceOperands.find(command.name);
            return kind == kDeviceOperands.end() ? "_bootdisk_devices any" : "_bootdisk_target " +
                                                                                 std::string(RowKindName(kind->second));
        }
        const auto dot = word.rfind('.');
        return dot == std::string::npos ? "_filedir" : "_filedir " + word.substr(dot + 1);
    }
    return ":";
}

}  // namespace

std::string BashCompletion(const std::vector<std::string>& languages) {
    std::string languageWords;
    for (const auto& language : languages) languageWords += (languageWords.empty() ? "" : " ") + language;
    std::string commands, optionLists, operands, values, rowKinds, targets;
    std::map<std::string, std::string> valueOf;  // each option that takes a value, by name
    for (const auto& command : Commands()) {
        commands += std::string(command.name) + " ";
        std::string options;
        for (const auto& [left, right] : OptionRows(command.accepted)) {
            const auto option = ParseOption(left);
            for (const auto& name : option.names) {
                options += name + " ";
                if (!option.value.empty()) valueOf[name] = ValueCompletion(option.value, languageWords);
            }
        }
        optionLists += "            " + std::string(command.name) + ") options=\"" + options + "--help\" ;;\n";
        operands += "        " + std::string(command.name) + ") " + OperandCompletion(command) + " ;;\n";
    }
    for (const auto& [name, completion] : valueOf) values += "        " + name + ") " + completion + "; return ;;\n";
    for (const auto& [name, kind] : kRowKinds) {
        rowKinds += std::string(RowNeedsTarget(kind) ? "" : std::string(name) + " ") + std::string(name) + "= ";
        targets += "        " + std::string(name) + ") " + TargetCompletion(kind) + " ;;\n";
    }
    return "# SPDX-License-Identifier: GPL-3.0-or-later\n"
           "# bash completion for bootdisk, made by mkcompletion from the tables of its own --help.\n" +
           std::string(kHelpers) +
           "\n_bootdisk_row_kinds() { echo \"" + rowKinds + "\"; }\n"
           "\n_bootdisk_target() {\n    case $1 in\n" + targets + "    esac\n    return 0\n}\n"
           "\n_bootdisk() {\n"
           "    local cur prev words cword split\n"
           "    _init_completion -s -n =: || return\n"
           "    if ((cword == 1)); then\n"
           "        COMPREPLY=($(compgen -W \"" + commands + "--help --version\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    case $prev in\n" + values + "    esac\n"
           "    [[ $split == true ]] && return\n"
           "    if [[ $cur == -* ]]; then\n"
           "        local options=\"\"\n"
           "        case ${words[1]} in\n" + optionLists + "        esac\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    case ${words[1]} in\n" + operands + "    esac\n"
           "    _bootdisk_trim \"$cur\"\n"
           "} &&\n"
           "    complete -F _bootdisk bootdisk\n";
}

}  // namespace bootdisk::cli
