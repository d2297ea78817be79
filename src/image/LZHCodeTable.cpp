// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/LZHCodeTable.h"

#include <algorithm>
#include <bit>

namespace bootdisk::lzh {

void TLZHCodeTable::Build(const TLZHModel& model) {
    places_.fill(kDeep);
    Fill(model, kRoot, 1, 0);
}

void TLZHCodeTable::Exchanged(const TLZHModel& model, unsigned a, unsigned b) {
    const unsigned placeA = places_[a], placeB = places_[b];
    if (placeA == kDeep && placeB == kDeep) return;
    // Either subtree may have moved deeper (rarely, but nodes of equal weight need not be in depth
    // order), leaving nodes past kBits that had places: all of them lose theirs before the refill.
    Forget(model, a);
    Forget(model, b);
    if (placeA != kDeep) Fill(model, a, placeA, unsigned(std::bit_width(placeA)) - 1);
    if (placeB != kDeep) Fill(model, b, placeB, unsigned(std::bit_width(placeB)) - 1);
}

void TLZHCodeTable::Fill(const TLZHModel& model, unsigned node, unsigned place, unsigned depth) {
    places_[node] = std::uint16_t(place);
    nodes_[place] = std::uint16_t(node);
    const unsigned son = model.Son(node);
    if (son >= kNodes || depth == kBits) {
        const unsigned first = (place - (1u << depth)) << (kBits - depth);
        std::fill_n(entries_.begin() + first, 1u << (kBits - depth), std::uint16_t(son | depth << kSonBits));
        return;
    }
    Fill(model, son, 2 * place, depth + 1);
    Fill(model, son + 1, 2 * place + 1, depth + 1);
}

void TLZHCodeTable::Forget(const TLZHModel& model, unsigned node) {
    const unsigned son = model.Son(node);
    if (son >= kNodes) return;
    for (const unsigned child : {son, son + 1}) {
        if (places_[child] == kDeep) continue;
        places_[child] = kDeep;
        Forget(model, child);
    }
}

}  // namespace bootdisk::lzh
