// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the LZHUF encoder and decoder share: the format's constants, the position code and the
// adaptive Huffman model. Both sides must run the very same model to stay in step.
#include <array>
#include <cstddef>
#include <bit>
#include <cstdint>
#include <cstring>

namespace bootdisk::lzh {

inline constexpr std::size_t kHeaderSize = 4;  // decoded length, 32-bit little-endian, signed
inline constexpr std::size_t kBufferSize = 10240;

inline constexpr unsigned kRingSize = 4096;
inline constexpr unsigned kRingMask = kRingSize - 1;
inline constexpr unsigned kLookahead = 60;  // longest match
inline constexpr unsigned kThreshold = 2;   // a match is longer than this
inline constexpr unsigned kRingStart = kRingSize - kLookahead;
inline constexpr std::uint8_t kRingFill = 0x20;

inline constexpr unsigned kLiterals = 256;
inline constexpr unsigned kSymbols = kLiterals + kLookahead - kThreshold;
inline constexpr unsigned kNodes = 2 * kSymbols - 1;
inline constexpr unsigned kRoot = kNodes - 1;
inline constexpr unsigned kFreqLimit = 0x8000;
static_assert(kSymbols == 314 && kNodes == 627 && kRingStart == 4036);

// Symbols above the literals stand for match lengths 3..60.
constexpr unsigned MatchSymbol(unsigned length) { return length + kLiterals - kThreshold - 1; }
constexpr unsigned MatchLength(unsigned symbol) { return symbol + kThreshold + 1 - kLiterals; }
static_assert(MatchSymbol(kThreshold + 1) == kLiterals && MatchSymbol(kLookahead) == kSymbols - 1);

// A match position (distance - 1, 12 bits) is coded as a prefix code of 3..8 bits for its upper
// 6 bits followed by its lower 6 bits as they are. The decoder looks the prefix up by the first
// 8 code bits: codes of length n cover 2^(8-n) consecutive byte values.
struct TPositionCode {
    std::array<std::uint8_t, 256> upperOf{};   // first 8 code bits -> upper 6 position bits
    std::array<std::uint8_t, 256> lengthOf{};  // first 8 code bits -> prefix length
    std::array<std::uint8_t, 64> prefixOf{};   // upper 6 bits -> prefix, left-aligned in a byte
    std::array<std::uint8_t, 64> prefixLength{};
};

constexpr TPositionCode MakePositionCode() {
    struct TGroup {
        unsigned length, uppers;
    };
    constexpr TGroup groups[] = {{3, 1}, {4, 3}, {5, 8}, {6, 12}, {7, 24}, {8, 16}};
    TPositionCode code;
    unsigned byte = 0, upper = 0;
    for (const auto& group : groups) {
        for (unsigned u = 0; u < group.uppers; ++u, ++upper) {
            code.prefixOf[upper] = std::uint8_t(byte);
            code.prefixLength[upper] = std::uint8_t(group.length);
            for (unsigned e = 0; e < 1u << (8 - group.length); ++e, ++byte) {
                code.upperOf[byte] = std::uint8_t(upper);
                code.lengthOf[byte] = std::uint8_t(group.length);
            }
        }
    }
    return code;
}

inline constexpr TPositionCode kPositionCode = MakePositionCode();
static_assert(kPositionCode.upperOf[0x1F] == 0 && kPositionCode.upperOf[0x20] == 1 &&
              kPositionCode.upperOf[0x50] == 4 && kPositionCode.upperOf[0x90] == 12 &&
              kPositionCode.upperOf[0xC0] == 24 && kPositionCode.upperOf[0xF0] == 48 &&
              kPositionCode.upperOf[0xFF] == 63 && kPositionCode.lengthOf[0xEF] == 7);

// The tree always has the sibling property, so it is a Huffman tree for its frequencies; a leaf
// at depth d there needs a root frequency of at least Fibonacci(d + 2), and the root stays at or
// below kFreqLimit. That bounds every symbol code.
constexpr unsigned MaxCodeLength() {
    unsigned long a = 1, b = 1;  // Fibonacci(depth + 1), Fibonacci(depth + 2)
    unsigned depth = 0;
    for (; a + b <= kFreqLimit; ++depth) {
        const auto next = a + b;
        a = b;
        b = next;
    }
    return depth;
}
inline constexpr unsigned kMaxCodeLength = MaxCodeLength();
inline constexpr unsigned kMaxPositionLength = 8 + 6;
static_assert(kMaxCodeLength == 21);

// The adaptive Huffman tree. Nodes are kept in order of non-decreasing frequency (the sibling
// property), so incrementing a frequency only ever swaps a node with the last one of its
// frequency. An internal node's children are son and son + 1; a leaf's son is symbol + kNodes.
// prnt holds each node's parent and, from kNodes on, the leaf of each symbol.
class TLZHModel {
public:
    void StartHuff();
    // Counts one more occurrence of symbol and restores the sibling property: the classic update,
    // climbing parent by parent.
    void Update(unsigned symbol);

