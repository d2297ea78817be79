// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The floppy in drive A: for one copy: the drive mapped to its device, the files port at its root, the
// floppy installation, and a read-back of every file the installation wrote.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "disk/FloppyInstall.h"

namespace bootdisk {

struct THostFloppyPorts {
    IDialogs& dialogs;
    const TStringTable& texts;
    const IHostSystem& host;
    IHostRawDevices& devices;
    IVwin32& vwin32;
    TExeDataBase& payload;
};

// Maps drive A: of devices to device (a floppy drive's node, a removable disk or a 1.44 MB image
// file) and checks, asking the system now, that it can take the boot floppy. Throws
// std::runtime_error saying why not: it is a fixed disk, a partition or no disk at all, it is
// mounted, it does not hold 1.44 MB (most likely a disk given by mistake), or it cannot be opened,
// for writing too (write-protected, held by another program).
void AttachFloppy(IHostRawDevices& devices, const std::string& device, const TStringTable& texts);

class THostFloppy {
public:
    static constexpr char kDrive = 'A';

    // Attaches device as AttachFloppy does, and throws as it does.
    THostFloppy(const std::string& device, THostFloppyPorts ports);
    ~THostFloppy();
    THostFloppy(const THostFloppy&) = delete;
    THostFloppy& operator=(const THostFloppy&) = delete;

    TFloppyInstall& Install() { return *install_; }
    // Reads every file the installation wrote back from the floppy; empty when all match,
    // otherwise what is wrong.
    std::string VerifyWrittenFiles();

private:
    class TRecordedFiles;
    IHostRawDevices& devices_;
    std::unique_ptr<IDriveFiles> root_;
    std::unique_ptr<TRecordedFiles> recorded_;
    std::unique_ptr<TFloppyInstall> install_;
};

}  // namespace bootdisk
