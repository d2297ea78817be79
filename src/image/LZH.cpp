// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/LZH.h"

#include <algorithm>
#include <array>

#include "base/Bytes.h"
#include "image/LZHCodeTable.h"
#include "image/LZHDecoder.h"

namespace bootdisk {
namespace {

using namespace lzh;

// Symbols through the code table: one lookup for most codes, the tree's remaining levels bit by
// bit for the rest. The update then climbs from the symbol's leaf by the table's places, so that
// no step of the climb waits for the parent link of the step before.
class TTableCode {
public:
    void Start() {
        model_.StartHuff();
        table_.Build(model_);
    }

    unsigned Decode(TBitInput& bits) {
        const unsigned next = bits.Peek(TLZHCodeTable::kBits);
        const auto step = table_.Lookup(next);
        bits.Skip(step.bits);
        unsigned node = step.son;
        unsigned place = 1u << step.bits | next >> (TLZHCodeTable::kBits - step.bits);
        if (node < kNodes) {
            do node = model_.Son(node + bits.GetBit());
            while (node < kNodes);
            place = TLZHCodeTable::kDeep;
        }
        const unsigned symbol = node - kNodes;
        Count(symbol, place);
        return symbol;
    }

private:
    // The model's update, with the table following every exchange as it happens.
    void Count(unsigned symbol, unsigned place) {
        if (model_.RebuildIfFull()) {
            table_.Build(model_);
            place = table_.PlaceOf(model_.LeafOf(symbol));
        }
        unsigned c = model_.LeafOf(symbol);
        for (;;) {
            if (const unsigned moved = model_.Increment(c); moved != c) {
                table_.Exchanged(model_, c, moved);
                c = moved;
                place = table_.PlaceOf(c);
            }
            if (place == 1) return;  // the root is counted
            if (place != TLZHCodeTable::kDeep) {
                place /= 2;
                c = table_.NodeAt(place);
            } else {
                c = model_.Parent(c);
                place = table_.PlaceOf(c);
            }
        }
    }

    TLZHModel model_;
    TLZHCodeTable table_;
};

}  // namespace

std::size_t LZHOutputRoom(TStream& in, std::uint32_t maxLength) {
    // A one-bit match symbol copies 60 bytes; zero bits read past the end count too.
    constexpr std::uint64_t kMostBytesPerCodeByte = 8 * kLookahead;
    constexpr std::uint64_t kZeroBytesRead = kRefilledBits / 8 + 1;
    const auto start = in.Position();
    std::array<std::uint8_t, kHeaderSize> header{};
    const bool complete = in.Read(header.data(), header.size()) == header.size();
    in.SetPosition(start);
    const auto announced = complete ? std::min<std::uint64_t>(GetLE32(header.data()), maxLength) : 0;
    const auto codeBytes = in.Remaining() + kZeroBytesRead;
    return std::size_t(std::min(announced, codeBytes * kMostBytesPerCodeByte) + kLookahead);
}

void LZHUnpack(TStream& in, TStream& out, const TLZHProgressEvent& onProgress, std::uint32_t maxLength) {
    Unpack<TTableCode>(in, out, onProgress, maxLength);
}

}  // namespace bootdisk
