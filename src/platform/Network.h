// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What serving a network boot folder needs of the host: its network interfaces, the dnsmasq
// program, and a private folder for the server's configuration. Windows has no dnsmasq: there the
// folder's README.TXT tells how to serve it, and these find nothing.
#include <optional>
#include <string>
#include <vector>

namespace bootdisk {

struct TIpv4Address {
    std::string address;  // dotted, "192.168.1.5"
    std::string netmask;
    std::string network;  // the address with the host part cleared
};

struct TNetInterface {
    std::string name;
    bool up = false;
    bool loopback = false;
    std::vector<TIpv4Address> ipv4;
};

// Whether this host serves a network boot folder itself, with dnsmasq.
bool ServesNetboot();

// Every interface of this computer, in the system's order.
std::vector<TNetInterface> NetInterfaces();

// The program's path when it is on the PATH; nothing otherwise.
std::optional<std::string> FindProgram(const std::string& name);

// The name of the user owning path; empty when it cannot be told.
std::string OwnerName(const std::string& path);

// A folder only this user can enter, created new under the system's folder for temporary files,
// and removed with the object with all it holds. Throws EStreamError when it cannot be created.
class TPrivateFolder {
public:
    TPrivateFolder();
    ~TPrivateFolder();
    TPrivateFolder(const TPrivateFolder&) = delete;
    TPrivateFolder& operator=(const TPrivateFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace bootdisk
