// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/NetbootServer.h"

#include <algorithm>
#include <stdexcept>

#include "image/NetbootFolder.h"

namespace bootdisk {
namespace {

// Enough to tell why dnsmasq stopped; a long run's log is not kept.
constexpr std::size_t kKeptLines = 20;
// A line longer than this is not dnsmasq's; it is taken in pieces rather than held whole.
constexpr std::size_t kLongestLine = 4096;

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

std::string_view Word(std::string_view& text) {
    const auto start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        text = {};
        return {};
    }
    text.remove_prefix(start);
    const auto end = std::min(text.find(' '), text.size());
    const auto word = text.substr(0, end);
    text.remove_prefix(end);
    return word;
}

bool IsMac(std::string_view word) {
    return word.size() == 17 && std::all_of(word.begin(), word.end(), [](char c) {
               return c == ':' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
           });
}

bool IsAddress(std::string_view word) {
    return !word.empty() && std::count(word.begin(), word.end(), '.') == 3 &&
           std::all_of(word.begin(), word.end(), [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
}

// "text ... to ADDRESS" or "for ADDRESS": the path between the lead and the last word's preposition.
bool PathAndAddress(std::string_view text, std::string_view lead, std::string_view preposition, std::string& path,
                    std::string& address) {
    if (!StartsWith(text, lead)) return false;
    text.remove_prefix(lead.size());
    const auto at = text.rfind(preposition);
    if (at == std::string_view::npos) return false;
    path = std::string(text.substr(0, at));
    address = std::string(text.substr(at + preposition.size()));
    return true;
}

}  // namespace

char UnfitForDnsmasq(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f || c == '"' || c == '\\' || c == '#' || c == ',') return c;
    return 0;
}

std::string DnsmasqConfig(const TServeSetup& setup) {
    for (const auto* value : {&setup.folder, &setup.netInterface.name, &setup.leaseFile, &setup.user})
        if (UnfitForDnsmasq(*value)) throw std::invalid_argument("dnsmasq's configuration cannot carry " + *value);
    std::string text =
        "# A proxy DHCP and TFTP server for one network boot folder, written for one run of bootdisk serve.\n"
        "port=0\n"  // no DNS
        "interface=" + setup.netInterface.name + "\n"
        "bind-interfaces\n"
        "log-dhcp\n"
        "enable-tftp\n"
        "tftp-root=" + setup.folder + "\n"
        "dhcp-leasefile=" + setup.leaseFile + "\n";
    // dnsmasq adds the loopback interface to the one named unless told not to.
    if (!setup.netInterface.loopback) text += "except-interface=lo\n";
    if (!setup.user.empty()) text += "user=" + setup.user + "\n";
    for (const auto& address : setup.netInterface.ipv4)
        text += "dhcp-range=" + address.network + ",proxy," + address.netmask + "\n";
    // iPXE says so in its user class and in option 175.
    text += "dhcp-userclass=set:ipxe,iPXE\n"
            "dhcp-match=set:ipxe,175\n"
            "pxe-service=tag:!ipxe,x86PC,\"Disk sanitizer\",pxelinux\n"
            "pxe-service=tag:ipxe,x86PC,\"Disk sanitizer\"," + std::string(kIpxeScript) + "\n";
    return text;
}

std::vector<TServeEvent> TDnsmasqLog::Feed(std::string_view text) {
    std::vector<TServeEvent> events;
    pending_.append(text);
    std::size_t start = 0;
    for (auto end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n', start)) {
        Line(std::string_view(pending_).substr(start, end - start), events);
        start = end + 1;
    }
    pending_.erase(0, start);
    if (pending_.size() > kLongestLine) {
        Line(pending_, events);
        pending_.clear();
    }
    return events;
}

void TDnsmasqLog::Line(std::string_view line, std::vector<TServeEvent>& events) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto colon = line.find(": ");
    const auto source = line.substr(0, colon);
    auto text = colon == std::string_view::npos ? std::string_view() : line.substr(colon + 2);
    if (StartsWith(source, "dnsmasq-dhcp")) {
        // With log-dhcp each line starts with its transaction's number.
        auto rest = text;
        const auto transaction = Word(rest);
        if (!rest.empty()) rest.remove_prefix(1);
        return DhcpLine(transaction, rest, events);
    }
    if (StartsWith(source, "dnsmasq-tftp")) return TftpLine(text, events);
    if (line.empty()) return;
    other_.emplace_back(line);
    if (other_.size() > kKeptLines) other_.erase(other_.begin());
}

