// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The adaptive Huffman tree's top kBits levels as tables, kept in step with the tree:
// - the next kBits code bits look up the symbol they begin (and how many bits its code takes), or,
//   for a longer code, the node they lead to;
// - each node within kBits of the root has a place in heap order (the root is 1, the children of
//   place h are 2h and 2h + 1), and each place its node, so a path to the root is read off the
//   places (h, h / 2, ... 1) without waiting for one parent link after another.
// An exchange of two nodes' children refills only the places and entries below them, and costs
// two lookups when both are deeper than kBits.
#include <array>
#include <cstdint>

#include "image/LZHModel.h"

namespace bootdisk::lzh {

class TLZHCodeTable {
public:
    // Most codes are this long or shorter; a longer table costs more to keep up to date.
    static constexpr unsigned kBits = 7;
    static constexpr unsigned kDeep = 0;  // the place of a node more than kBits below the root

    struct TStep {
        unsigned son;   // a symbol's leaf (symbol + kNodes), or the left child of the node reached
        unsigned bits;  // code bits taken to get there, at most kBits
    };

    TStep Lookup(unsigned nextBits) const {
        const unsigned entry = entries_[nextBits];
        return {entry & kSonMask, entry >> kSonBits};
    }
    unsigned PlaceOf(unsigned node) const { return places_[node]; }
    unsigned NodeAt(unsigned place) const { return nodes_[place]; }

    // The whole table, for a tree just started or built anew.
    void Build(const TLZHModel& model);
    // After the model exchanged the children of nodes a and b.
    void Exchanged(const TLZHModel& model, unsigned a, unsigned b);

private:
    static constexpr unsigned kSonBits = 10;
    static constexpr unsigned kSonMask = (1u << kSonBits) - 1;
    static_assert(kNodes + kSymbols <= kSonMask + 1 && kBits < 1u << (16 - kSonBits));

    // Gives node the place at depth and the nodes below it theirs, and sets the entries of every
    // code that passes through node.
    void Fill(const TLZHModel& model, unsigned node, unsigned place, unsigned depth);
    // Takes their places from the nodes below node, down to those that have none.
    void Forget(const TLZHModel& model, unsigned node);

    std::array<std::uint16_t, 1u << kBits> entries_{};
    std::array<std::uint16_t, kNodes> places_{};
    std::array<std::uint16_t, 2u << kBits> nodes_{};
};

}  // namespace bootdisk::lzh
