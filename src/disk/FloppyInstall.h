// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Makes the floppy in a drive bootable and puts the payload's files on it: the ready-made boot
// image written raw, or an MS-DOS system disk by the host's own means, then every payload file.
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "base/StrConst.h"
#include "disk/DirectDisk.h"
#include "disk/WinFormat.h"
#include "image/userData.h"
#include "platform/Dialogs.h"
#include "platform/DriveFiles.h"
#include "platform/HostSystem.h"
#include "platform/RawDevice.h"
#include "platform/Vwin32.h"

namespace bootdisk {

// The fraction done, 0 to 1.
using TFloppyProgress = std::function<void(double)>;

struct TFloppyInstallPorts {
    IDialogs& dialogs;
    const TStringTable& texts;
    const IHostSystem& host;
    IRawDevices& devices;
    IVwin32& vwin32;
    TExeDataBase& payload;  // the floppy payload
    IDriveFiles& files;     // the files at the floppy's root
    TFormatHost formatHost = DefaultFormatHost();
};

// The installation's module state: one per program, made by the application with its ports.
class TFloppyInstall {
public:
    explicit TFloppyInstall(TFloppyInstallPorts ports);

    // Set by the caller before each step; called only when assigned.
    TFloppyProgress OnFloppyProgress;

    // True when the floppy is bootable; false after showing why (nothing shown when the payload
    // has no boot image or something unforeseen failed).
    bool InstallBoot(char Drive, bool UseMsDos);
    // Copies every payload file onto the floppy through the files port. A name that would leave
    // the root is refused, with a message, before anything is written.
    bool CopyPayloadFiles();

    // The host's startup-disk image written raw onto drive A: or B:.
    // 0 = written, 1 = image not available, 2 = writing failed.
    std::uint8_t WriteSystemImage(char Drive, const TFloppyProgress& Progress);

    const TFloppyInstallPorts& Ports() const { return ports_; }
    // Whether the last step failed in a way another try cannot mend: the user aborted a failed
    // write, or this host cannot make the MS-DOS floppy (no system files, not supported).
    bool GaveUp() const { return gaveUp_; }
    const std::string& WindowsFolder() const { return windowsFolder_; }

private:
    void Progress(double fraction) const {
        if (OnFloppyProgress) OnFloppyProgress(fraction);
    }
    bool WriteBootImage(char Drive);
    bool WriteChunk(char Drive, std::span<const std::uint8_t> chunk, std::uint64_t position);

    TFloppyInstallPorts ports_;
    TDirDisk dirDisk_;
    std::string windowsFolder_;
    bool gaveUp_ = false;
};

// Results of Run: 0 made, 1 making it failed, 2 system files or image not found, 3 host not supported.
class TMsDosBootFloppyCreator {
public:
    explicit TMsDosBootFloppyCreator(TFloppyInstall& install) : install_(install) {}
    std::uint8_t Run(char Drive, const TFloppyProgress& Progress);

private:
    std::uint8_t RunFormatWithSystem(char Drive);
    std::uint8_t RunMe(char Drive);
    void Report(double fraction) const {
        if (Progress_) Progress_(fraction);
    }

    TFloppyInstall& install_;
    TFloppyProgress Progress_;
};

}  // namespace bootdisk
