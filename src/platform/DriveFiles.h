// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files at the root of a drive (the floppy in drive A:), as the floppy installation writes
// them. Paths are relative to the root with "\" between levels, as the payload names them.
#include <memory>
#include <string>
#include <string_view>

#include "base/Streams.h"

namespace bootdisk {

class IDriveFiles {
public:
    virtual ~IDriveFiles() = default;
    // Makes the folder and every missing parent; true when it exists afterwards.
    virtual bool MakeFolder(const std::string& path) = 0;
    // Creates the file anew, replacing one of the same name, with source's bytes from its position
    // to its end. The folder must exist. False when the file cannot be written whole.
    virtual bool CreateFile(const std::string& path, TStream& source) = 0;
};

// True when path names something below the root: no empty, "." or ".." level (nor one of dots
// and blanks only, which some hosts read as ".."), no leading separator, no drive prefix.
bool StaysBelowRoot(std::string_view path);

// The host's own file system at root, a folder ending in the host's separator: "A:\" on Windows,
// or the floppy's mount point.
std::unique_ptr<IDriveFiles> CreateHostDriveFiles(std::string root);

}  // namespace bootdisk