void TDnsmasqLog::DhcpLine(std::string_view transaction, std::string_view text, std::vector<TServeEvent>& events) {
    if (StartsWith(text, "user class: ")) {
        userClass_[std::string(transaction)] = std::string(text.substr(12));
        return;
    }
    if (!StartsWith(text, "PXE(")) return;
    Word(text);  // PXE(interface)
    TServeEvent event;
    for (auto word = Word(text); !word.empty(); word = Word(text)) {
        if (IsMac(word))
            event.mac = std::string(word);
        else if (IsAddress(word))
            event.address = std::string(word);
        else if (word != "proxy")
            event.file = std::string(word);
    }
    if (event.mac.empty()) return;
    const auto userClass = userClass_.find(transaction);
    event.client = userClass != userClass_.end() && userClass->second == "iPXE" ? "iPXE" : "PXE";
    // A boot asks several times before it is told its file; the next boot asks anew.
    const auto asking = std::find(asking_.begin(), asking_.end(), event.mac);
    if (asking == asking_.end()) {
        events.push_back({TServeEvent::EKind::Machine, event.mac, {}, event.client, {}, {}});
        asking_.push_back(event.mac);
    }
    if (event.file.empty()) return;
    std::erase(asking_, event.mac);
    if (!event.address.empty()) macOf_[event.address] = event.mac;
    event.kind = TServeEvent::EKind::BootFile;
    events.push_back(std::move(event));
}

void TDnsmasqLog::TftpLine(std::string_view text, std::vector<TServeEvent>& events) {
    if (StartsWith(text, "TFTP root is")) {
        events.push_back({});
        return;
    }
    TServeEvent event;
    std::string path;
    if (PathAndAddress(text, "sent ", " to ", path, event.address)) {
        event.kind = TServeEvent::EKind::Fetched;
    } else if (PathAndAddress(text, "file ", " not found for ", path, event.address)) {
        event.kind = TServeEvent::EKind::FetchFailed;
        event.reason = "not found";
        // PXELINUX looks for a configuration of the machine's own before the folder's default.
        const auto file = InFolder(path);
        if (StartsWith(file, std::string(kPxelinuxConfigFolder) + "/") && file != kPxelinuxConfig) return;
    } else if (PathAndAddress(text, "failed sending ", " to ", path, event.address)) {
        event.kind = TServeEvent::EKind::FetchFailed;
        event.reason = "sending failed";
    } else if (StartsWith(text, "cannot access ")) {
        text.remove_prefix(14);
        const auto colon = text.rfind(": ");
        path = std::string(text.substr(0, colon));
        event.kind = TServeEvent::EKind::FetchFailed;
        event.reason = colon == std::string_view::npos ? std::string() : std::string(text.substr(colon + 2));
    } else {
        return;
    }
    event.file = InFolder(path);
    if (const auto mac = macOf_.find(event.address); mac != macOf_.end()) event.mac = mac->second;
    events.push_back(std::move(event));
}

std::string TDnsmasqLog::InFolder(std::string_view path) const {
    const auto root = folder_ + "/";
    return StartsWith(path, root) ? std::string(path.substr(root.size())) : std::string(path);
}

std::string DnsmasqFailureHint(const std::vector<std::string>& lines) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (line->find("Address already in use") != std::string::npos)
            return "another server on this computer holds the DHCP or TFTP ports (67, 69, 4011): stop it, or serve "
                   "from another computer";
        if (line->find("Permission denied") != std::string::npos || line->find("Operation not permitted") != std::string::npos)
            return "the DHCP and TFTP ports need root: run bootdisk serve as root (sudo)";
    }
    return {};
}

}  // namespace bootdisk
