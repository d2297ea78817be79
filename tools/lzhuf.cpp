// SPDX-License-Identifier: GPL-3.0-or-later
// lzhuf e IN OUT packs IN into an LZH stream; lzhuf d IN OUT unpacks one. OUT appears only when
// the whole job succeeds: the result goes to a temporary file beside it that is then renamed.
#include <cstdio>
#include <exception>
#include <string>

#include "base/PendingFile.h"
#include "image/LZH.h"
#include "platform/LargeBuffer.h"

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
        // The result is made in memory and written in one piece.
        if (mode == "e") {
            TMemoryStream out;
            LZHPack(in, out);
            WriteFileWhole(argv[3], out.Bytes());
        } else {
            TLargeBuffer room(LZHOutputRoom(in));
            TBufferStream out(room.Bytes());
            LZHUnpack(in, out);
            WriteFileWhole(argv[3], room.Bytes().first(std::size_t(out.Size())));
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lzhuf: %s\n", e.what());
        return 1;
    }
}
