// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/IscsiUrl.h"

#include <charconv>
#include <stdexcept>

namespace bootdisk {
namespace {

// SAM's flat LUN addressing reaches 16383.
constexpr unsigned kMaxLun = 16383;

[[noreturn]] void Fail(std::string_view url, const std::string& why) {
    throw std::invalid_argument("bad iSCSI address '" + std::string(url) + "': " + why +
                                " (expected iscsi://HOST[:PORT]/TARGET-IQN/LUN)");
}

unsigned Number(std::string_view url, std::string_view text, unsigned max, const char* what) {
    unsigned value = 0;
    const auto* end = text.data() + text.size();
    const auto [next, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || next != end || value > max)
        Fail(url, std::string(what) + " '" + std::string(text) + "' is not a number from 0 to " + std::to_string(max));
    return value;
}

}  // namespace

std::string TIscsiUrl::Portal() const {
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

bool IsIscsiUrl(std::string_view name) { return name.substr(0, kIscsiScheme.size()) == kIscsiScheme; }

TIscsiUrl ParseIscsiUrl(std::string_view url) {
    if (!IsIscsiUrl(url)) Fail(url, "it does not start with iscsi://");
    auto rest = url.substr(kIscsiScheme.size());
    const auto hostEnd = rest.find('/');
    if (hostEnd == std::string_view::npos) Fail(url, "no target");
    auto authority = rest.substr(0, hostEnd);
    rest.remove_prefix(hostEnd + 1);

    TIscsiUrl parsed;
    std::string_view port;
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        if (close == std::string_view::npos) Fail(url, "unclosed '[' in the host");
        parsed.host = authority.substr(1, close - 1);
        const auto after = authority.substr(close + 1);
        if (!after.empty() && after.front() != ':') Fail(url, "unexpected text after ']'");
        if (!after.empty()) {
            port = after.substr(1);
            if (port.empty()) Fail(url, "empty port");
        }
    } else {
        const auto colon = authority.find(':');
        parsed.host = authority.substr(0, colon);
        if (colon != std::string_view::npos) {
            port = authority.substr(colon + 1);
            if (port.empty()) Fail(url, "empty port");
        }
    }
    if (parsed.host.empty()) Fail(url, "no host");
    if (!port.empty()) {
        parsed.port = std::uint16_t(Number(url, port, 65535, "port"));
        if (parsed.port == 0) Fail(url, "port 0");
    }

    const auto lunStart = rest.rfind('/');
    if (lunStart == std::string_view::npos) Fail(url, "no LUN after the target");
    parsed.target = rest.substr(0, lunStart);
    if (parsed.target.empty()) Fail(url, "empty target name");
    if (parsed.target.find('/') != std::string::npos) Fail(url, "'/' in the target name");
    parsed.lun = std::uint16_t(Number(url, rest.substr(lunStart + 1), kMaxLun, "LUN"));
    return parsed;
}

}  // namespace bootdisk
