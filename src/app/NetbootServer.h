// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// dnsmasq serving a network boot folder: the configuration that makes it a proxy DHCP server (it
// never hands out addresses, so it cannot fight the network's own DHCP server) and a TFTP server
// for the folder, and what its log tells of the machines that boot.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Network.h"

namespace bootdisk {

struct TServeSetup {
    std::string folder;  // absolute: dnsmasq names the files it sends by it
    TNetInterface netInterface;
    std::string leaseFile;  // dnsmasq insists on one, even as a proxy
    std::string user;       // the one dnsmasq reads the folder as; empty for its own
};

// iPXE clients are given boot.ipxe, others pxelinux.0, so that iPXE never loads itself again.
// Throws std::invalid_argument for a value the configuration cannot carry (see UnfitForDnsmasq).
std::string DnsmasqConfig(const TServeSetup& setup);

// The first character of text that a line of dnsmasq's configuration cannot carry as it stands:
// control characters, and the quote, escape, comment and list characters; 0 when there is none.
char UnfitForDnsmasq(std::string_view text);

struct TServeEvent {
    enum class EKind : std::uint8_t {
        Ready,        // dnsmasq has its ports
        Machine,      // a machine asks to boot (once a request)
        BootFile,     // a machine is told which file to load
        Fetched,      // a file went to a machine
        FetchFailed,  // a file a machine asked for could not be sent
    };
    EKind kind = EKind::Ready;
    std::string mac;
    std::string address;
    std::string client;  // "iPXE" or "PXE"
    std::string file;    // inside the folder
    std::string reason;
};

// Reads dnsmasq's log as it comes, in pieces of any size.
class TDnsmasqLog {
public:
    explicit TDnsmasqLog(std::string folder) : folder_(std::move(folder)) {}

    std::vector<TServeEvent> Feed(std::string_view text);
    // dnsmasq's own lines that are not one of the events: the reason it gives when it stops.
    const std::vector<std::string>& OtherLines() const { return other_; }

private:
    void Line(std::string_view line, std::vector<TServeEvent>& events);
    void DhcpLine(std::string_view transaction, std::string_view text, std::vector<TServeEvent>& events);
    void TftpLine(std::string_view text, std::vector<TServeEvent>& events);
    std::string InFolder(std::string_view path) const;

    std::string folder_;
    std::string pending_;
    std::map<std::string, std::string, std::less<>> userClass_;  // by DHCP transaction
    std::map<std::string, std::string, std::less<>> macOf_;      // by address
    std::vector<std::string> asking_;                           // MACs between request and boot file
    std::vector<std::string> other_;
};

// What dnsmasq's words on stopping mean for the user; empty when they say nothing known.
std::string DnsmasqFailureHint(const std::vector<std::string>& lines);

}  // namespace bootdisk
