// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelpTopicText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>

#include "base/Text.h"

namespace bootdisk {
namespace {

constexpr std::array<std::pair<std::string_view, char32_t>, 20> kNamedCharacters = {{
    {"amp", U'&'}, {"lt", U'<'}, {"gt", U'>'}, {"quot", U'"'}, {"apos", U'\''}, {"nbsp", U' '},
    {"ldquo", U'\u201C'}, {"rdquo", U'\u201D'}, {"lsquo", U'\u2018'}, {"rsquo", U'\u2019'},
    {"mdash", U'\u2014'}, {"ndash", U'\u2013'}, {"hellip", U'\u2026'}, {"middot", U'\u00B7'},
    {"times", U'\u00D7'}, {"plusmn", U'\u00B1'}, {"copy", U'\u00A9'}, {"trade", U'\u2122'},
    {"minus", U'\u2212'}, {"rarr", U'\u2192'},
}};

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

// The character a reference names ("amp", "#39", "#x2192"), if it is one.
std::optional<char32_t> Referenced(std::string_view name) {
    if (name.starts_with('#')) {
        const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
        const auto digits = name.substr(hex ? 2 : 1);
        std::uint32_t value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value > 0x10FFFF)
            return std::nullopt;
        return char32_t(value);
    }
    for (const auto& [entity, character] : kNamedCharacters)
        if (entity == name) return character;
    return std::nullopt;
}

std::string InUtf8(char32_t character) {
    std::string text;
    AppendUtf8(text, character);
    return text;
}

class TTextWriter {
public:
    void Character(std::string_view c) {
        auto& out = inTitle_ ? title_ : text_;
        if (space_ && !out.empty() && out.back() != '\n') out += ' ';
        space_ = false;
        out += c;
    }
    void Space() { space_ = true; }
    // Ends the line; with blankLine, the paragraph.
    void Break(bool blankLine) {
        space_ = false;
        if (text_.empty()) return;
        while (text_.back() == ' ') text_.pop_back();
        const std::size_t wanted = blankLine ? 2 : 1;
        std::size_t ending = 0;
        while (ending < text_.size() && text_[text_.size() - 1 - ending] == '\n') ++ending;
        if (ending < wanted) text_.append(wanted - ending, '\n');
    }
    void Title(bool inTitle) {
        inTitle_ = inTitle;
        space_ = false;
    }
    THelpTopicText Done() {
        Break(false);
        while (text_.size() > 1 && text_[text_.size() - 2] == '\n') text_.pop_back();
        return {title_, text_};
    }

private:
    std::string title_, text_;
    bool space_ = false, inTitle_ = false;
};

bool IsOneOf(const std::string& name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

THelpTopicText HelpTopicText(std::string_view html) {
    TTextWriter out;
    std::string skippedUntil;  // the closing tag of a part with nothing to read (style, script)
    for (std::size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (c == '<') {
            if (html.substr(i, 4) == "<!--") {
                const auto end = html.find("-->", i + 4);
                i = end == std::string_view::npos ? html.size() : end + 3;
                continue;
            }
            const auto end = html.find('>', i);
            if (end == std::string_view::npos) break;
            const auto tag = html.substr(i + 1, end - i - 1);
            i = end + 1;
            const bool closing = tag.starts_with('/');
            const auto nameEnd = tag.find_first_of(" \t\r\n/", closing ? 1 : 0);
            const auto name = Lower(tag.substr(closing ? 1 : 0, nameEnd == std::string_view::npos ? tag.npos
                                                                                                 : nameEnd - closing));
            if (!skippedUntil.empty()) {
                if (closing && name == skippedUntil) skippedUntil.clear();
                continue;
            }
            if (!closing && IsOneOf(name, {"style", "script"})) {
                skippedUntil = name;
            } else if (name == "title") {
                out.Title(!closing);
            } else if (IsOneOf(name, {"p", "div", "h1", "h2", "h3", "h4", "ul", "ol", "table", "body"})) {
                out.Break(true);
            } else if (IsOneOf(name, {"br", "tr", "li"})) {
                out.Break(false);
                if (name == "li" && !closing) out.Character("- ");
            } else if (IsOneOf(name, {"td", "th"})) {
                out.Space();
            }
            continue;
        }
        ++i;
        if (!skippedUntil.empty()) continue;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            out.Space();
        } else if (c == '&') {
            const auto end = html.find(';', i);
            const auto character = end == std::string_view::npos || end - i > 10 ? std::nullopt
                                                                                  : Referenced(html.substr(i, end - i));
            if (character) {
                out.Character(InUtf8(*character));
                i = end + 1;
            } else {
                out.Character("&");
            }
        } else {
            out.Character(std::string_view(&c, 1));
        }
    }
    return out.Done();
}

}  // namespace bootdisk
