// SPDX-License-Identifier: GPL-3.0-or-later
// The creation-row parser of scripted runs.
#include <stdexcept>
#include <string_view>

#include "app/RowSpec.h"

using namespace bootdisk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const auto row = ParseRowSpec(text);
        if (row.target) CopyFileName(*row.target, 3);
    } catch (const std::invalid_argument&) {
    }
    return 0;
}
