// SPDX-License-Identifier: GPL-3.0-or-later
// mkcompletion OUTPUT LANGUAGE...: writes bootdisk's bash completion, made from its own command and
// option tables and the codes of the language files that ship. The output appears only when it is
// complete.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "base/PendingFile.h"
#include "cli/BashCompletion.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: mkcompletion OUTPUT LANGUAGE...\n");
        return 2;
    }
    try {
        const auto text = bootdisk::cli::BashCompletion({argv + 2, argv + argc});
        bootdisk::WriteFileWhole(argv[1], {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mkcompletion: %s\n", error.what());
        return 1;
    }
}
