// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns a virtual floppy into a bootable DOS disk that starts the sanitizer: first the boot system
// (the payload's ready-made image, or MS-DOS from the host's files), then the sanitizer's files.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "image/BootConfig.h"
#include "image/Vfloppy.h"
#include "image/userData.h"
#include "platform/Dialogs.h"
#include "platform/HostSystem.h"

namespace bootdisk {

class TFloppyDirectory;

struct TBootEnv {
    const IHostSystem& host;
    IDialogs& dialogs;
};

// A boot image that is not the 1.44 MB FAT12 floppy the disk is built on: what names the image and
// the field at fault.
class EBootImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The ready-made image (".Boot") or, with useMsDos, an MS-DOS system disk. Throws EBootImageError
// when the image taken is not a 1.44 MB FAT12 floppy of the standard layout.
bool PrepareBootImage(TVirtualFloppy& floppy, TExeDataBase& payload, bool useMsDos, TBootEnv& env);
bool MakeSystemDisk(TVirtualFloppy& floppy, TExeDataBase& payload, TBootEnv& env);

// Where the host keeps its MS-DOS system files; empty when it has none.
std::string LocateIoSys(const IHostSystem& host);
std::string LocateCommandCom(const IHostSystem& host);

struct TSanitizerFiles {
    const TAutoexecTemplate& autoexec;
    bool loadMouse = true;
    std::string parameters;
    std::string options;  // one "0"/"1" per option
};

// Why the sanitizer files could not all be written.
struct TWriteFailure {
    enum class Reason { BadName, SameEntry, NotFloppyImage, RootFull, DiskFull, BadParameters } reason;
    std::string item;  // the payload item concerned
};

class TStringTable;
// The message that tells the user what went wrong.
std::string DescribeWriteFailure(const TStringTable& texts, const TWriteFailure& failure);

// Copies every kind-1 payload file that is not reserved onto the disk, in payload order, with
// AUTOEXEC.BAT and KORVANE.INI generated. The names are checked before anything is written.
std::optional<TWriteFailure> WriteSanitizerFiles(TGenericFloppy& floppy, const TExeDataBase& payload,
                                                 const TSanitizerFiles& files);

// Opens the directory at path ("\"-separated levels below the root; empty is the root), making
// the levels that are missing. Nothing when a level cannot be made.
std::optional<TFloppyDirectory> EnsureDirectory(TGenericFloppy& floppy, std::string_view path);
// The same from the root directory dir is on; false leaves dir where a level could not be made.
bool EnterDirectory(TFloppyDirectory& dir, std::string_view path);

}  // namespace bootdisk
