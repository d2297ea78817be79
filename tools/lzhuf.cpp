// SPDX-License-Identifier: GPL-3.0-or-later
// lzhuf e IN OUT packs IN into an LZH stream; lzhuf d IN OUT unpacks one. OUT appears only when
// the whole job succeeds: the result goes to a temporary file beside it that is then renamed.
#include <cstdio>
#include <exception>
#include <string>

#include "base/PendingFile.h"
#include "image/LZH.h"

namespace {

using namespace bootdisk;

int Usage() {
    std::fputs("usage: lzhuf e IN OUT   (pack)\n       lzhuf d IN OUT   (unpack)\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Usage();
    const std::string mode = argv[1];
    if (mode != "e" && mode != "d") return Usage();
    try {
        TFileStream in(argv[2], FileMode::Read);
        TPendingFile pending(argv[3]);
        if (mode == "e")
            LZHPack(in, pending);
        else
            LZHUnpack(in, pending);
        pending.Commit();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lzhuf: %s\n", e.what());
        return 1;
    }
}
