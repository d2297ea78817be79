// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Network.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/Errors.h"
#include "platform/Host.h"
#include "platform/OutputFile.h"

namespace bootdisk {
namespace {

std::string Dotted(in_addr address) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

}  // namespace

bool ServesNetboot() { return true; }

std::vector<TNetInterface> NetInterfaces() {
    ifaddrs* first = nullptr;
    if (getifaddrs(&first) != 0) return {};
    const std::unique_ptr<ifaddrs, void (*)(ifaddrs*)> owner(first, freeifaddrs);
    std::vector<TNetInterface> interfaces;
    for (const auto* entry = first; entry; entry = entry->ifa_next) {
        auto known = std::find_if(interfaces.begin(), interfaces.end(),
                                  [&](const TNetInterface& i) { return i.name == entry->ifa_name; });
        if (known == interfaces.end()) {
            interfaces.push_back({entry->ifa_name, (entry->ifa_flags & IFF_UP) != 0,
                                  (entry->ifa_flags & IFF_LOOPBACK) != 0, {}});
            known = interfaces.end() - 1;
        }
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !entry->ifa_netmask) continue;
        const auto address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr;
        const auto netmask = reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr;
        known->ipv4.push_back({Dotted(address), Dotted(netmask), Dotted(in_addr{address.s_addr & netmask.s_addr})});
    }
    return interfaces;
}

std::optional<std::string> FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    for (std::size_t start = 0; start <= folders.size();) {
        auto end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const auto folder = folders.substr(start, end - start);
        const auto candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (InspectPath(candidate).kind == TPathKind::Regular && access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

std::string OwnerName(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return {};
    const auto* user = getpwuid(status.st_uid);
    return user ? user->pw_name : "";
}

TPrivateFolder::TPrivateFolder() {
    const char* temp = std::getenv("TMPDIR");
    std::string pattern = std::string(temp && *temp ? temp : "/tmp") + "/bootdisk-serve-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        const auto reason = SystemErrorText(std::uint32_t(errno));
        throw EStreamError("Cannot create a folder in " + pattern + ": " + reason, reason);
    }
    path_ = pattern;
}

TPrivateFolder::~TPrivateFolder() { RemoveTreeQuietly(path_); }

}  // namespace bootdisk
