// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StrBase.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <optional>

#include "base/Bytes.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "image/LZH.h"
#include "platform/Host.h"
#include "platform/Resources.h"

namespace bootdisk {

void TValueList::Clear() {
    Sorted = false;
    Items.clear();
}

bool KeyLess(std::string_view a, std::string_view b) {
    const auto common = std::min(a.size(), b.size());
    const int order = common ? std::memcmp(a.data(), b.data(), common) : 0;
    return order != 0 ? order < 0 : a.size() < b.size();
}

std::string FileKey(std::string_view key) {
    return UpperAnsi(std::string(kLngSection) + "." + std::string(key));
}

const std::string* TValueList::Find(std::string_view section, std::string_view key) const {
    const auto search = UpperAnsi(std::string(section) + "." + std::string(key));
    if (Sorted) {
        std::size_t lo = 0, hi = Items.size();
        while (lo < hi) {
            const auto mid = (lo + hi) / 2;
            const auto& pair = Items[mid];
            if (pair.Key == search) return &pair.Text;
            if (KeyLess(pair.Key, search))
                lo = mid + 1;
            else
                hi = mid;
        }
        return nullptr;
    }
    const std::string* found = nullptr;
    for (const auto& pair : Items)
        if (pair.Key == search) found = &pair.Text;
    return found;
}

std::string TValueList::Lookup(std::string_view section, std::string_view key, std::string def) const {
    const auto* found = Find(section, key);
    return found ? *found : def;
}

namespace {

// Reads the decoded bytes front to back; every read is checked against what remains.
class TLngReader {
public:
    explicit TLngReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Remaining() const { return bytes_.size() - position_; }

    std::optional<std::uint8_t> Byte() {
        if (Remaining() < 1) return std::nullopt;
        return bytes_[position_++];
    }

    std::optional<std::int32_t> Int32() {
        if (Remaining() < kLngLengthSize) return std::nullopt;
        const auto value = std::int32_t(GetLE32(bytes_.data() + position_));
        position_ += kLngLengthSize;
        return value;
    }

