// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The LZHUF decode loop: bit input, the ring and the output, around a symbol code that reads one
// symbol's code bits and keeps the adaptive model in step. The product decodes symbols through a
// lookup table (LZH.cpp); the tests hold the classic tree walk beside it as the reference.
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "base/Bytes.h"
#include "image/LZH.h"
#include "image/LZHModel.h"

namespace bootdisk::lzh {

// One symbol and its position never need more bits than a refill guarantees.
inline constexpr unsigned kMaxSymbolBits = kMaxCodeLength + kMaxPositionLength;
inline constexpr unsigned kRefilledBits = 56;
static_assert(kMaxSymbolBits <= kRefilledBits);

[[noreturn]] inline void Damaged(const std::string& what) {
    throw ELZHError("LZH stream is damaged: " + what);
}

// The code bits of a stream, most significant first, read through a buffer of kBufferSize bytes.
// Past the end of the input the bits are zero, and counted, so that a stream cut short is told
// from one that merely ends within its last byte.
class TBitInput {
public:
    explicit TBitInput(TStream& in) : in_(in) {}

    // Next input byte; past the end of the input, zero.
    unsigned GetC() {
        if (pos_ == fill_) {
            fill_ = atEnd_ ? 0 : in_.Read(buf_.data(), buf_.size());
            pos_ = 0;
            if (fill_ == 0) {
                atEnd_ = true;
                zeroBits_ += 8;
                return 0;
            }
        }
        return buf_[pos_++];
    }

    // At least kMaxSymbolBits bits for the next symbol and its position.
    void Prepare() {
        if (count_ < kMaxSymbolBits) Refill();
    }

    unsigned Peek(unsigned n) const { return unsigned(bits_ >> (64 - n)); }
    void Skip(unsigned n) {
        bits_ <<= n;
        count_ -= n;
    }
    unsigned GetBit() {
        const unsigned bit = Peek(1);
        Skip(1);
        return bit;
    }
    unsigned GetBits(unsigned n) {
        const unsigned value = Peek(n);
        Skip(n);
        return value;
    }

    // The standard encoder writes every code bit, so a well-formed stream ends within its last
    // byte. The zero bits supplied past the end sit behind the input bits, and those no longer
    // held were used: such a stream is cut short, however long the matches those bits decoded to.
    void CheckNotPastEnd() const {
        if (zeroBits_ > count_) Damaged("its code ends before its length is produced");
    }
    bool HeaderComplete() const { return zeroBits_ == 0; }

private:
    static std::uint64_t LoadBE64(const std::uint8_t* p) {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v = v << 8 | p[i];
        return v;
    }

    // Tops the bit buffer up to at least kRefilledBits. Bits below the count are either zero or
    // the input that follows, so loading a whole word over them is harmless.
    void Refill() {
        if (fill_ - pos_ >= 8) {
            bits_ |= LoadBE64(&buf_[pos_]) >> count_;
            const unsigned bytes = (63 - count_) >> 3;
            pos_ += bytes;
            count_ += bytes * 8;
            return;
        }
        while (count_ < kRefilledBits) {
            bits_ |= std::uint64_t(GetC()) << (56 - count_);
            count_ += 8;
        }
        CheckNotPastEnd();
    }

    TStream& in_;
    std::uint64_t bits_ = 0;  // next code bit in bit 63
    unsigned count_ = 0;      // bits of bits_ that are input
    unsigned zeroBits_ = 0;   // zero bits supplied after the end of the input
    bool atEnd_ = false;
    std::array<std::uint8_t, kBufferSize> buf_{};
    std::size_t pos_ = 0, fill_ = 0;
};

// Decodes one stream. TSymbolCode offers Start() (a fresh model) and Decode(TBitInput&) (the next
// symbol, with the model updated for it). Output goes to a window that holds the ring unrolled:
// the kRingSize bytes before the write position are the ring's contents in order, so a match at
// distance d starts d bytes back, and behind them kBufferSize bytes collect until they are written
// out in one piece.
template <class TSymbolCode>
class TLZHDecoder {
public:
    TLZHDecoder(TStream& in, TStream& out, const TLZHProgressEvent& onProgress, std::uint32_t maxLength)
        : bits_(in), out_(out), onProgress_(onProgress), maxLength_(maxLength) {}

    void Unpack() {
        Decode();
        FlushOutput(outPos_ - kRingSize);
    }

private:
    // A match is copied 8 bytes at a time and may write up to 7 bytes past its end.
    static constexpr std::size_t kCopyOvershoot = 7;

    unsigned DecodePosition() {
        unsigned i = bits_.GetBits(8);
        const unsigned upper = unsigned(kPositionCode.upperOf[i]) << 6;
        const unsigned extra = kPositionCode.lengthOf[i] - 2u;
        i = (i << extra) | bits_.GetBits(extra);
        return upper | (i & 63);
    }

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

    void ReadHeader() {
        std::array<std::uint8_t, kHeaderSize> header;
        for (auto& b : header) b = std::uint8_t(bits_.GetC());
        if (!bits_.HeaderComplete()) Damaged("its length header is incomplete");
        decodedLength_ = std::int32_t(GetLE32(header.data()));
        if (decodedLength_ > 0 && std::uint32_t(decodedLength_) > maxLength_)
            throw ELZHError("LZH stream announces " + std::to_string(decodedLength_) +
                            " bytes, more than the " + std::to_string(maxLength_) + " accepted");
    }

    void Decode() {
        StartWindow();
        ReadHeader();
        if (decodedLength_ <= 0) return;

        symbols_.Start();
        std::int64_t count = 0;
        while (count < decodedLength_) {
            bits_.Prepare();
            const unsigned c = symbols_.Decode(bits_);
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
        bits_.CheckNotPastEnd();
    }

    TBitInput bits_;
    TStream& out_;
    const TLZHProgressEvent& onProgress_;
    const std::uint32_t maxLength_;
    std::int32_t decodedLength_ = 0;

    std::array<std::uint8_t, kRingSize + kBufferSize + kLookahead + kCopyOvershoot> window_{};
    std::size_t outPos_ = 0;

    TSymbolCode symbols_;
};

// Decodes in's stream into out with the given symbol code (see LZHUnpack).
template <class TSymbolCode>
void Unpack(TStream& in, TStream& out, const TLZHProgressEvent& onProgress, std::uint32_t maxLength) {
    // On the heap: the buffers and the model are too large for a thread's stack.
    std::make_unique<TLZHDecoder<TSymbolCode>>(in, out, onProgress, maxLength)->Unpack();
}

}  // namespace bootdisk::lzh
