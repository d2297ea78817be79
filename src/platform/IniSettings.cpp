// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/Errors.h"
#include "base/PendingFile.h"
#include "platform/Settings.h"

namespace bootdisk {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One INI file per key: "Software\Maker\Product\Configurations" becomes
// ROOT/Maker/Product/Configurations.ini, with the values in section [Configurations].
class TIniSettings : public ISettingsStore {
public:
    explicit TIniSettings(std::string root) : root_(std::move(root)) {}

    std::optional<TSettingValues> Read(const std::string& key, const std::vector<std::string>& names) override {
        std::ifstream in(PathOf(key));
        if (!in) return std::nullopt;
        TSettingValues values;
        std::string line;
        for (bool first = true; std::getline(in, line); first = false) {
            // A file saved by a text editor may begin with a UTF-8 byte-order mark.
            if (first && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
            line = Trimmed(line);
            const auto equals = line.find('=');
            if (line.empty() || line[0] == '[' || line[0] == ';' || equals == std::string::npos) continue;
            const auto name = Trimmed(line.substr(0, equals));
            if (std::find(names.begin(), names.end(), name) != names.end())
                values[name] = ParseValue(Trimmed(line.substr(equals + 1)));
        }
        return values;
    }

    bool Write(const std::string& key, const std::map<std::string, std::uint32_t>& values) override {
        const auto path = PathOf(key);
        std::ostringstream text;
        text << "[" << path.stem().string() << "]\n";
        for (const auto& [name, value] : values) text << name << "=" << value << "\n";
        const auto bytes = text.str();
        try {
            std::error_code ignored;
            fs::create_directories(path.parent_path(), ignored);
            WriteFileWhole(path.string(), {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
            return true;
        } catch (const EStreamError&) {
            return false;
        }
    }

private:
    // The key comes from the language file: its levels stay inside the root, whatever "..",
    // "." or leading separators it holds.
    fs::path PathOf(const std::string& key) const {
        std::string_view relative = key;
        if (relative.starts_with("Software\\")) relative.remove_prefix(9);
        fs::path path(root_);
        bool named = false;
        for (std::size_t start = 0; start <= relative.size();) {
            const auto end = std::min(relative.find_first_of("\\/", start), relative.size());
            const auto level = relative.substr(start, end - start);
            if (!level.empty() && level != "." && level != "..") path /= level, named = true;
            start = end + 1;
        }
        if (!named) path /= "Configurations";
        return path += ".ini";
    }

    static std::string Trimmed(std::string_view text) {
        const auto first = text.find_first_not_of(" \t\r");
        if (first == std::string_view::npos) return {};
        return std::string(text.substr(first, text.find_last_not_of(" \t\r") - first + 1));
    }

    static std::optional<std::uint32_t> ParseValue(const std::string& text) {
        std::uint32_t value = 0;
        const auto* end = text.data() + text.size();
        const auto [stop, error] = std::from_chars(text.data(), end, value);
        if (error != std::errc() || stop != end || text.empty()) return std::nullopt;
        return value;
    }

    std::string root_;
};

}  // namespace

std::unique_ptr<ISettingsStore> IniSettings(const std::string& rootFolder) {
    return std::make_unique<TIniSettings>(rootFolder);
}

}  // namespace bootdisk
