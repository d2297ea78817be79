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

// --yes, or "y" typed on the terminal; without a terminal and without --yes nothing is written.
void Confirm(const THostDrive& drive, const TArguments& args, const TStringTable& texts) {
    if (args.yes) return;
    if (!StdinIsTerminal())
        throw ERefusedTarget("not writing to " + DriveIdentity(drive) + " without --yes: there is no terminal to ask on");
    const std::string unmount = drive.mountPoints.empty()
                                    ? ""
                                    : " " + texts[StrId::DRIVE_WILLUNMOUNT] + MountPointList(drive.mountPoints) + ".";
    // Every volume of the disk is named: a write through one letter erases them all.
    const auto named = drive.volumes.empty()
                           ? DriveIdentity(drive)
                           : WholeDiskName(texts, drive.device, drive.volumes) + " (" + drive.Details() + ")";
    Print("Everything on " + named + " will be lost." + unmount + " Write the boot disk? [y/N] ", stderr);
    const std::string answer = ReadStdinLine().value_or("");
    if (answer != "y" && answer != "Y" && answer != "yes") throw ERefusedTarget("nothing was written", TExitCode::Stopped);
}

}  // namespace

void RefuseWithoutRights(const TStringTable& texts, TDriveWrite kind, const std::string& device) {
    if (auto refusal = DriveWriteRefusal(texts, kind, device); !refusal.empty()) throw ERefusedTarget(refusal);
}

TMediaKind RemovableTarget(const std::string& device, TSession& session, IHostRawDevices& table,
                           const TArguments& args) {
    const auto& texts = session.app.texts;
    const auto drive = DescribeHostDrive(device);
    if (!drive) throw ERefusedTarget(device + " is not a disk of this computer");
    // A whole disk that is not removable gets the wizard's words.
    const auto refusal = RefusalOf(*drive);
    if (refusal == TDriveRefusal::NotRemovable) throw ERefusedTarget(DeviceLead(device) + EDiskProtectionFault().what());
    if (refusal != TDriveRefusal::None) throw ERefusedTarget(DeviceLead(device) + RefusalText(texts, *drive));
    RefuseWithoutRights(texts, TDriveWrite::Removable, device);
    Confirm(*drive, args, texts);
    const char letter = table.Attach(drive->device, drive->type);
    if (letter == 0) throw ERefusedTarget("no drive letter is left for " + device);
    return {DriveLabel(texts, *drive), TMediaType::Removable, nullptr, RemovableDriveOf(letter, *drive)};
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
    Confirm(drive ? *drive : file, args, session.app.texts);
    session.dialogs->NameFloppyTarget(device, !drive);
    return {device, &table};
}

}  // namespace bootdisk::cli
