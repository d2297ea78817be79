// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files of a FAT12 floppy reached by path through our own FAT layer: the drive-files port for
// a floppy that the host cannot mount, and reading a file back.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "image/Vfloppy.h"
#include "platform/DriveFiles.h"

namespace bootdisk {

using TFloppyWork = std::function<bool(TGenericFloppy&)>;
// Runs the work on the floppy, made reachable for it alone; false when the floppy cannot be
// reached, the work fails, or its changes cannot be kept.
using TFloppyAccess = std::function<bool(const TFloppyWork&)>;

class TFloppyDriveFiles : public IDriveFiles {
public:
    explicit TFloppyDriveFiles(TFloppyAccess access) : access_(std::move(access)) {}

    bool MakeFolder(const std::string& path) override;
    // A file of the same name gives way first; a folder of that name is not replaced.
    bool CreateFile(const std::string& path, TStream& source) override;

private:
    TFloppyAccess access_;
};

// The bytes of the file at path ("\" between levels); nothing when it is missing or its chain
// is damaged.
std::optional<std::vector<std::uint8_t>> ReadFloppyFile(TGenericFloppy& floppy, std::string_view path);

}  // namespace bootdisk
