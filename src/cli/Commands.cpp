// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include "app/Options.h"
#include "platform/HostDrives.h"
#include "platform/HostSystem.h"

namespace bootdisk::cli {

const std::vector<TCommand>& Commands() {
    // Where a CD may boot another system than MS-DOS, the CD commands take --os too.
    const unsigned cdOs = CdOffersOsChoice(RealHost().Version()) ? unsigned(kFlagOs) : 0u;
    static const std::vector<TCommand> commands = {
        {"payload", "[--payload FILE] [--language CODE]", "list the boot payload's items and load the language file",
         kFlagPayload, RunPayload},
        {"iso", "OUT.iso [OPTIONS]", "save the boot CD image (El Torito floppy emulation) as a file",
         kFlagPayload | kFlagMsDosFolder | kFlagSanitizer | kFlagQuiet | kFlagIso9660 | cdOs, RunIso},
        {"image", "OUT.img [OPTIONS]", "write the 1.44 MB boot floppy image to a file",
         kFlagPayload | kFlagMsDosFolder | kFlagSanitizer | kFlagOs | kFlagUsb | kFlagQuiet, RunImage},
        {"devices", "[DEVICE...]", "list the CD/DVD writers and the removable drives (or only the named devices)",
         kFlagJson, RunDevices},
        {"burn", "DEVICE [OPTIONS]", "record the boot CD on a writer: " + WriterDeviceExample() + " or sim:",
         kFlagPayload | kFlagMsDosFolder | kFlagSanitizer | kFlagBurn | kFlagQuiet | kFlagIso9660 | kFlagReadBack |
             cdOs,
         RunBurn},
        {"floppy", "[DEVICE] [OPTIONS]", "make the boot floppy on a floppy drive or image file (default " + DefaultFloppyDevice() + ")",
         kFlagPayload | kFlagMsDosFolder | kFlagSanitizer | kFlagOs | kFlagYes | kFlagQuiet, RunFloppy},
        {"create", "[OPTIONS] ROW...",
         "make a whole creation list, rows in order; ROW is [N:]KIND[=TARGET] with KIND floppy, usb, cd, iso, img "
         "or net",
         kFlagPayload | kFlagMsDosFolder | kFlagSanitizer | kFlagOs | kFlagYes | kFlagQuiet | kFlagIso9660 |
             kFlagReadBack | kFlagLoaders,
         RunCreate},
        {"usb", "DEVICE [OPTIONS]", "write the boot disk onto a removable drive and read it back",
         kFlagPayload | kFlagMsDosFolder | kFlagSanitizer | kFlagOs | kFlagYes | kFlagQuiet, RunUsb},
        {"netboot", "DIR [OPTIONS]",
         "write a network boot (PXE) folder: the boot floppy image, the PXELINUX and iPXE loaders, README.TXT",
         kFlagPayload | kFlagMsDosFolder | kFlagSanitizer | kFlagQuiet | kFlagLoaders | cdOs, RunNetboot},
        {"serve", "DIR --interface IF [--json]",
         "serve a network boot folder with dnsmasq as proxy DHCP and TFTP server, as root, until Ctrl+C",
         kFlagInterface | kFlagJson, RunServe},
    };
    return commands;
}

}  // namespace bootdisk::cli
