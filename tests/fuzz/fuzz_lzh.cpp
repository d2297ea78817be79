// SPDX-License-Identifier: GPL-3.0-or-later
// The LZH decoder on arbitrary streams, and a round trip of arbitrary data through our encoder.
#include <cstdlib>
#include <cstring>

#include "base/Errors.h"
#include "image/LZH.h"

using namespace bootdisk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        TSpanStream in({data, size});
        TMemoryStream out;
        try {
            LZHUnpack(in, out, {}, 4 * 1024 * 1024);
        } catch (const EStreamError&) {
        }
    }
    TSpanStream plain({data, size});
    TMemoryStream packed, unpacked;
    LZHPack(plain, packed);
    packed.Rewind();
    LZHUnpack(packed, unpacked);
    if (unpacked.Size() != size || (size != 0 && std::memcmp(unpacked.Bytes().data(), data, size) != 0)) std::abort();
    return 0;
}