    // The steps of an update, for a decoder that climbs the path its own way. Every update begins
    // with this: the tree is built anew, all frequencies halved, once the root's reaches kFreqLimit.
    // True when it was.
    bool RebuildIfFull() {
        if (freq_[kRoot] != kFreqLimit) return false;
        Reconst();
        return true;
    }
    // Counts one more occurrence at node c. Should c now weigh more than the node after it, it
    // changes places (and children) with the last node of its former weight, which is returned;
    // otherwise c. The update continues at the parent of the node returned. Update's step, but
    // that last node is looked for kStride weights at a time.
    unsigned Increment(unsigned c) {
        const unsigned k = ++freq_[c];
        if (k <= freq_[c + 1]) return c;
        unsigned l = c + 1;
        for (unsigned below; (below = CountBelow(l + 1, k)) != 0;) {
            l += below;
            if (below < kStride) break;
        }
        freq_[c] = freq_[l];
        freq_[l] = std::uint16_t(k);
        Exchange(c, l);
        return l;
    }

    unsigned Son(unsigned node) const { return son_[node]; }
    unsigned Parent(unsigned node) const { return prnt_[node]; }
    unsigned LeafOf(unsigned symbol) const { return prnt_[symbol + kNodes]; }

private:
    // How many of the kStride weights from node on are below k (those below come first: the
    // weights from node on are in order). One comparison of all eight, lane 0 the lowest bits.
    unsigned CountBelow(unsigned node, unsigned k) const {
        static_assert(kStride == 8 && std::endian::native == std::endian::little);
        using TLanes = std::uint16_t __attribute__((vector_size(2 * kStride)));
        TLanes lanes;
        std::memcpy(&lanes, &freq_[node], sizeof lanes);
        const auto below = lanes < TLanes{} + std::uint16_t(k);  // all ones where below
        std::uint64_t low, high;
        std::memcpy(&low, &below, 8);
        std::memcpy(&high, reinterpret_cast<const char*>(&below) + 8, 8);
        return unsigned(~low ? std::countr_zero(~low) : 64 + std::countr_zero(~high)) / 16;
    }
    void Reconst();
    // Exchanges the children of c and l, keeping every parent link right.
    void Exchange(unsigned c, unsigned l) {
        const unsigned i = son_[c];
        prnt_[i] = std::uint16_t(l);
        if (i < kNodes) prnt_[i + 1] = std::uint16_t(l);
        const unsigned j = son_[l];
        son_[l] = std::uint16_t(i);
        prnt_[j] = std::uint16_t(c);
        if (j < kNodes) prnt_[j + 1] = std::uint16_t(c);
        son_[c] = std::uint16_t(j);
    }

    // Behind the nodes, sentinels above every real frequency end the upward scans.
    static constexpr unsigned kStride = 8;
    std::array<std::uint16_t, kNodes + kStride> freq_{};
    std::array<std::uint16_t, kNodes> son_{};
    std::array<std::uint16_t, kNodes + kSymbols> prnt_{};
};

}  // namespace bootdisk::lzh
