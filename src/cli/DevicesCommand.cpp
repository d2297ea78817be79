// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk devices`: the CD/DVD writers, the removable drives that can take the boot disk, and
// the other disks with the reason each is not offered; as text, or as JSON for scripts.
#include <cstdio>
#include <stdexcept>

#include "app/DriveRights.h"
#include "app/RemovableKinds.h"
#include "base/Text.h"
#include "cli/Commands.h"
#include "cli/DriveTargets.h"
#include "cli/Json.h"
#include "cli/Output.h"
#include "cli/Session.h"
#include "optical/Optical_devices.h"

namespace bootdisk::cli {
namespace {

struct TWriterEntry {
    std::string name;
    std::string device;
    std::vector<std::string> reads;
    std::vector<std::string> writes;
};

struct TDeviceListing {
    std::vector<TWriterEntry> writers;
    std::vector<std::string> unopenedWriters;  // why each writer that was found cannot be opened
    std::vector<THostDrive> drives;
    bool scan = false;        // the whole computer, not only named devices
    bool unreachable = false; // a named device that cannot be opened
};

std::vector<std::string> Names(std::initializer_list<std::pair<bool, const char*>> items) {
    std::vector<std::string> names;
    for (const auto& [has, name] : items)
        if (has) names.emplace_back(name);
    return names;
}

TWriterEntry WriterEntry(TOpticalDevice& device) {
    const auto& caps = device.Capabilities;
    return {device.DisplayName, device.Location(),
            Names({{caps.ReadCDR, "CD-R"}, {caps.ReadCDRW, "CD-RW"}, {caps.ReadDVDROM, "DVD-ROM"},
                   {caps.ReadDVDR, "DVD-R"}, {caps.ReadDVDRAM, "DVD-RAM"}}),
            Names({{caps.WriteCDR, "CD-R"}, {caps.WriteCDRW, "CD-RW"}, {caps.WriteDVDR, "DVD-R"},
                   {caps.WriteDVDRAM, "DVD-RAM"}, {caps.TestWrite, "test"}})};
}

TDeviceListing Gather(const TArguments& args) {
    TDeviceListing listing;
    const auto add = [&](TOpticalDevice& device) {
        if (device.IsWriter()) listing.writers.push_back(WriterEntry(device));
    };
    listing.scan = args.positional.empty();
    if (listing.scan) {
        TOpticalDevices devices;
        for (std::size_t i = 0; i < devices.Count(); ++i) add(devices.Item(i));
        listing.unopenedWriters = devices.Unopened;
        listing.drives = ScanHostDrives();
        return listing;
    }
    for (const auto& name : args.positional) {
        if (auto drive = DescribeHostDrive(name)) {
            listing.drives.push_back(std::move(*drive));
            continue;
        }
        try {
            const auto opened = OpenDevice(name, false);
            if (opened.device->DeviceType == kDeviceTypeCdRom) add(*opened.device);
        } catch (const std::exception& error) {
            PrintError(args.command, error.what());
            listing.unreachable = true;
        }
    }
    return listing;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "" : ",") + name;
    return text.empty() ? "-" : text;
}

void PrintText(const TDeviceListing& listing, const TStringTable& texts, std::size_t named) {
    for (const auto& writer : listing.writers)
        Print(writer.name + "\t" + writer.device + "\tread " + Joined(writer.reads) + "  write " +
              Joined(writer.writes) + "\n");
    if (!listing.unopenedWriters.empty()) {
        Print("Writers that cannot be opened:\n");
        for (const auto& reason : listing.unopenedWriters) Print("  " + reason + "\n");
    }
    // Named devices are listed as what they are; a full scan lists both kinds.
    if (listing.writers.empty() && (listing.scan || listing.drives.size() < named)) Print("No CD/DVD writer found.\n");
    if (!listing.scan && listing.drives.empty()) return;
    std::string offered, refused;
    for (const auto& drive : listing.drives) {
        const auto reason = RefusalText(texts, drive);
        const std::string mounted =
            drive.mountPoints.empty() ? "" : ": " + texts[StrId::DRIVE_MOUNTEDAT] + MountPointList(drive.mountPoints);
        (reason.empty() ? offered : refused) +=
            "  " + DriveIdentity(drive) + (reason.empty() ? mounted : ": " + reason) + "\n";
    }
    Print("Removable drives that can take the boot disk:\n" + (offered.empty() ? "  none\n" : offered));
    if (!refused.empty()) Print("Drives not offered:\n" + refused);
    if (const auto problem = DriveServiceProblem(); !problem.empty())
        Print("The system's disk service is not asked: " + problem + "\n");
}

std::string DriveJson(const THostDrive& drive, const TStringTable& texts) {
    std::string json = "{\"device\": " + JsonString(drive.device) + ", \"model\": " + JsonString(drive.model) +
                       ", \"size\": " + std::to_string(drive.size) +
                       ", \"mountPoints\": " + JsonStrings(drive.mountPoints);
    if (const auto refusal = RefusalOf(drive); refusal != TDriveRefusal::None)
        json += std::string(", \"reason\": \"") + RefusalKey(refusal) +
                "\", \"reasonText\": " + JsonString(RefusalText(texts, drive));
    return json + "}";
}

// JSON is UTF-8 whatever the terminal's character set.
void PrintJson(const TDeviceListing& listing, const TStringTable& texts) {
    std::string writers, offered, refused;
    const auto append = [](std::string& list, const std::string& item) { list += (list.empty() ? "\n    " : ",\n    ") + item; };
    for (const auto& writer : listing.writers)
        append(writers, "{\"name\": " + JsonString(writer.name) + ", \"device\": " + JsonString(writer.device) +
                            ", \"read\": " + JsonStrings(writer.reads) + ", \"write\": " + JsonStrings(writer.writes) + "}");
    for (const auto& drive : listing.drives)
        append(RefusalOf(drive) == TDriveRefusal::None ? offered : refused, DriveJson(drive, texts));
    const auto list = [](const std::string& items) { return "[" + items + (items.empty() ? "]" : "\n  ]"); };
    std::printf("{\n  \"writers\": %s,\n  \"unopenedWriters\": %s,\n  \"removableDrives\": %s,\n"
                "  \"otherDisks\": %s,\n  \"writingNeedsAdministrator\": %s\n}\n",
                list(writers).c_str(), JsonStrings(listing.unopenedWriters).c_str(), list(offered).c_str(),
                list(refused).c_str(), DriveWritesNeedAdministrator(TDriveWrite::Removable) ? "true" : "false");
}

}  // namespace

TExitCode RunDevices(const TArguments& args) {
    TAppContext app;
    if (!LoadSessionTexts(app, args.command, args.language)) return TExitCode::Failed;
    const auto listing = Gather(args);
    // Said first: the drives listed below are written only with these rights.
    if (const auto notice = DriveRightsNotice(app.texts); !notice.empty() && !args.json)
        Print(WithLineFeeds(notice) + "\n");
    if (args.json)
        PrintJson(listing, app.texts);
    else
        PrintText(listing, app.texts, args.positional.size());
    return listing.unreachable ? TExitCode::Failed : TExitCode::Made;
}

}  // namespace bootdisk::cli
