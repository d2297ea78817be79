// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/DriveTargets.h"

#include "app/DriveRights.h"
#include "app/RemovableKinds.h"
#include "base/Errors.h"
#include "cli/Output.h"
#include "cli/TerminalDialogs.h"
#include "disk/HostFloppy.h"
#include "image/Fat12Format.h"
#include "platform/Host.h"
#include "platform/HostDrives.h"

namespace bootdisk::cli {
std::string DriveIdentity(const THostDrive& drive) { return drive.device + " (" + drive.Details() + ")"; }

namespace {

// The drive as the question names it, with every volume of its disk: a write through one letter
// erases them all.
std::string Named(const THostDrive& drive, const TStringTable& texts) {
    return drive.volumes.empty() ? DriveIdentity(drive)
                                 : WholeDiskName(texts, drive.device, drive.volumes) + " (" + drive.Details() + ")";
}

std::string UnmountNote(const THostDrive& drive, const TStringTable& texts) {
    return drive.mountPoints.empty() ? ""
                                     : " " + texts[StrId::DRIVE_WILLUNMOUNT] + MountPointList(drive.mountPoints) + ".";
}

// --yes, or "y" typed on the terminal; without a terminal and without --yes nothing is written.
void Confirm(const std::vector<THostDrive>& drives, const TArguments& args, const TStringTable& texts) {
    if (args.yes) return;
    if (!StdinIsTerminal()) {
        std::string named;
        for (const auto& drive : drives) named += (named.empty() ? "" : ", ") + DriveIdentity(drive);
        throw ERefusedTarget("not writing to " + named + " without --yes: there is no terminal to ask on");
    }
    if (drives.size() == 1) {
        const auto& drive = drives.front();
        Print("Everything on " + Named(drive, texts) + " will be lost." + UnmountNote(drive, texts) +
                  " Write the boot disk? [y/N] ",
              stderr);
    } else {
        std::string question = "Everything on these " + std::to_string(drives.size()) + " drives will be lost:\n";
        for (const auto& drive : drives) question += "  " + Named(drive, texts) + UnmountNote(drive, texts) + "\n";
        Print(question + "Write the boot disk to all of them at once? [y/N] ", stderr);
    }
    const std::string answer = ReadStdinLine().value_or("");
    if (answer != "y" && answer != "Y" && answer != "yes") throw ERefusedTarget("nothing was written", TExitCode::Stopped);
}

}  // namespace

void RefuseWithoutRights(const TStringTable& texts, TDriveWrite kind, const std::string& device) {
    if (auto refusal = DriveWriteRefusal(texts, kind, device); !refusal.empty()) throw ERefusedTarget(refusal);
}

TMediaKind RemovableTarget(const std::string& device, TSession& session, IHostRawDevices& table,
                           const TArguments& args) {
    return RemovableTargets({device}, session, table, args).front();
}

std::vector<TMediaKind> RemovableTargets(const std::vector<std::string>& devices, TSession& session,
                                         IHostRawDevices& table, const TArguments& args) {
    const auto& texts = session.app.texts;
    std::vector<THostDrive> drives;
    for (const auto& device : devices) {
        const auto drive = DescribeHostDrive(device);
        if (!drive) throw ERefusedTarget(device + " is not a disk of this computer");
        // A whole disk that is not removable gets the wizard's words.
        const auto refusal = RefusalOf(*drive);
        if (refusal == TDriveRefusal::NotRemovable) throw ERefusedTarget(DeviceLead(device) + EDiskProtectionFault().what());
        if (refusal != TDriveRefusal::None) throw ERefusedTarget(DeviceLead(device) + RefusalText(texts, *drive));
        RefuseWithoutRights(texts, TDriveWrite::Removable, device);
        drives.push_back(*drive);
    }
    Confirm(drives, args, texts);
    std::vector<TMediaKind> kinds;
    for (const auto& drive : drives) {
        const char letter = table.Attach(drive.device, drive.type);
        if (letter == 0) throw ERefusedTarget("no drive letter is left for " + drive.device);
        kinds.push_back({DriveLabel(texts, drive), TMediaType::Removable, nullptr, RemovableDriveOf(letter, drive)});
    }
    return kinds;
}

TFloppyDrive FloppyTarget(const std::string& device, TSession& session, IHostRawDevices& table,
                          const TArguments& args) {
    RefuseWithoutRights(session.app.texts, TDriveWrite::Floppy, device);
    try {
        AttachFloppy(table, device, session.app.texts);
    } catch (const std::runtime_error& error) {
        throw ERefusedTarget(error.what());
    }
    const auto drive = DescribeHostDrive(device);
    THostDrive file;
    file.device = device;
    file.model = "image file";
    file.size = fat12::kImageSize;
    file.type = THostDriveType::Removable;
    Confirm({drive ? *drive : file}, args, session.app.texts);
    session.dialogs->NameFloppyTarget(device, !drive);
    return {device, &table};
}

}  // namespace bootdisk::cli
