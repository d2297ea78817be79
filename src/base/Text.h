// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts inside the program are 8-bit Windows-1252 strings, as in the language file and on DOS disks.
#include <optional>
#include <string>
#include <string_view>

namespace bootdisk {

// ASCII-only case mapping: the language file and payload names compare this way.
std::string UpperAnsi(std::string_view text);
bool SameTextAnsi(std::string_view a, std::string_view b);

// For showing a text on a UTF-8 terminal or toolkit; lone CR line breaks become LF.
std::string Cp1252ToUtf8(std::string_view text);
// For text typed into a UTF-8 toolkit: a character Windows-1252 cannot hold, or a malformed
// sequence, becomes "?".
std::string Utf8ToCp1252(std::string_view text);

// One UTF-8 sequence at text[i]; advances i. Rejects overlong forms, surrogates and truncated
// sequences.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& i);
// Where the character at index character (counted from 0) starts in UTF-16 text, as the
// toolkits' text boxes count: a character beyond the Basic Multilingual Plane takes two units.
std::size_t Utf16Offset(std::u16string_view text, std::size_t character);
// The Windows-1252 byte of a code point; nothing for one it cannot hold.
std::optional<char> ToCp1252(char32_t cp);

}  // namespace bootdisk
