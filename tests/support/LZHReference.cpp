// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/LZHReference.h"

#include "image/LZHDecoder.h"

namespace bootdisk::test {
namespace {

using namespace lzh;

class TTreeWalk {
public:
    void Start() { model_.StartHuff(); }

    // From the root to a leaf, one code bit per level: 0 is son, 1 is son + 1.
    unsigned Decode(TBitInput& bits) {
        unsigned node = model_.Son(kRoot);
        while (node < kNodes) node = model_.Son(node + bits.GetBit());
        const unsigned symbol = node - kNodes;
        model_.Update(symbol);
        return symbol;
    }

private:
    TLZHModel model_;
};

}  // namespace

void LZHUnpackReference(TStream& in, TStream& out, const TLZHProgressEvent& onProgress, std::uint32_t maxLength) {
    Unpack<TTreeWalk>(in, out, onProgress, maxLength);
}

}  // namespace bootdisk::test
