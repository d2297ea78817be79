// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Json.h"

#include <charconv>
#include <cstdio>

#include "base/Text.h"

namespace bootdisk {

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto start = i;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if (DecodeUtf8(text, i)) {
                json.append(text.substr(start, i - start));
            } else {
                i = start + 1;
                json += Cp1252ToUtf8(text.substr(start, 1));
            }
            continue;
        }
        ++i;
        if (c == '"' || c == '\\') {
            json += '\\';
            json += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else {
            json += char(c);
        }
    }
    return json + "\"";
}

std::string JsonArray(const std::vector<std::string>& items) {
    std::string json = "[";
    for (const auto& item : items) json += (json.size() > 1 ? ", " : "") + item;
    return json + "]";
}

std::string JsonStrings(const std::vector<std::string>& texts) {
    std::vector<std::string> items;
    for (const auto& text : texts) items.push_back(JsonString(text));
    return JsonArray(items);
}

TJsonObject& TJsonObject::Raw(std::string_view key, std::string_view json) {
    if (text_.size() > 1) text_ += ", ";
    text_ += JsonString(key);
    text_ += ": ";
    text_ += json;
    return *this;
}

TJsonObject& TJsonObject::String(std::string_view key, std::string_view text) { return Raw(key, JsonString(text)); }
TJsonObject& TJsonObject::Number(std::string_view key, std::uint64_t number) { return Raw(key, std::to_string(number)); }
TJsonObject& TJsonObject::Bool(std::string_view key, bool value) { return Raw(key, value ? "true" : "false"); }

const TJsonValue* TJsonValue::Member(std::string_view name) const {
    for (const auto& [key, value] : members)
        if (key == name) return &value;
    return nullptr;
}

std::string TJsonValue::Text(std::string_view name) const {
    const auto* member = Member(name);
    return member && member->type == TType::String ? member->text : std::string();
}

namespace {

// A recursive reader with a bound on nesting, so a damaged file cannot exhaust the stack.
class TJsonReader {
public:
    explicit TJsonReader(std::string_view text) : text_(text) {}

    std::optional<TJsonValue> Whole() {
        auto value = Value(0);
        Space();
        if (!value || at_ != text_.size()) return std::nullopt;
        return value;
    }

private:
    static constexpr int kMaxDepth = 16;

    void Space() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }
    bool Take(char c) {
        Space();
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }

    std::optional<unsigned> Hex4() {
        unsigned value = 0;
        if (text_.size() - at_ < 4) return std::nullopt;
        const auto [end, error] = std::from_chars(text_.data() + at_, text_.data() + at_ + 4, value, 16);
        if (error != std::errc() || end != text_.data() + at_ + 4) return std::nullopt;
        at_ += 4;
        return value;
    }

    std::optional<std::string> String() {
        if (!Take('"')) return std::nullopt;
        std::string out;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) return std::nullopt;
            switch (const char escape = text_[at_++]) {
            case '"': case '\\': case '/': out += escape; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                auto cp = Hex4();
                if (!cp) return std::nullopt;
                if (*cp >= 0xD800 && *cp < 0xDC00) {
                    if (!Word("\\u")) return std::nullopt;
                    const auto low = Hex4();
                    if (!low || *low < 0xDC00 || *low >= 0xE000) return std::nullopt;
                    cp = 0x10000 + ((*cp - 0xD800) << 10) + (*low - 0xDC00);
                } else if (*cp >= 0xDC00 && *cp < 0xE000) {
                    return std::nullopt;
                }
                AppendUtf8(out, char32_t(*cp));
                break;
            }
            default: return std::nullopt;
            }
        }
        return std::nullopt;
    }

    std::optional<TJsonValue> Number() {
        const auto start = at_;
        while (at_ < text_.size() && std::string_view("0123456789.eE+-").find(text_[at_]) != std::string_view::npos) ++at_;
        TJsonValue value;
        value.type = TJsonValue::TType::Number;
        const auto [end, error] = std::from_chars(text_.data() + start, text_.data() + at_, value.number);
        if (start == at_ || error != std::errc() || end != text_.data() + at_) return std::nullopt;
        return value;
    }

    std::optional<TJsonValue> Value(int depth) {
        if (depth > kMaxDepth) return std::nullopt;
        Space();
        if (at_ >= text_.size()) return std::nullopt;
        TJsonValue value;
        switch (text_[at_]) {
        case '{': {
            ++at_;
            value.type = TJsonValue::TType::Object;
            if (Take('}')) return value;
            do {
                auto key = String();
                if (!key || !Take(':')) return std::nullopt;
                auto member = Value(depth + 1);
                if (!member) return std::nullopt;
                value.members.push_back({std::move(*key), std::move(*member)});
            } while (Take(','));
            return Take('}') ? std::optional(std::move(value)) : std::nullopt;
        }
        case '[': {
            ++at_;
            value.type = TJsonValue::TType::Array;
            if (Take(']')) return value;
            do {
                auto item = Value(depth + 1);
                if (!item) return std::nullopt;
                value.items.push_back(std::move(*item));
            } while (Take(','));
            return Take(']') ? std::optional(std::move(value)) : std::nullopt;
        }
        case '"': {
            auto text = String();
            if (!text) return std::nullopt;
            value.type = TJsonValue::TType::String;
            value.text = std::move(*text);
            return value;
        }
        case 't': case 'f':
            value.type = TJsonValue::TType::Bool;
            value.boolean = text_[at_] == 't';
            return Word(value.boolean ? "true" : "false") ? std::optional(std::move(value)) : std::nullopt;
        case 'n':
            return Word("null") ? std::optional(std::move(value)) : std::nullopt;
        default:
            return Number();
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

std::optional<TJsonValue> ParseJson(std::string_view text) { return TJsonReader(text).Whole(); }

}  // namespace bootdisk
