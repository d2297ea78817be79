// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace bootdisk {

std::string UpperAnsi(std::string_view text) {
    std::string upper(text);
    for (auto& c : upper)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return upper;
}

bool SameTextAnsi(std::string_view a, std::string_view b) {
    return a.size() == b.size() && UpperAnsi(a) == UpperAnsi(b);
}

namespace {

// Code points of 0x80..0x9F in Windows-1252; the five unassigned bytes map to U+FFFD.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | cp >> 6);
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | cp >> 12);
        out += char(0x80 | (cp >> 6 & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | cp >> 18);
        out += char(0x80 | (cp >> 12 & 0x3F));
        out += char(0x80 | (cp >> 6 & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& i) {
    const auto lead = std::uint8_t(text[i++]);
    if (lead < 0x80) return lead;
    int extra;
    char32_t cp, minimum;
    if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1Fu; minimum = 0x80; }
    else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0Fu; minimum = 0x800; }
    else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07u; minimum = 0x10000; }
    else return std::nullopt;
    for (; extra > 0; --extra, ++i) {
        if (i >= text.size() || (std::uint8_t(text[i]) & 0xC0) != 0x80) return std::nullopt;
        cp = cp << 6 | (std::uint8_t(text[i]) & 0x3Fu);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    return cp;
}

std::optional<char32_t> DecodeUtf16(std::u16string_view text, std::size_t& i) {
    const char32_t unit = text[i++];
    if (unit < 0xD800 || unit > 0xDFFF) return unit;
    if (unit >= 0xDC00 || i >= text.size() || text[i] < 0xDC00 || text[i] > 0xDFFF) return std::nullopt;
    return 0x10000 + ((unit - 0xD800) << 10) + (text[i++] - 0xDC00);
}

std::size_t Utf16Offset(std::u16string_view text, std::size_t character) {
    std::size_t unit = 0;
    for (std::size_t c = 0; c < character && unit < text.size(); ++c) DecodeUtf16(text, unit);
    return unit;
}

// From the program's own decoding table, so both directions agree.
std::optional<char> ToCp1252(char32_t cp) {
    static const auto highBytes = [] {
        std::array<char32_t, 128> table{};
        for (std::size_t b = 0; b < table.size(); ++b) {
            const auto utf8 = Cp1252ToUtf8(std::string(1, char(0x80 + b)));
            std::size_t i = 0;
            table[b] = DecodeUtf8(utf8, i).value_or(0xFFFD);
        }
        return table;
    }();
    if (cp < 0x80) return char(cp);
    if (cp == 0xFFFD) return std::nullopt;
    const auto it = std::find(highBytes.begin(), highBytes.end(), cp);
    if (it == highBytes.end()) return std::nullopt;
    return char(0x80 + (it - highBytes.begin()));
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto b = std::uint8_t(c);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char32_t(b));
    }
    return out;
}

std::string WithLineFeeds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += '\n';
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto cp = DecodeUtf8(text, i);
        out += cp ? ToCp1252(*cp).value_or('?') : '?';
    }
    return out;
}

}  // namespace bootdisk
