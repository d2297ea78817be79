// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/LZH.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "base/Bytes.h"
#include "image/LZHModel.h"

namespace bootdisk {

namespace {

using namespace lzh;

// One symbol and its position never need more bits than a refill guarantees.
constexpr unsigned kMaxSymbolBits = kMaxCodeLength + kMaxPositionLength;
constexpr unsigned kRefilledBits = 56;
static_assert(kMaxSymbolBits <= kRefilledBits);

// A match is copied 8 bytes at a time and may write up to 7 bytes past its end.
constexpr std::size_t kCopyOvershoot = 7;

[[noreturn]] void Damaged(const std::string& what) { throw ELZHError("LZH stream is damaged: " + what); }

std::uint64_t LoadBE64(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = v << 8 | p[i];
    return v;
}

}  // namespace

// Decodes one stream. Input comes through a buffer of kBufferSize bytes. Output goes to a window
// that holds the ring unrolled: the kRingSize bytes before the write position are the ring's
// contents in order, so a match at distance d starts d bytes back, and behind them kBufferSize
// bytes collect until they are written out in one piece.
class TLZHPacker {
public:
    TLZHPacker(TStream& in, TStream& out, const TLZHProgressEvent& onProgress, std::uint32_t maxLength)
        : in_(in), out_(out), onProgress_(onProgress), maxLength_(maxLength) {}

    void Unpack() {
        Decode();
        FlushOutput(outPos_ - kRingSize);
    }

private:
    // --- byte source and bit input -------------------------------------------------------------

    // Next input byte; past the end of the input, zero.
    unsigned GetC() {
        if (inPos_ == inFill_) {
            inFill_ = atEnd_ ? 0 : in_.Read(inBuf_.data(), inBuf_.size());
            inPos_ = 0;
            if (inFill_ == 0) {
                atEnd_ = true;
                zeroBits_ += 8;
                return 0;
            }
        }
        return inBuf_[inPos_++];
    }

    // Tops the bit buffer up to at least kRefilledBits. Bits below the count are either zero or
    // the input that follows, so loading a whole word over them is harmless.
    void Refill() {
        if (inFill_ - inPos_ >= 8) {
            bits_ |= LoadBE64(&inBuf_[inPos_]) >> bitCount_;
            const unsigned bytes = (63 - bitCount_) >> 3;
            inPos_ += bytes;
            bitCount_ += bytes * 8;
            return;
        }
        while (bitCount_ < kRefilledBits) {
            bits_ |= std::uint64_t(GetC()) << (56 - bitCount_);
            bitCount_ += 8;
        }
        CheckNotPastEnd();
    }

    // The standard encoder writes every code bit, so a well-formed stream ends within its last byte.
    // The zero bits supplied past the end sit behind the input bits, and those no longer held were
    // used: such a stream is cut short, however long the matches those bits decoded to.
    void CheckNotPastEnd() const {
        if (zeroBits_ > bitCount_) Damaged("its code ends before its length is produced");
    }

    unsigned GetBit() {
        const auto bit = unsigned(bits_ >> 63);
        bits_ <<= 1;
        --bitCount_;
        return bit;
    }

    unsigned GetBits(unsigned n) {
        const auto value = unsigned(bits_ >> (64 - n));
        bits_ <<= n;
        bitCount_ -= n;
        return value;
    }

    // --- symbols -------------------------------------------------------------------------------

    // Walks from the root to a leaf, one code bit per level: 0 is son, 1 is son + 1.
    unsigned DecodeChar() {
        unsigned node = model_.Son(kRoot);
        while (node < kNodes) node = model_.Son(node + GetBit());
        const unsigned symbol = node - kNodes;
        model_.Update(symbol);
        return symbol;
    }

    unsigned DecodePosition() {
        unsigned i = GetBits(8);
        const unsigned upper = unsigned(kPositionCode.upperOf[i]) << 6;
        const unsigned extra = kPositionCode.lengthOf[i] - 2u;
        i = (i << extra) | GetBits(extra);
        return upper | (i & 63);
    }

