// SPDX-License-Identifier: GPL-3.0-or-later
// A line of the record of media made, as `bootdisk record` reads it: any entry it takes is written
// back as a line that reads as the same entry.
#include <cstdlib>
#include <string_view>

#include "app/MediaRecord.h"

using namespace bootdisk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto entry = ParseRecordLine(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!entry) return 0;
    const auto again = ParseRecordLine(RecordLine(*entry));
    if (!again || RecordLine(*again) != RecordLine(*entry)) std::abort();
    return 0;
}
