// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The readable source of the language file (lang/quellmark.txt), which mklng turns into
// quellmark.lng. One entry a line, KEY = "text", in UTF-8; texts are stored as Windows-1252.
// Inside the quotes \r is a line break (CR), \" a quote and \\ a backslash. Blank lines and lines
// starting with # are ignored.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/StrBase.h"

namespace bootdisk {

struct TLngSourceEntry {
    std::string Key;   // as written: the string table's key
    std::string Text;  // Windows-1252
    int Line = 0;
};

class ELngSourceError : public std::runtime_error {
public:
    ELngSourceError(int line, const std::string& message)
        : std::runtime_error(message), line_(line) {}
    int Line() const { return line_; }

private:
    int line_;
};

// Throws ELngSourceError naming the first faulty line: a malformed line, a key outside
// A-Z 0-9 _ ( ), a key given twice, an unknown escape, bad UTF-8, a character that
// Windows-1252 cannot hold, or a raw control character.
std::vector<TLngSourceEntry> ParseLngSource(std::string_view source);

// The pairs as the program reads them: file keys, sorted by unsigned bytes, marked sorted.
TValueList MakeLanguageList(const std::vector<TLngSourceEntry>& entries);

}  // namespace bootdisk
