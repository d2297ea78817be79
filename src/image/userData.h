// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The boot payload collection: the named items (floppy images, sanitizer files) of one container.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Streams.h"
#include "platform/LargeBuffer.h"

namespace bootdisk {

// One item of the payload. Its bytes stay in the collection's item list, decoded once; Data reads
// them where they are, so builders hand them on without a copy.
struct TExeData {
    std::uint8_t Kind = 0;
    TSpanStream Data{{}};
    std::string Name;

    // Reads one item at the list's position, its Data a view of the list. Lengths beyond what the
    // list holds throw EStreamError naming the item by its index.
    void LoadFromList(TSpanStream& list, std::int32_t index);
};

class TExeDataBase {
public:
    TExeDataBase() = default;
    // The items view bytes the collection owns, so it moves but is never copied.
    TExeDataBase(const TExeDataBase&) = delete;
    TExeDataBase& operator=(const TExeDataBase&) = delete;
    TExeDataBase(TExeDataBase&&) = default;
    TExeDataBase& operator=(TExeDataBase&&) = default;

    // Reads a container from source's position, replacing the items. A damaged container throws
    // EStreamError ("The payload is damaged: ...") and leaves the items as they were.
    void LoadFromStream(TStream& source);

    // The Data stream of the first item with this kind whose name matches ignoring case, or
    // nullptr. The stream belongs to the item: rewind it and read it.
    TSpanStream* Find(std::string_view name, std::uint8_t kind);

    // In container order. Builders walk them and read (after rewinding) the items' streams.
    std::vector<TExeData>& Items() { return items_; }
    const std::vector<TExeData>& Items() const { return items_; }
    std::int32_t Count() const { return count_; }

private:
    TLargeBuffer list_;  // the item list the items' Data streams view
    std::vector<TExeData> items_;
    std::int32_t count_ = 0;
};

}  // namespace bootdisk