    // --- output --------------------------------------------------------------------------------

    // The ring starts as spaces with the write position at kRingStart; the rest is zero.
    void StartWindow() {
        const auto unrolled = window_.begin() + kRingSize - kRingStart;
        std::fill(window_.begin(), unrolled, 0);
        std::fill(unrolled, window_.begin() + kRingSize, kRingFill);
        outPos_ = kRingSize;
    }

    // Copies a match byte by byte in effect: it may overlap the bytes it produces.
    static void CopyMatch(std::uint8_t* to, std::size_t distance, unsigned length) {
        const std::uint8_t* from = to - distance;
        if (distance >= 8) {
            for (unsigned k = 0; k < length; k += 8) std::memcpy(to + k, from + k, 8);
        } else if (distance == 1) {
            std::memset(to, *from, length);
        } else {
            for (unsigned k = 0; k < length; ++k) to[k] = from[k];
        }
    }

    // Writes the first count collected bytes and keeps the ring's bytes before the rest.
    void FlushOutput(std::size_t count) {
        out_.WriteBuffer(&window_[kRingSize], count);
        std::memmove(window_.data(), &window_[count], outPos_ - count);
        outPos_ -= count;
        if (onProgress_) {
            const std::int64_t length = std::max(decodedLength_, 0);
            onProgress_(std::int32_t((std::int64_t(out_.Position()) + 1) * 100 / (length + 1)));
        }
    }

    // --- the decode loop -----------------------------------------------------------------------

    void ReadHeader() {
        std::array<std::uint8_t, kHeaderSize> header;
        for (auto& b : header) b = std::uint8_t(GetC());
        if (zeroBits_ != 0) Damaged("its length header is incomplete");
        decodedLength_ = std::int32_t(GetLE32(header.data()));
        if (decodedLength_ > 0 && std::uint32_t(decodedLength_) > maxLength_)
            throw ELZHError("LZH stream announces " + std::to_string(decodedLength_) +
                            " bytes, more than the " + std::to_string(maxLength_) + " accepted");
    }

    void Decode() {
        StartWindow();
        ReadHeader();
        if (decodedLength_ <= 0) return;

        model_.StartHuff();
        std::int64_t count = 0;
        while (count < decodedLength_) {
            if (bitCount_ < kMaxSymbolBits) Refill();
            const unsigned c = DecodeChar();
            if (c < kLiterals) {
                window_[outPos_++] = std::uint8_t(c);
                ++count;
            } else {
                const unsigned length = MatchLength(c);
                CopyMatch(&window_[outPos_], DecodePosition() + 1, length);
                outPos_ += length;
                count += length;
            }
            if (outPos_ >= kRingSize + kBufferSize) FlushOutput(kBufferSize);
        }
        CheckNotPastEnd();
    }

    TStream& in_;
    TStream& out_;
    const TLZHProgressEvent& onProgress_;
    const std::uint32_t maxLength_;

    std::uint64_t bits_ = 0;  // next code bit in bit 63
    unsigned bitCount_ = 0;   // bits of bits_ that are input
    unsigned zeroBits_ = 0;   // zero bits supplied after the end of the input
    bool atEnd_ = false;
    std::int32_t decodedLength_ = 0;

    std::array<std::uint8_t, kBufferSize> inBuf_{};
    std::size_t inPos_ = 0, inFill_ = 0;
    std::array<std::uint8_t, kRingSize + kBufferSize + kLookahead + kCopyOvershoot> window_{};
    std::size_t outPos_ = 0;

    TLZHModel model_;
};

void LZHUnpack(TStream& in, TStream& out, const TLZHProgressEvent& onProgress, std::uint32_t maxLength) {
    auto packer = std::make_unique<TLZHPacker>(in, out, onProgress, maxLength);
    packer->Unpack();
}

}  // namespace bootdisk
