// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/LZHCodeTable.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>

namespace bootdisk::lzh {
namespace {

// One update with the table following every exchange, the tree climbed parent by parent.
void Count(TLZHModel& model, TLZHCodeTable& table, unsigned symbol) {
    if (model.RebuildIfFull()) table.Build(model);
    unsigned c = model.LeafOf(symbol);
    do {
        const unsigned moved = model.Increment(c);
        if (moved != c) table.Exchanged(model, c, moved);
        c = model.Parent(moved);
    } while (c != 0);
}

// The table kept up to date exchange by exchange says what a table built anew says: every entry,
// every node's place (none for the nodes deeper than the table), the node at every place.
::testing::AssertionResult SameAsBuiltAnew(const TLZHModel& model, const TLZHCodeTable& kept) {
    TLZHCodeTable fresh;
    fresh.Build(model);
    for (unsigned bits = 0; bits < 1u << TLZHCodeTable::kBits; ++bits) {
        const auto a = kept.Lookup(bits), b = fresh.Lookup(bits);
        if (a.son != b.son || a.bits != b.bits) return ::testing::AssertionFailure() << "entry " << bits;
    }
    for (unsigned node = 0; node < kNodes; ++node) {
        const unsigned place = fresh.PlaceOf(node);
        if (kept.PlaceOf(node) != place) return ::testing::AssertionFailure() << "place of node " << node;
        if (place != TLZHCodeTable::kDeep && kept.NodeAt(place) != node)
            return ::testing::AssertionFailure() << "node at place " << place;
    }
    return ::testing::AssertionSuccess();
}

// Skewed symbols make a deep, lopsided tree with many exchanges, and run through rebuilds; each
// phase favours other symbols, so nodes keep moving across the table's edge.
TEST(LZHCodeTable, FollowsEveryExchangeAndRebuildAsABuildFromScratchWould) {
    TLZHModel model;
    TLZHCodeTable table;
    model.StartHuff();
    table.Build(model);
    std::mt19937 random(7);
    for (unsigned update = 0; update < 120'000; ++update) {
        const unsigned phase = update / 20'000;
        const unsigned skew = unsigned(std::countr_zero(unsigned(random()) | 0x100000u));
        Count(model, table, (skew * 37 + phase * 53 + unsigned(random() % 3)) % kSymbols);
        if (update % 5 == 0) {
            ASSERT_TRUE(SameAsBuiltAnew(model, table)) << "after update " << update;
        }
    }
}

}  // namespace
}  // namespace bootdisk::lzh
