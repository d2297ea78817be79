// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A writer reached over iSCSI, named iscsi://HOST[:PORT]/TARGET-IQN/LUN.
#include <cstdint>
#include <string>
#include <string_view>

namespace bootdisk {

inline constexpr std::string_view kIscsiScheme = "iscsi://";
inline constexpr std::uint16_t kIscsiDefaultPort = 3260;

struct TIscsiUrl {
    std::string host;  // an IPv6 address without its brackets
    std::uint16_t port = kIscsiDefaultPort;
    std::string target;
    std::uint16_t lun = 0;

    // "host:port", the form the initiator connects to; IPv6 addresses in brackets.
    std::string Portal() const;
};

bool IsIscsiUrl(std::string_view name);

// Throws std::invalid_argument saying what is wrong with url.
TIscsiUrl ParseIscsiUrl(std::string_view url);

}  // namespace bootdisk
