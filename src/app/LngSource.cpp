// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LngSource.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>

#include "base/Text.h"

namespace bootdisk {

namespace {

std::string CodePointName(char32_t cp) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", unsigned(cp));
    return name;
}

bool IsKeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '(' || c == ')';
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

class TLineParser {
public:
    TLineParser(std::string_view line, int number) : line_(line), number_(number) {}

    TLngSourceEntry Entry() {
        TLngSourceEntry entry;
        entry.Line = number_;
        while (i_ < line_.size() && IsKeyChar(line_[i_])) entry.Key += line_[i_++];
        if (entry.Key.empty() || (i_ < line_.size() && !IsBlank(line_[i_]) && line_[i_] != '='))
            Fail("expected KEY = \"text\"; keys hold only A-Z, 0-9, '_', '(' and ')'");
        SkipBlanks();
        Expect('=');
        SkipBlanks();
        Expect('"');
        entry.Text = Text();
        SkipBlanks();
        if (i_ != line_.size()) Fail("unexpected characters after the closing quote");
        return entry;
    }

private:
    [[noreturn]] void Fail(const std::string& message) const { throw ELngSourceError(number_, message); }

    void SkipBlanks() {
        while (i_ < line_.size() && IsBlank(line_[i_])) ++i_;
    }

    void Expect(char c) {
        if (i_ >= line_.size() || line_[i_] != c) Fail(std::string("expected '") + c + "' in KEY = \"text\"");
        ++i_;
    }

    std::string Text() {
        std::string text;
        while (true) {
            if (i_ >= line_.size()) Fail("the text has no closing quote");
            const char c = line_[i_];
            if (c == '"') {
                ++i_;
                return text;
            }
            if (c == '\\') {
                text += Escape();
                continue;
            }
            const auto cp = DecodeUtf8(line_, i_);
            if (!cp) Fail("invalid UTF-8");
            if (*cp < 0x20 || *cp == 0x7F)
                Fail("control character " + CodePointName(*cp) + " in the text; write a line break as \\r");
            const auto byte = ToCp1252(*cp);
            if (!byte) Fail("character " + CodePointName(*cp) + " is not in Windows-1252");
            text += *byte;
        }
    }

    char Escape() {
        if (++i_ >= line_.size()) Fail("the text has no closing quote");
        const char c = line_[i_++];
        switch (c) {
            case 'r': return '\r';
            case '"': return '"';
            case '\\': return '\\';
            default: Fail(std::string("unknown escape \\") + c + "; known are \\r, \\\" and \\\\");
        }
    }

    std::string_view line_;
    int number_;
    std::size_t i_ = 0;
};

}  // namespace

std::vector<TLngSourceEntry> ParseLngSource(std::string_view source) {
    std::vector<TLngSourceEntry> entries;
    std::map<std::string, int, std::less<>> firstLine;
    int number = 0;
    while (!source.empty()) {
        ++number;
        const auto end = source.find('\n');
        auto line = source.substr(0, end);
        source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') continue;
        auto entry = TLineParser(line.substr(first), number).Entry();
        const auto [it, added] = firstLine.emplace(entry.Key, number);
        if (!added)
            throw ELngSourceError(number, "key " + entry.Key + " is given again (first on line " +
                                              std::to_string(it->second) + ")");
        entries.push_back(std::move(entry));
    }
    return entries;
}

TValueList MakeLanguageList(const std::vector<TLngSourceEntry>& entries) {
    TValueList list;
    list.Sorted = true;
    for (const auto& entry : entries) list.Items.push_back({FileKey(entry.Key), entry.Text});
    std::sort(list.Items.begin(), list.Items.end(),
              [](const TValuePair& a, const TValuePair& b) { return KeyLess(a.Key, b.Key); });
    return list;
}

}  // namespace bootdisk
