// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The UI string table: every text the program shows, and the few it writes or uses as names, is
// an entry with a key and a built-in default. The language file may replace the texts once at
// start (app/StrBase.h); after that the table is only read. The defaults and the language file
// are Windows-1252; the table holds the texts in UTF-8, with their lone CR line breaks.
#include <array>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace bootdisk {

enum class StrId {
#define STRCONST(key, text) key,
#include "base/StrConst.def"
#undef STRCONST
};

inline constexpr std::size_t kStrIdCount = 0
#define STRCONST(key, text) +1
#include "base/StrConst.def"
#undef STRCONST
    ;

// The indexed families: keys are the family name, "(", the decimal index, ")".
inline constexpr std::string_view kAspiErrorFamily = "GUI_TEXTASPIERRORS";
inline constexpr int kAspiErrorCount = 15;  // indexes 0..14, the recording step codes
inline constexpr std::string_view kPopupHelpFamily = "GUI_POPUPHELP";
inline constexpr int kPopupHelpCount = 8;   // indexes 1..8, the help menu in menu order

class TStringTable {
public:
    TStringTable();  // every entry at its default

    const std::string& operator[](StrId id) const { return singles_[std::size_t(id)]; }
    // The text of a recording step code; codes outside 0..14 give an empty text.
    const std::string& AspiError(int code) const;
    // Help-menu entry 1..8; other numbers give an empty text.
    const std::string& PopupHelp(int n) const;

    // Visits every entry in load order: the single entries, then the 15 recording error texts,
    // then the 8 help-menu texts. The callback may replace the text.
    void ForEachEntry(const std::function<void(std::string_view key, std::string& text)>& visit);
    void ForEachEntry(
        const std::function<void(std::string_view key, const std::string& text)>& visit) const;

    static std::string_view Key(StrId id);

private:
    template <class Self, class Visit>
    static void Walk(Self& self, const Visit& visit);

    std::array<std::string, kStrIdCount> singles_;
    std::array<std::string, kAspiErrorCount> aspiErrors_;
    std::array<std::string, kPopupHelpCount> popupHelp_;
};

// A text with its marks %1, %2, ... replaced by the values in order, in one pass, so a value
// that holds a mark stays as it is. A mark without a value stays too.
std::string WithValues(std::string_view text, std::initializer_list<std::string_view> values);

}  // namespace bootdisk
