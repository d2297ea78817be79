#include "platform/Resources.h"

#include <string>
#include <vector>

#include "base/Text.h"

namespace bootdisk {
namespace {

struct Entry {
    std::string name;
    std::span<const std::uint8_t> bytes;
};

class TEmbeddedStore : public IResourceStore {
public:
    std::optional<std::span<const std::uint8_t>> Find(std::string_view name) const override {
        for (const auto& entry : entries)
            if (SameTextAnsi(entry.name, name)) return entry.bytes;
        return std::nullopt;
    }
    std::vector<Entry> entries;
};

TEmbeddedStore& Store() {
    static TEmbeddedStore store;
    return store;
}

}  // namespace

const IResourceStore& EmbeddedResources() { return Store(); }

TResourceRegistration::TResourceRegistration(const char* name, const std::uint8_t* begin,
                                             const std::uint8_t* end) {
    Store().entries.push_back({name, {begin, end}});
}

}  // namespace bootdisk
