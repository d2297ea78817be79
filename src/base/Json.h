// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Just enough JSON for what the program prints for scripts and keeps in its record: objects
// written member by member, and a reader for reading those lines back.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bootdisk {

// The "format" of everything the program writes in JSON, for scripts and in its record: raised
// only when a key changes its meaning or goes.
inline constexpr unsigned kJsonFormat = 1;

// text as a JSON string. Text that is not UTF-8 (a drive's model in another code page) is taken
// as Windows-1252, so the output always parses.
std::string JsonString(std::string_view text);
std::string JsonStrings(const std::vector<std::string>& texts);
// Items already in JSON, as an array.
std::string JsonArray(const std::vector<std::string>& items);

// One object, members in the order they are added.
class TJsonObject {
public:
    TJsonObject& String(std::string_view key, std::string_view text);
    TJsonObject& Number(std::string_view key, std::uint64_t number);
    TJsonObject& Bool(std::string_view key, bool value);
    // A value already in JSON: an array, an object, null.
    TJsonObject& Raw(std::string_view key, std::string_view json);
    std::string Text() const { return text_ + "}"; }

private:
    std::string text_ = "{";
};

struct TJsonMember;

struct TJsonValue {
    enum class TType { Null, Bool, Number, String, Array, Object };
    TType type = TType::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<TJsonValue> items;
    std::vector<TJsonMember> members;

    // The member of an object; nothing when absent or not an object.
    const TJsonValue* Member(std::string_view name) const;
    // The member's text when it is a string, else empty.
    std::string Text(std::string_view name) const;
};

struct TJsonMember {
    std::string name;
    TJsonValue value;
};

// Nothing when text is not one whole JSON value, or nests deeper than a record ever does.
std::optional<TJsonValue> ParseJson(std::string_view text);

}  // namespace bootdisk
