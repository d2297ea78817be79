// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The classic LZHUF decoder, which walks the Huffman tree one code bit per level: the reference
// the table-driven decoder of the product must agree with, byte for byte and error for error.
#include "image/LZH.h"

namespace bootdisk::test {

// As LZHUnpack.
void LZHUnpackReference(TStream& in, TStream& out, const TLZHProgressEvent& onProgress = {},
                        std::uint32_t maxLength = kLZHNoLimit);

}  // namespace bootdisk::test