    // A length-prefixed string; out of limits or past the end gives nothing.
    std::optional<std::string> String() {
        const auto length = Int32();
        if (!length || *length < 0 || *length > kLngMaxLength || std::size_t(*length) > Remaining())
            return std::nullopt;
        std::string text(reinterpret_cast<const char*>(bytes_.data() + position_), std::size_t(*length));
        position_ += std::size_t(*length);
        return text;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

constexpr std::size_t kMinPairSize = 2 * kLngLengthSize;

// Nothing when a count or length is beyond its limit or the bytes end before what they announce.
std::optional<TValueList> ParseValueList(std::span<const std::uint8_t> bytes) {
    TLngReader reader(bytes);
    TValueList list;
    const auto sorted = reader.Byte();
    const auto count = reader.Int32();
    if (!sorted || !count || *count < 0 || *count > kLngMaxCount ||
        std::size_t(*count) > reader.Remaining() / kMinPairSize)
        return std::nullopt;
    list.Sorted = *sorted != 0;
    list.Items.reserve(std::size_t(*count));
    for (std::int32_t i = 0; i < *count; ++i) {
        auto key = reader.String();
        if (!key) return std::nullopt;
        auto text = reader.String();
        if (!text) return std::nullopt;
        list.Items.push_back({std::move(*key), std::move(*text)});
    }
    return list;
}

}  // namespace

TValueList DecodeValueList(std::span<const std::uint8_t> bytes) { return ParseValueList(bytes).value_or(TValueList{}); }

std::vector<std::uint8_t> EncodeValueList(const TValueList& list) {
    std::vector<std::uint8_t> bytes(kLngPairsOffset);
    bytes[kLngSortedOffset] = list.Sorted ? 1 : 0;
    PutLE32(bytes.data() + kLngCountOffset, std::uint32_t(list.Items.size()));
    const auto append = [&bytes](const std::string& s) {
        const auto at = bytes.size();
        bytes.resize(at + kLngLengthSize + s.size());
        PutLE32(bytes.data() + at, std::uint32_t(s.size()));
        std::memcpy(bytes.data() + at + kLngLengthSize, s.data(), s.size());
    };
    for (const auto& pair : list.Items) {
        append(pair.Key);
        append(pair.Text);
    }
    return bytes;
}

TValueList ReadLanguageFile(TStream& packed, std::string* damage) {
    const auto rejected = [damage](std::string why) {
        if (damage) *damage = std::move(why);
        return TValueList{};
    };
    TMemoryStream decoded;
    try {
        LZHUnpack(packed, decoded, {}, kLngMaxDecoded);
    } catch (const EStreamError& error) {
        return rejected(error.what());
    }
    auto list = ParseValueList(decoded.Bytes());
    if (!list) return rejected("a count or length is out of range or runs past the end");
    return std::move(*list);
}

void ApplyValueList(TStringTable& table, const TValueList& list) {
    table.ForEachEntry([&list](std::string_view key, std::string& text) {
        if (const auto* found = list.Find(kLngSection, key)) text = Cp1252ToUtf8(*found);
    });
}

std::string LoadStringTable(TStringTable& table, TStream& packed) {
    std::string damage;
    ApplyValueList(table, ReadLanguageFile(packed, &damage));
    return damage;
}

namespace {

// Said before any language file is taken: in the built-in texts.
[[noreturn]] void Fail(StrId text, std::initializer_list<std::string_view> values) {
    throw ELanguageFileError(WithValues(TStringTable()[text], values));
}

}  // namespace

std::string LoadStringTable(TStringTable& table, const std::string& path) {
    const auto fail = [&path](const std::string& reason) { Fail(StrId::GUI_LANGUAGECANNOTOPEN, {path, reason}); };
    // Opening a FIFO or a device would wait for a writer or read without end.
    std::error_code statusError;
    const auto type = std::filesystem::status(path, statusError).type();
    if (!statusError && type != std::filesystem::file_type::regular) fail("not a regular file");
    std::optional<TFileStream> file;
    try {
        file.emplace(path, FileMode::Read);
    } catch (const EStreamError& error) {
        fail(error.Reason().empty() ? std::string(error.what()) : error.Reason());
    }
    return LoadStringTable(table, *file);
}

namespace {

// "de_AT" of "de-AT.UTF-8@euro", "DE_at" or "de_AT": the language in lower case, the region in
// upper case, as the files are named; nothing when it is no language's code.
std::optional<std::string> LanguageOf(const std::string& code) {
    auto language = code.substr(0, code.find_first_of(".@"));
    std::replace(language.begin(), language.end(), '-', '_');
    const bool named = !language.empty() && std::all_of(language.begin(), language.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
    if (!named) return std::nullopt;
    const auto region = language.find('_');
    for (std::size_t i = 0; i < language.size(); ++i) {
        const auto c = static_cast<unsigned char>(language[i]);
        language[i] = char(i < region ? std::tolower(c) : std::toupper(c));
    }
    return language;
}

}  // namespace

std::vector<std::string> LanguageFileNames(const std::vector<std::string>& codes) {
    std::vector<std::string> names;
    for (const auto& code : codes) {
        const auto language = LanguageOf(code);
        if (!language) continue;
        const auto base = language->substr(0, language->find('_'));
        if (base == "en") break;
        names.push_back("quellmark." + *language + ".lng");
        if (base != *language) names.push_back("quellmark." + base + ".lng");
    }
    names.emplace_back(kLngFileName);
    return names;
}

std::string LanguageFilePath(const std::optional<std::string>& code) {
    if (code && !LanguageOf(*code)) Fail(StrId::GUI_LANGUAGEUNKNOWN, {*code});
    auto names = LanguageFileNames(code ? std::vector{*code} : UserLanguages());
    // A language asked for by name is never silently English.
    if (code && names.size() > 1) names.pop_back();
    for (const auto& name : names)
        if (auto path = ShippedDataFile(name)) return *path;
    // Without a language asked for, the file every start needs is the English one; the folders are
    // named without their ".." steps.
    std::vector<std::string> folders;
    for (const auto& folder : DataFolders()) {
        const auto normal = std::filesystem::path(std::u8string(folder.begin(), folder.end())).lexically_normal().u8string();
        folders.emplace_back(normal.begin(), normal.end());
    }
    Fail(StrId::GUI_LANGUAGEMISSING, {code ? names.front() : std::string(kLngFileName), folders.at(0), folders.at(1)});
}

std::string LanguageOfFile(const std::string& path) {
    const auto name = std::filesystem::path(path).filename().string();
    const std::string lead = "quellmark.", end = ".lng";
    if (name.size() <= lead.size() + end.size() || !SameTextAnsi(name.substr(0, lead.size()), lead)) return "en";
    return name.substr(lead.size(), name.size() - lead.size() - end.size());
}

std::string DamagedLanguageFileText(const TStringTable& texts, const std::string& path, const std::string& damage) {
    return WithValues(texts[StrId::GUI_LANGUAGEDAMAGED], {path, damage});
}

}  // namespace bootdisk
