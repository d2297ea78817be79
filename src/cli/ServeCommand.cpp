// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk serve`: dnsmasq in the foreground as proxy DHCP and TFTP server for a network boot
// folder, telling each machine that asks and each file it fetches, until Ctrl+C.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "app/Interruption.h"
#include "app/NetbootServer.h"
#include "base/Errors.h"
#include "base/PendingFile.h"
#include "base/Streams.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Output.h"
#include "image/NetbootFolder.h"
#include "platform/ChildProcess.h"
#include "platform/Host.h"
#include "platform/Network.h"

namespace bootdisk::cli {
namespace {

constexpr auto kPoll = std::chrono::milliseconds(100);

// The folder's absolute path when it is a network boot folder; nothing after saying why not.
std::optional<std::string> ServedFolder(const TArguments& args, const std::string& folder) {
    const auto kind = InspectPath(folder).kind;
    if (kind != TPathKind::Directory) {
        PrintError(args.command, folder + (kind == TPathKind::Missing ? " does not exist" : " is not a folder") +
                                     "; 'bootdisk netboot " + folder + "' writes a network boot folder");
        return std::nullopt;
    }
    for (const auto& entry : NetbootFolderEntries())
        if (InspectPath(folder + "/" + entry).kind == TPathKind::Missing) {
            PrintError(args.command, folder + " is not a network boot folder: it lacks " + entry + "; 'bootdisk netboot " +
                                         folder + "' writes one");
            return std::nullopt;
        }
    std::error_code error;
    const auto absolute = std::filesystem::canonical(folder, error).string();
    if (const char c = UnfitForDnsmasq(absolute); c != 0 || error) {
        PrintError(args.command, "dnsmasq cannot serve a folder whose path holds the character " +
                                     (c >= 0x20 ? std::string(1, c) : "code " + std::to_string(int(c))) +
                                     "; move the folder or rename it");
        return std::nullopt;
    }
    return absolute;
}

// The interface when it can take a proxy DHCP server; nothing after saying why not.
std::optional<TNetInterface> ServedInterface(const TArguments& args, const std::string& name) {
    const auto all = NetInterfaces();
    const auto found = std::find_if(all.begin(), all.end(), [&](const TNetInterface& i) { return i.name == name; });
    if (found == all.end()) {
        std::string names;
        for (const auto& i : all) names += (names.empty() ? "" : ", ") + i.name;
        PrintError(args.command, "there is no network interface " + name + "; this computer has " +
                                     (names.empty() ? "none" : names));
        return std::nullopt;
    }
    if (found->ipv4.empty() || !found->up) {
        PrintError(args.command, name + (found->up ? " has no IPv4 address" : " is down") +
                                     ": network boot answers on IPv4; bring it up with an address, or name another "
                                     "interface");
        return std::nullopt;
    }
    return *found;
}

class TEventPrinter {
public:
    TEventPrinter(const TArguments& args, const TServeSetup& setup) : json_(args.json), setup_(setup) {}

    void Print(const TServeEvent& event) {
        using K = TServeEvent::EKind;
        std::string line;
        const auto who = event.mac.empty() ? event.address : "machine " + event.mac + (event.address.empty() ? "" : " at " + event.address);
        switch (event.kind) {
            case K::Ready: {
                std::vector<std::string> addresses;
                for (const auto& a : setup_.netInterface.ipv4) addresses.push_back(a.address);
                line = json_ ? Json("ready", {{"folder", setup_.folder}, {"interface", setup_.netInterface.name}}, "\"addresses\": " + JsonStrings(addresses))
                             : "serving " + setup_.folder + " on " + setup_.netInterface.name + " (" + addresses.front() +
                                   ") as proxy DHCP and TFTP server; Ctrl+C stops";
                break;
            }
            case K::Machine:
                line = json_ ? Json("machine", {{"mac", event.mac}, {"client", event.client}})
                             : "machine " + event.mac + " (" + event.client + ") asks to boot";
                break;
            case K::BootFile:
                line = json_ ? Json("boot-file", {{"mac", event.mac}, {"address", event.address}, {"file", event.file}})
                             : who + " is given " + event.file;
                break;
            case K::Fetched:
                line = json_ ? Json("fetched", {{"mac", event.mac}, {"address", event.address}, {"file", event.file}})
                             : who + " fetched " + event.file;
                break;
            case K::FetchFailed:
                line = json_ ? Json("fetch-failed", {{"mac", event.mac}, {"address", event.address}, {"file", event.file},
                                                     {"reason", event.reason}})
                             : (who.empty() ? "a machine" : who) + " could not fetch " + event.file + ": " + event.reason;
                break;
        }
        Line(line);
    }

