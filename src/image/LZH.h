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

// Decodes the stream at in's position into out's position. A length header of zero or below
// produces nothing. Throws ELZHError for an announced length above maxLength or a truncated stream.
void LZHUnpack(TStream& in, TStream& out, const TLZHProgressEvent& onProgress = {},
               std::uint32_t maxLength = kLZHNoLimit);

// Encodes in's remaining bytes as one stream at out's position, as the standard LZHUF encoder does.
void LZHPack(TStream& in, TStream& out);

}  // namespace bootdisk
