// SPDX-License-Identifier: GPL-3.0-or-later
// mklng SOURCE OUTPUT: builds the language file from its readable source (format in
// app/LngSource.h). The output appears only when it is complete.
#include <cstdio>
#include <string>

#include "app/LngSource.h"
#include "app/StrBase.h"
#include "base/Errors.h"
#include "base/PendingFile.h"
#include "base/Streams.h"
#include "image/LZH.h"

using namespace bootdisk;

namespace {

void WriteLanguageFile(const std::string& path, const TValueList& list) {
    TMemoryStream in(EncodeValueList(list));
    TMemoryStream packed;
    LZHPack(in, packed);
    WriteFileWhole(path, packed.Bytes());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mklng SOURCE.txt OUTPUT.lng\n");
        return 2;
    }
    const std::string source = argv[1], output = argv[2];
    try {
        const auto bytes = ReadWholeFile(source);
        const auto entries = ParseLngSource({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
        WriteLanguageFile(output, MakeLanguageList(entries));
        return 0;
    } catch (const ELngSourceError& error) {
        std::fprintf(stderr, "mklng: %s:%d: %s\n", source.c_str(), error.Line(), error.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mklng: %s\n", error.what());
    }
    return 1;
}
