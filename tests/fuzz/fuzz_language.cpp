// SPDX-License-Identifier: GPL-3.0-or-later
// The language file: the compressed file as a whole, and its decoded layout directly, with every
// entry of the string table looked up.
#include "app/StrBase.h"

using namespace bootdisk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TSpanStream packed({data, size});
    TStringTable table;
    LoadStringTable(table, packed);
    ApplyValueList(table, DecodeValueList({data, size}));
    return 0;
}
