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

// One INI file per key: "Software\Maker\Product\Configurations" becomes
// ROOT/Maker/Product/Configurations.ini, with the values in section [Configurations].
class TIniSettings : public ISettingsStore {
public:
    explicit TIniSettings(std::string root) : root_(std::move(root)) {}

    std::optional<TSettingValues> Read(const std::string& key) override {
        std::ifstream in(PathOf(key));
        if (!in) return std::nullopt;
        TSettingValues values;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto equals = line.find('=');
            if (line.empty() || line[0] == '[' || line[0] == ';' || equals == std::string::npos) continue;
            values[line.substr(0, equals)] = ParseValue(line.substr(equals + 1));
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
    fs::path PathOf(const std::string& key) const {
        std::string relative = key;
        if (relative.rfind("Software\\", 0) == 0) relative.erase(0, 9);
        for (auto& c : relative)
            if (c == '\\') c = '/';
        return fs::path(root_) / (relative + ".ini");
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
