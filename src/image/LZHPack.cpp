// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <array>
#include <memory>

#include "base/Bytes.h"
#include "image/LZH.h"
#include "image/LZHModel.h"

namespace bootdisk {

namespace {

using namespace lzh;

constexpr unsigned kNil = kRingSize;

// The longest earlier occurrence of the lookahead, found through one binary search tree of ring
// positions per first byte. Ties go to the nearest position. The ring keeps a copy of its first
// kLookahead - 1 bytes behind its end so that a comparison never wraps; like the rest of the
// ring that copy only holds what the encoder has stored there.
class TMatchFinder {
public:
    TMatchFinder() {
        rson_.fill(kNil);
        dad_.fill(kNil);
    }

    std::array<std::uint8_t, kRingSize + kLookahead - 1> text{};
    unsigned matchLength = 0;
    unsigned matchPosition = 0;  // distance - 1

    // Adds the string at r, setting the match for it; a string equal over the whole lookahead
    // takes the place of the older one.
    void InsertNode(unsigned r) {
        const std::uint8_t* key = &text[r];
        unsigned p = kRingSize + 1 + key[0];
        int cmp = 1;
        rson_[r] = lson_[r] = kNil;
        matchLength = 0;
        for (;;) {
            auto& next = cmp >= 0 ? rson_[p] : lson_[p];
            if (next == kNil) {
                next = std::uint16_t(r);
                dad_[r] = std::uint16_t(p);
                return;
            }
            p = next;
            unsigned i = 1;
            for (; i < kLookahead; ++i)
                if ((cmp = key[i] - text[p + i]) != 0) break;
            if (i > kThreshold) {
                const unsigned position = ((r - p) & kRingMask) - 1;
                if (i > matchLength) {
                    matchPosition = position;
                    if ((matchLength = i) >= kLookahead) break;
                } else if (i == matchLength && position < matchPosition) {
                    matchPosition = position;
                }
            }
        }
        Replace(p, r);
    }

    void DeleteNode(unsigned p) {
        if (dad_[p] == kNil) return;
        unsigned q;
        if (rson_[p] == kNil) {
            q = lson_[p];
        } else if (lson_[p] == kNil) {
            q = rson_[p];
        } else {
            // The rightmost node of the left subtree takes p's place.
            q = lson_[p];
            if (rson_[q] != kNil) {
                do q = rson_[q];
                while (rson_[q] != kNil);
                rson_[dad_[q]] = lson_[q];
                dad_[lson_[q]] = dad_[q];
                lson_[q] = lson_[p];
                dad_[lson_[p]] = std::uint16_t(q);
            }
            rson_[q] = rson_[p];
            dad_[rson_[p]] = std::uint16_t(q);
        }
        dad_[q] = dad_[p];
        LinkFromParent(p, q);
        dad_[p] = kNil;
    }

private:
    void Replace(unsigned p, unsigned r) {
        dad_[r] = dad_[p];
        lson_[r] = lson_[p];
        rson_[r] = rson_[p];
        dad_[lson_[p]] = std::uint16_t(r);
        dad_[rson_[p]] = std::uint16_t(r);
        LinkFromParent(p, r);
        dad_[p] = kNil;
    }

    void LinkFromParent(unsigned p, unsigned q) {
        auto& link = rson_[dad_[p]] == p ? rson_[dad_[p]] : lson_[dad_[p]];
        link = std::uint16_t(q);
    }

    // Nodes are ring positions; kNil marks no node and kRingSize + 1 + b is the root for byte b.
    static constexpr std::size_t kTreeSize = kRingSize + 1 + 256;
    std::array<std::uint16_t, kTreeSize> lson_{}, rson_{}, dad_{};
};

// Code bits, most significant first, written through a buffer of kBufferSize bytes.
class TCodeWriter {
public:
    explicit TCodeWriter(TStream& out) : out_(out) {}

    // Writes the top `length` bits of code (length <= 32).
    void Put(unsigned length, std::uint32_t code) {
        pending_ |= std::uint64_t(code) << (32 - pendingBits_);
        pendingBits_ += length;
        while (pendingBits_ >= 8) {
            PutByte(std::uint8_t(pending_ >> 56));
            pending_ <<= 8;
            pendingBits_ -= 8;
        }
    }

