// SPDX-License-Identifier: GPL-3.0-or-later
// The payload container, stored or compressed, with every item looked up by name.
#include "base/Errors.h"
#include "image/userData.h"

using namespace bootdisk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TSpanStream source({data, size});
    TExeDataBase payload;
    try {
        payload.LoadFromStream(source);
    } catch (const EStreamError&) {
        return 0;
    }
    for (const auto& item : payload.Items()) payload.Find(item.Name, item.Kind);
    return 0;
}
