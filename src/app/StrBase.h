// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The language file "quellmark.lng": one LZHUF stream whose decoded bytes are a sorted flag, a
// pair count and key/text pairs. Loading it replaces the string table's defaults key by key.
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/StrConst.h"
#include "base/Streams.h"

namespace bootdisk {

// Decoded layout: sorted byte, signed LE32 count, then count times (LE32 key length, key bytes,
// LE32 text length, text bytes).
inline constexpr std::size_t kLngSortedOffset = 0;
inline constexpr std::size_t kLngCountOffset = 1;
inline constexpr std::size_t kLngPairsOffset = 5;
inline constexpr std::size_t kLngLengthSize = 4;
inline constexpr std::int32_t kLngMaxCount = 100'000;
inline constexpr std::int32_t kLngMaxLength = 10'000'000;
// Far above any real language file; keeps a damaged length header from taking memory.
inline constexpr std::uint32_t kLngMaxDecoded = 16 * 1024 * 1024;

inline constexpr std::string_view kLngFileName = "quellmark.lng";
// File keys are the upper-case form of this section + "." + the entry's key.
inline constexpr std::string_view kLngSection = "Quellmark_install";

struct TValuePair {
    std::string Key;
    std::string Text;
    bool operator==(const TValuePair&) const = default;
};

struct TValueList {
    bool Sorted = false;
    std::vector<TValuePair> Items;

    void Clear();
    // The text of the pair keyed by the upper-case form of section + "." + key (the last such
    // pair of an unsorted list), or nothing; Lookup gives def for nothing.
    const std::string* Find(std::string_view section, std::string_view key) const;
    std::string Lookup(std::string_view section, std::string_view key, std::string def) const;
};

// Unsigned byte order, a proper prefix first: the order a sorted language file is in.
bool KeyLess(std::string_view a, std::string_view b);
std::string FileKey(std::string_view key);  // "QUELLMARK_INSTALL." + upper-case key

// Parses decoded bytes. A count or length beyond its limit or negative, or bytes ending before
// the lengths they announce, give an empty list.
TValueList DecodeValueList(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> EncodeValueList(const TValueList& list);

// LZH-decodes the stream at packed's position and parses it. Any damage gives an empty list and,
// when damage is given, what is wrong with the file.
TValueList ReadLanguageFile(TStream& packed, std::string* damage = nullptr);

// The language file cannot be opened: the program cannot start.
class ELanguageFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Sets every entry, in load order, to its text in list (Windows-1252, taken into the table's
// UTF-8) or keeps its current text.
void ApplyValueList(TStringTable& table, const TValueList& list);

// Start-up load. The path form throws ELanguageFileError when the file cannot be opened or is not
// a regular file; a file that opens but is damaged is rejected as a whole: every default stays, and
// the result says what is wrong with it (empty when the file was taken).
std::string LoadStringTable(TStringTable& table, const std::string& path);
std::string LoadStringTable(TStringTable& table, TStream& packed);

// The names of the language files holding texts in the languages of codes, most wanted first:
// "quellmark.de_AT.lng", "quellmark.de.lng" for "de_AT.UTF-8". The English file, kLngFileName,
// ends the list, and an English code ends it there.
std::vector<std::string> LanguageFileNames(const std::vector<std::string>& codes);

// The language file for code ("de", "DE", "de_AT", "de-at"), else for the user's languages: the
// first one that ships (beside the executable, or in the installed data folder), else the English
// one. Throws ELanguageFileError for a code that is no language's, and when the file is in neither
// folder, naming the file (the one of the code, else the English one) and both folders.
std::string LanguageFilePath(const std::optional<std::string>& code = std::nullopt);
// The language of a language file by its name: "de_AT" of "quellmark.de_AT.lng", "en" of the
// English "quellmark.lng".
std::string LanguageOfFile(const std::string& path);
// What the user is told of a language file that is damaged, and so not used.
std::string DamagedLanguageFileText(const TStringTable& texts, const std::string& path, const std::string& damage);

}  // namespace bootdisk
