// SPDX-License-Identifier: GPL-3.0-or-later
// Windows serves no network boot folder itself: the folder's README.TXT names the servers that do.
#include "platform/Network.h"

#include "base/Errors.h"

namespace bootdisk {

bool ServesNetboot() { return false; }

std::vector<TNetInterface> NetInterfaces() { return {}; }

std::optional<std::string> FindProgram(const std::string&) { return std::nullopt; }

std::string OwnerName(const std::string&) { return {}; }

TPrivateFolder::TPrivateFolder() {
    throw EStreamError("Windows has no dnsmasq to serve a network boot folder", "not on Windows");
}

TPrivateFolder::~TPrivateFolder() = default;

}  // namespace bootdisk
