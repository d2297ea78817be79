#pragma once
// Texts inside the program are 8-bit Windows-1252 strings, as in the language file and on DOS disks.
#include <string>
#include <string_view>

namespace bootdisk {

// ASCII-only case mapping: the language file and payload names compare this way.
std::string UpperAnsi(std::string_view text);
bool SameTextAnsi(std::string_view a, std::string_view b);

// For showing a text on a UTF-8 terminal or toolkit; lone CR line breaks become LF.
std::string Cp1252ToUtf8(std::string_view text);

}  // namespace bootdisk
