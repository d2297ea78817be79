// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Json.h"

#include <cstdio>

#include "base/Text.h"

namespace bootdisk::cli {

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

std::string JsonStrings(const std::vector<std::string>& texts) {
    std::string json = "[";
    for (const auto& text : texts) json += (json.size() > 1 ? ", " : "") + JsonString(text);
    return json + "]";
}

}  // namespace bootdisk::cli
