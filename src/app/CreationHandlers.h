// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The work behind each kind of medium, shared by the wizard and the command line: the floppy in
// drive A:, the CD/DVD writers and the image recorder, and the removable drives.
#include "app/CdDvdJob.h"
#include "app/CreationDriver.h"
#include "disk/Disk.h"
#include "disk/HostFloppy.h"

#include <optional>
#include <string>

namespace bootdisk {

// The floppy drive of a run: the device that drive A: stands for, in the host's drive table.
struct TFloppyDrive {
    std::string device;
    IHostRawDevices* devices = nullptr;
};

// The host's own floppy drive, attached to table's drive letters; nothing when the host has none.
std::optional<TFloppyDrive> HostFloppyDrive(IHostRawDevices& table);
// The floppy entry of the media kinds, saying so when no drive was found.
std::string FloppyKindLabel(const TStringTable& texts, bool driveFound);

// Why the last copy failed, for a front end that tells the outcomes apart (the command line's
// exit codes).
enum class TCopyFailure { None, Failed, ReadBack, Refused };

// The dialogs of one run: the MS-DOS system files' folder is asked once, and its answer (a cancel
// too) stands for every later copy of the run.
class TRunDialogs : public TDialogsRelay {
public:
    using TDialogsRelay::TDialogsRelay;
    std::optional<std::string> AskSystemFolder() override {
        if (!folder_) folder_ = TDialogsRelay::AskSystemFolder();
        return *folder_;
    }

private:
    std::optional<std::optional<std::string>> folder_;
};

class TCreationHandlers : public ICreationHandlers {
public:
    // Handlers for one run. Without a floppy drive a floppy row is skipped (see MissingDrive).
    TCreationHandlers(TJobEnv env, TCreationSettings settings, TDiskHost disk,
                      std::optional<TFloppyDrive> floppy = std::nullopt)
        : dialogs_(env.dialogs), env_{env.app, dialogs_, env.host}, settings_(std::move(settings)), disk_(disk),
          floppy_(std::move(floppy)) {}
    TCreationHandlers(const TCreationHandlers&) = delete;
    TCreationHandlers& operator=(const TCreationHandlers&) = delete;

    // These throw ECopySkipped when the copy cannot be made on any medium now: the boot image cannot
    // be built (no MS-DOS system files), or the user gave up on a floppy that failed.
    bool CreateFloppy(TCreationDriver& driver) override;
    bool CreateCdDvd(TOpticalDevice& device, TCreationDriver& driver) override;
    // Throws EDiskProtectionFault, before anything is written, when the drive is not removable, and
    // ECopySkipped when it is taken away during the copy.
    bool CreateRemovable(const TRemovableDrive& drive, TCreationDriver& driver) override;
    // The boot floppy as an image file, under the output-file rules of the CD image's.
    bool CreateFloppyImage(TCreationDriver& driver) override;
    // The network boot folder, named in the save dialog; its boot system is a CD's.
    bool CreateNetbootFolder(TCreationDriver& driver) override;
    std::string MissingDrive(const TMediaKind& kind) const override;
    // A drive whose disk is not known (a simulated one) is taken to be there.
    bool DriveGone(const TRemovableDrive& drive) const override;
    std::vector<std::string> MountPoints(const TRemovableDrive& drive) const override;
    std::optional<std::string> LabelNow(const TRemovableDrive& drive) const override;
    std::string OutputFile(const TMediaKind& kind) const override;

    TCopyFailure LastFailure() const { return lastFailure_; }

private:
    // Unmounts the drive's file systems when they are all ones the user was told of; false after
    // saying why not.
    bool UnmountConfirmed(const TRemovableDrive& drive);
    std::unique_ptr<THostFloppy> OpenFloppy();
    bool MakeFloppy(THostFloppy& floppy, TCreationDriver& driver);

    TRunDialogs dialogs_;
    TJobEnv env_;
    TCreationSettings settings_;
    TDiskHost disk_;
    std::optional<TFloppyDrive> floppy_;
    std::string floppyImageFile_;
    std::string netbootFolder_;
    TCopyFailure lastFailure_ = TCopyFailure::None;
};

// The save dialog's request for the destination of a floppy image.
TSaveFileRequest FloppyImageFileRequest();

}  // namespace bootdisk