    void Stopped() { Line(json_ ? Json("stopped", {}) : "stopped"); }

private:
    static std::string Json(const char* name, std::initializer_list<std::pair<const char*, std::string>> fields,
                            const std::string& more = {}) {
        std::string json = std::string("{\"event\": \"") + name + "\"";
        for (const auto& [key, value] : fields)
            if (!value.empty()) json += std::string(", \"") + key + "\": " + JsonString(value);
        return json + (more.empty() ? "" : ", " + more) + "}";
    }

    // Each line as it happens: a script reading the pipe sees it at once. JSON is UTF-8 always,
    // text in the terminal's character set.
    void Line(const std::string& text) const {
        if (json_)
            std::printf("%s\n", text.c_str());
        else
            cli::Print(text + "\n");
        std::fflush(stdout);
    }

    bool json_;
    const TServeSetup& setup_;
};

}  // namespace

TExitCode RunServe(const TArguments& args) {
    if (args.positional.size() != 1) throw std::invalid_argument("serve takes exactly one folder");
    if (!args.netInterface) throw std::invalid_argument("serve needs --interface, the network the machines are on");
    if (!ServesNetboot()) {
        PrintError(args.command, "this system has no dnsmasq to serve the folder: give it to a DHCP and a TFTP "
                                 "server as the folder's README.TXT says");
        return TExitCode::Failed;
    }
    const auto folder = ServedFolder(args, args.positional.front());
    if (!folder) return TExitCode::Failed;
    const auto netInterface = ServedInterface(args, *args.netInterface);
    if (!netInterface) return TExitCode::Failed;
    const auto dnsmasq = FindProgram("dnsmasq");
    if (!dnsmasq) {
        PrintError(args.command, "dnsmasq is not installed (not found on the PATH): install the package dnsmasq-base");
        return TExitCode::Failed;
    }

    TPrivateFolder configFolder;
    // dnsmasq drops root once it has its ports; it then reads the folder as its owner can.
    const TServeSetup setup{*folder, *netInterface, configFolder.Path() + "/leases", OwnerName(*folder)};
    const auto config = configFolder.Path() + "/dnsmasq.conf";
    const auto text = DnsmasqConfig(setup);
    WriteFileWhole(config, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});

    StopRunOnInterrupt();
    TChildProcess server;
    std::uint32_t error = 0;
    if (server.StartProgram({*dnsmasq, "--keep-in-foreground", "--log-facility=-", "--conf-file=" + config}, error) !=
        TChildProcess::EStart::Running) {
        PrintError(args.command, "cannot start " + *dnsmasq + ": " + SystemErrorText(error));
        return TExitCode::Failed;
    }
    TDnsmasqLog log(*folder);
    TEventPrinter printer(args, setup);
    const auto take = [&](const std::string& output) {
        for (const auto& event : log.Feed(output)) printer.Print(event);
    };
    while (StopRequested() == 0) {
        take(server.ReadAvailable(kPoll));
        if (!server.Finished()) continue;
        for (auto rest = server.ReadAvailable(kPoll); !rest.empty(); rest = server.ReadAvailable(kPoll)) take(rest);
        std::string said;
        for (const auto& line : log.OtherLines()) said += (said.empty() ? "" : "\n") + line;
        PrintError(args.command, "dnsmasq stopped (exit code " + std::to_string(server.ExitCode()) + ")" +
                                     (said.empty() ? "" : ":\n" + said));
        if (const auto hint = DnsmasqFailureHint(log.OtherLines()); !hint.empty()) PrintError(args.command, hint);
        return TExitCode::Failed;
    }
    server.Kill();
    take(server.ReadAvailable(std::chrono::milliseconds(0)));
    printer.Stopped();
    return TExitCode::Made;
}

}  // namespace bootdisk::cli
