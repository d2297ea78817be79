// SPDX-License-Identifier: GPL-3.0-or-later
// The terminal's character set is the user's locale's (LC_ALL, LC_CTYPE, LANG): iconv converts to
// and from it, without changing the program's own locale.
#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <optional>
#include <string>

#include "platform/Host.h"

namespace bootdisk {
namespace {

constexpr std::string_view kUtf8 = "UTF-8";

// The locale's character set, when it is another than UTF-8 and the C locale's ASCII.
const std::optional<std::string>& OtherCharacterSet() {
    static const auto set = []() -> std::optional<std::string> {
        const locale_t locale = newlocale(LC_CTYPE_MASK, "", locale_t(0));
        if (locale == locale_t(0)) return std::nullopt;
        std::string codeset = nl_langinfo_l(CODESET, locale);
        freelocale(locale);
        if (codeset == kUtf8 || codeset == "ANSI_X3.4-1968") return std::nullopt;
        return codeset;
    }();
    return set;
}

// A byte that does not convert passes through as it is; iconv's transliteration stands in for a
// character the target lacks.
std::string Converted(std::string_view text, const std::string& to, const std::string& from) {
    const iconv_t converter = iconv_open((to + "//TRANSLIT").c_str(), from.c_str());
    if (converter == iconv_t(-1)) return std::string(text);
    std::string out;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char buffer[256];
        char* next = buffer;
        std::size_t outLeft = sizeof buffer;
        const auto result = iconv(converter, &in, &inLeft, &next, &outLeft);
        out.append(buffer, std::size_t(next - buffer));
        if (result == std::size_t(-1) && errno != E2BIG) {
            out += *in++;
            --inLeft;
        }
    }
    iconv_close(converter);
    return out;
}

}  // namespace

std::string TerminalText(std::string_view utf8) {
    const auto& set = OtherCharacterSet();
    return set ? Converted(utf8, *set, std::string(kUtf8)) : std::string(utf8);
}

std::string TextFromTerminal(std::string_view typed) {
    const auto& set = OtherCharacterSet();
    return set ? Converted(typed, std::string(kUtf8), *set) : std::string(typed);
}

}  // namespace bootdisk
