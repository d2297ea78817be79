// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line's options, shared by the commands that take them.
#include <optional>
#include <string>
#include <vector>

#include "image/BootConfig.h"

namespace bootdisk::cli {

// Which options a command accepts, besides --help and --language CODE, which every command takes.
enum TFlag : unsigned {
    kFlagPayload = 1u << 0,      // --payload FILE
    kFlagMsDosFolder = 1u << 1,  // --msdos-folder DIR
    kFlagSanitizer = 1u << 2,    // --params TEXT, --options BITS, --[no-]NAME per option
    kFlagOs = 1u << 3,           // --os rx|msdos
    kFlagUsb = 1u << 4,          // --usb
    kFlagBurn = 1u << 5,         // --trace, --sim-dump FILE
    kFlagYes = 1u << 6,          // --yes
    kFlagQuiet = 1u << 7,        // --quiet
    kFlagJson = 1u << 8,         // --json
    kFlagReadBack = 1u << 9,     // --no-read-back
    kFlagIso9660 = 1u << 10,     // --iso9660
    kFlagLoaders = 1u << 11,     // --loaders DIR
    kFlagInterface = 1u << 12,   // --interface IF
};

struct TArguments {
    std::string command;  // the command's name, which leads its error lines
    std::vector<std::string> positional;
    std::optional<std::string> payloadFile;
    std::optional<std::string> language;  // the texts' language; else the user's
    std::optional<std::string> msDosFolder;
    std::optional<std::string> loaders;       // the network boot loaders' folder; else the system's
    std::optional<std::string> netInterface;  // the network interface a server answers on
    std::string parameters;
    TOptionStates options = kDefaultOptions;
    bool useMsDos = false;
    bool usb = false;
    bool trace = false;
    std::optional<std::string> simDump;
    bool yes = false;
    bool quiet = false;
    bool json = false;
    bool iso9660 = false;
    bool readBack = true;
    bool help = false;
};

// Parses the words after the command name: "--name value" or "--name=value", and after "--" only
// positional words. Throws std::invalid_argument naming a bad word.
TArguments ParseArguments(const std::vector<std::string>& words, unsigned accepted);

// The help lines for the options a command accepts, in aligned columns.
std::string OptionsHelp(unsigned accepted);

// Rows of two columns, the second starting at one column for all rows.
std::string AlignedColumns(const std::vector<std::pair<std::string, std::string>>& rows);

}  // namespace bootdisk::cli
