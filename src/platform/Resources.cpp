// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Resources.h"

#include <filesystem>
#include <string>
#include <vector>

#include "base/Text.h"
#include "platform/Host.h"

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

bool Exists(const std::string& utf8Path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(std::u8string(utf8Path.begin(), utf8Path.end())), error);
}

}  // namespace

std::vector<std::string> DataFolders() { return {ExecutableDir(), ExecutableDir() + BOOTDISK_DATA_FROM_BIN + "/"}; }

std::optional<std::string> ShippedDataFile(const std::string& name) {
    for (const auto& folder : DataFolders())
        if (Exists(folder + name)) return folder + name;
    return std::nullopt;
}

std::string DataFilePath(const std::string& name) { return ShippedDataFile(name).value_or(ExecutableDir() + name); }

const IResourceStore& EmbeddedResources() { return Store(); }

TResourceRegistration::TResourceRegistration(const char* name, const std::uint8_t* begin,
                                             const std::uint8_t* end) {
    Store().entries.push_back({name, {begin, end}});
}

}  // namespace bootdisk
