// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostSystem.h"

#include <cstdlib>
#include <filesystem>

#include "base/Text.h"

namespace bootdisk {
namespace {

namespace fs = std::filesystem;

// The entry of dir whose name equals name ignoring case; an exact match wins.
std::optional<fs::path> MatchEntry(const fs::path& dir, const std::string& name) {
    std::error_code error;
    if (fs::exists(dir / name, error)) return dir / name;
    for (const auto& entry : fs::directory_iterator(dir, error))
        if (SameTextAnsi(entry.path().filename().string(), name)) return entry.path();
    return std::nullopt;
}

class TLinuxHost : public IHostSystem {
public:
    // Matches no Windows release, so the MS-DOS system always comes from a folder the user names;
    // the NT family's disk and pass-through paths apply.
    TWinVersion Version() const override { return {2, 0, 0}; }
    std::uint32_t BuildNumber() const override { return 0; }
    std::string WindowsDirectory() const override { return {}; }
    std::optional<std::string> Environment(const std::string& name) const override {
        const char* value = std::getenv(name.c_str());
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    char PathSeparator() const override { return '/'; }

    std::optional<std::string> FindFile(const std::string& path) const override {
        const fs::path wanted(path);
        fs::path found = wanted.root_path();
        if (found.empty()) found = ".";
        for (const auto& part : wanted.relative_path()) {
            if (part.empty()) continue;
            auto next = MatchEntry(found, part.string());
            if (!next) return std::nullopt;
            found = *next;
        }
        std::error_code error;
        if (!fs::is_regular_file(found, error)) return std::nullopt;
        return wanted.is_absolute() ? found.string() : found.lexically_normal().string();
    }

    std::unique_ptr<TStream> OpenRead(const std::string& path) const override {
        return std::make_unique<TFileStream>(FindFile(path).value_or(path), FileMode::Read);
    }
    std::unique_ptr<TStream> OpenWrite(const std::string& path) const override {
        return std::make_unique<TFileStream>(path, FileMode::Create);
    }

    std::optional<std::vector<std::uint8_t>> LibraryResource(const std::string&, const std::string&,
                                                             const std::string&) const override {
        return std::nullopt;
    }
};

}  // namespace

IHostSystem& RealHost() {
    static TLinuxHost host;
    return host;
}

}  // namespace bootdisk