    // Pads the last byte with zero bits and writes everything out.
    void Finish() {
        if (pendingBits_ > 0) PutByte(std::uint8_t(pending_ >> 56));
        pending_ = 0;
        pendingBits_ = 0;
        out_.WriteBuffer(buf_.data(), fill_);
        fill_ = 0;
    }

private:
    void PutByte(std::uint8_t b) {
        buf_[fill_++] = b;
        if (fill_ == buf_.size()) {
            out_.WriteBuffer(buf_.data(), fill_);
            fill_ = 0;
        }
    }

    TStream& out_;
    std::uint64_t pending_ = 0;  // next bit in bit 63
    unsigned pendingBits_ = 0;
    std::array<std::uint8_t, kBufferSize> buf_{};
    std::size_t fill_ = 0;
};

class TByteSource {
public:
    explicit TByteSource(TStream& in) : in_(in) {}

    // The next byte, or -1 at the end.
    int Next() {
        if (pos_ == fill_) {
            fill_ = in_.Read(buf_.data(), buf_.size());
            pos_ = 0;
            if (fill_ == 0) return -1;
        }
        ++total_;
        return buf_[pos_++];
    }

    std::uint64_t Total() const { return total_; }

private:
    TStream& in_;
    std::array<std::uint8_t, kBufferSize> buf_{};
    std::size_t pos_ = 0, fill_ = 0;
    std::uint64_t total_ = 0;
};

class TLZHEncoder {
public:
    TLZHEncoder(TStream& in, TStream& out) : source_(in), writer_(out) {}

    void Encode(std::uint32_t length) {
        if (length == 0) return;
        model_.StartHuff();
        auto& text = finder_.text;
        std::fill(text.begin(), text.begin() + kRingStart, kRingFill);

        unsigned s = 0, r = kRingStart, len = 0;
        for (int c; len < kLookahead && (c = source_.Next()) >= 0; ++len) text[r + len] = std::uint8_t(c);
        // The spaces before the first byte are earlier text that matches may refer to.
        for (unsigned i = 1; i <= kLookahead; ++i) finder_.InsertNode(r - i);
        finder_.InsertNode(r);

        while (len > 0) {
            unsigned matchLength = std::min(finder_.matchLength, len);
            if (matchLength <= kThreshold) {
                matchLength = 1;
                EncodeChar(text[r]);
            } else {
                EncodeChar(MatchSymbol(matchLength));
                EncodePosition(finder_.matchPosition);
            }
            // Slide the window by the bytes just coded, reading as many new ones.
            unsigned i = 0;
            for (int c; i < matchLength && (c = source_.Next()) >= 0; ++i) {
                finder_.DeleteNode(s);
                text[s] = std::uint8_t(c);
                if (s < kLookahead - 1) text[s + kRingSize] = std::uint8_t(c);
                s = (s + 1) & kRingMask;
                r = (r + 1) & kRingMask;
                finder_.InsertNode(r);
            }
            for (; i < matchLength; ++i) {
                finder_.DeleteNode(s);
                s = (s + 1) & kRingMask;
                r = (r + 1) & kRingMask;
                if (--len > 0) finder_.InsertNode(r);
            }
        }
        writer_.Finish();
        if (source_.Total() != length) throw EStreamError("LZH packer input changed size while read");
    }

private:
    // The path from the root to the symbol's leaf; a right child has an odd index.
    void EncodeChar(unsigned symbol) {
        static_assert(kMaxCodeLength <= 32);
        std::uint32_t code = 0;
        unsigned length = 0;
        for (unsigned node = model_.LeafOf(symbol); node != kRoot; node = model_.Parent(node)) {
            code = code >> 1 | std::uint32_t(node & 1) << 31;
            ++length;
        }
        writer_.Put(length, code);
        model_.Update(symbol);
    }

    void EncodePosition(unsigned position) {
        const unsigned upper = position >> 6;
        writer_.Put(kPositionCode.prefixLength[upper], std::uint32_t(kPositionCode.prefixOf[upper]) << 24);
        writer_.Put(6, std::uint32_t(position & 63) << 26);
    }

    TByteSource source_;
    TCodeWriter writer_;
    TMatchFinder finder_;
    TLZHModel model_;
};

}  // namespace

void LZHPack(TStream& in, TStream& out) {
    const auto remaining = in.Remaining();
    if (remaining > kLZHNoLimit) throw ELZHError("LZH packer input is too large");
    const auto length = std::uint32_t(remaining);
    std::array<std::uint8_t, kHeaderSize> header;
    PutLE32(header.data(), length);
    out.WriteBuffer(header.data(), header.size());
    std::make_unique<TLZHEncoder>(in, out)->Encode(length);
}

}  // namespace bootdisk
