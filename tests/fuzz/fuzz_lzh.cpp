// SPDX-License-Identifier: GPL-3.0-or-later
// The LZH decoder on arbitrary streams, held to the classic tree-walking decoder: the same bytes,
// or the same error. Then a round trip of arbitrary data through our encoder.
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "base/Errors.h"
#include "image/LZH.h"
#include "support/LZHReference.h"

using namespace bootdisk;

namespace {

constexpr std::uint32_t kLimit = 4 * 1024 * 1024;

// What one decoder makes of the input: the bytes it wrote, and its error if it failed.
struct TOutcome {
    std::optional<std::string> error;
    TMemoryStream out;
};

template <class Decoder>
void Decode(const std::uint8_t* data, std::size_t size, TOutcome& outcome, Decoder decode) {
    TSpanStream in({data, size});
    try {
        decode(in, outcome.out, {}, kLimit);
    } catch (const EStreamError& e) {
        outcome.error = e.what();
    }
}

bool SameBytes(const TMemoryStream& a, const TMemoryStream& b) {
    return a.Size() == b.Size() && (a.Size() == 0 || std::memcmp(a.Bytes().data(), b.Bytes().data(), a.Size()) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TOutcome product, reference;
    Decode(data, size, product, LZHUnpack);
    Decode(data, size, reference, test::LZHUnpackReference);
    if (product.error != reference.error || !SameBytes(product.out, reference.out)) std::abort();

    TSpanStream plain({data, size});
    TMemoryStream packed, unpacked;
    LZHPack(plain, packed);
    packed.Rewind();
    LZHUnpack(packed, unpacked);
    if (unpacked.Size() != size || (size != 0 && std::memcmp(unpacked.Bytes().data(), data, size) != 0)) std::abort();
    return 0;
}
