// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The boot payload collection: the named items (floppy images, sanitizer files) of one container.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Streams.h"

namespace bootdisk {

// One item of the payload. Its bytes live in their own stream so builders can hand it on as is.
struct TExeData {
    std::uint8_t Kind = 0;
    TMemoryStream Data;
    std::string Name;

    // Reads one item at source's position. Lengths beyond what source holds throw EStreamError
    // naming the item by its index.
    void LoadFromStream(TStream& source, std::int32_t index);
};

class TExeDataBase {
public:
    TExeDataBase() = default;

    // Reads a container from source's position, replacing the items. A damaged container throws
    // EStreamError ("The payload is damaged: ...") and leaves the items as they were.
    void LoadFromStream(TStream& source);

    // The Data stream of the first item with this kind whose name matches ignoring case, or
    // nullptr. The stream belongs to the item: rewind it and read it.
    TMemoryStream* Find(std::string_view name, std::uint8_t kind);

    // In container order. Builders walk them and read (after rewinding) the items' streams.
    std::vector<TExeData>& Items() { return items_; }
    const std::vector<TExeData>& Items() const { return items_; }
    std::int32_t Count() const { return count_; }

private:
    std::vector<TExeData> items_;
    std::int32_t count_ = 0;
};

}  // namespace bootdisk
