// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// LZHUF: LZSS over a 4096-byte ring with an adaptive Huffman code, as used by the payload
// resources and the language file. A stream is a 4-byte little-endian decoded length followed
// by the code bits.
#include <cstdint>
#include <functional>

#include "base/Errors.h"
#include "base/Streams.h"

namespace bootdisk {

// Called after every output flush with the percentage done.
using TLZHProgressEvent = std::function<void(std::int32_t percent)>;

// A stream that cannot be what it claims: it announces more than the caller accepts, or its
// code bits end long before its announced length is produced.
class ELZHError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

inline constexpr std::uint32_t kLZHNoLimit = 0x7FFFFFFF;

// Decodes the stream at in's position into out's position, writing 10,240 bytes at a time and
// calling onProgress (if set) after every write, the last of which may be empty. A length header
// of zero or below produces nothing. Throws ELZHError for an incomplete header, an announced
// length above maxLength (before decoding anything) and code that needs bits past the end of in
// (a stream cut short). The format has no checksum: other damage decodes to wrong bytes.
void LZHUnpack(TStream& in, TStream& out, const TLZHProgressEvent& onProgress = {},
               std::uint32_t maxLength = kLZHNoLimit);

// Room enough for all that LZHUnpack writes for the stream at in's position, before it ends or
// finds the stream damaged: the length the stream announces (within maxLength, and within what its
// code bits could ever produce), and the little a last match may run past it. The position stays
// where it was.
std::size_t LZHOutputRoom(TStream& in, std::uint32_t maxLength = kLZHNoLimit);

// Encodes in's remaining bytes (at most kLZHNoLimit) as one stream at out's position, byte for
// byte as the standard LZHUF encoder does.
void LZHPack(TStream& in, TStream& out);

}  // namespace bootdisk
