// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts inside the program are UTF-8: the string table once loaded, paths, what the system names.
// Windows-1252 is the code page of the language file, of the built-in default texts and of the
// parameters in AUTOEXEC.BAT; texts convert from and to it there, and only there.
#include <optional>
#include <string>
#include <string_view>

namespace bootdisk {

// ASCII-only case mapping: the language file and payload names compare this way.
std::string UpperAnsi(std::string_view text);
bool SameTextAnsi(std::string_view a, std::string_view b);

// Windows-1252 bytes as UTF-8; the five bytes the code page leaves unassigned become U+FFFD.
std::string Cp1252ToUtf8(std::string_view text);
// A text that came from Windows-1252 in its bytes again (exactly, for such a text); a character
// the code page cannot hold, or a malformed sequence, becomes "?".
std::string Utf8ToCp1252(std::string_view text);
// For a toolkit or a terminal: the lone CR line breaks the texts carry, and CR LF, as LF.
std::string WithLineFeeds(std::string_view text);

// One UTF-8 sequence at text[i]; advances i. Rejects overlong forms, surrogates and truncated
// sequences.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& i);
// One character of UTF-16 text at text[i]; advances i. A lone surrogate gives nothing.
std::optional<char32_t> DecodeUtf16(std::u16string_view text, std::size_t& i);
void AppendUtf8(std::string& out, char32_t cp);
// Where the character at index character (counted from 0) starts in UTF-16 text, as the
// toolkits' text boxes count: a character beyond the Basic Multilingual Plane takes two units.
std::size_t Utf16Offset(std::u16string_view text, std::size_t character);
// The Windows-1252 byte of a code point; nothing for one it cannot hold.
std::optional<char> ToCp1252(char32_t cp);

}  // namespace bootdisk
