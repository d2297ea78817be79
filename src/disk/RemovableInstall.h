// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Makes a removable drive bootable: the 1.44 MB boot floppy image, held in memory, written raw
// from sector 0 and read back.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/StrConst.h"
#include "disk/Disk.h"
#include "disk/DiskCheck.h"
#include "image/Vfloppy.h"
#include "platform/Dialogs.h"

namespace bootdisk {

struct TRemovableHost {
    TDiskHost disk;
    IDialogs& dialogs;
    const TStringTable& texts;
    // The disk the user confirmed: the one opened for the write and for the read-back must be it.
    // Nothing for a drive that cannot be told from another (a simulated one).
    std::optional<TConfirmedDisk> confirmed = std::nullopt;
    // Whether the drive was taken away: a failure then throws ECopySkipped instead of showing the
    // system's error for a device that is not there.
    std::function<bool()> driveGone = {};
};

class TRemovableInstall {
public:
    explicit TRemovableInstall(TRemovableHost host) : host_(host) {}

    // Throws EDiskProtectionFault when the drive is not removable.
    void CheckRemovable(char drive) const;

    void CreateImage() { image_ = std::make_unique<TVirtualFloppy>(); }
    void FreeImage() { image_.reset(); }
    // Between CreateImage and FreeImage: the image the boot content is built into.
    TVirtualFloppy& Image() { return *image_; }

    // Writes the image, marked to boot as the first hard disk, to the drive. Every volume of the
    // drive's disk is taken from its file system first (a volume that stays in use stops the copy)
    // and kept so for the read-back, until VerifyImageOnDrive or the end of the install. A disk
    // opened that is not the one confirmed is left alone. False after showing why; throws
    // EDiskProtectionFault, before opening anything, when the drive is not removable.
    bool WriteImageToDrive(char drive);
    // Reads the drive back and compares it with what WriteImageToDrive wrote, then gives its
    // volumes back. False after showing where they differ or why the drive could not be read.
    // Both throw ECopySkipped when the drive was taken away.
    bool VerifyImageOnDrive(char drive);

    // The fraction of the write done, 0 to 1; 0 once the drive is taken and its first sector goes.
    std::function<void(double)> OnImageProgress;

    static constexpr std::uint64_t kChunkSectors = 18;  // one 1.44 MB floppy track

private:
    // The image goes to the drive as it is but for one byte of its first chunk (the boot drive
    // number): that chunk is a marked copy, the rest comes straight from the image.
    std::vector<std::uint8_t> FirstChunkForDrive(std::size_t chunkBytes) const;
    const std::uint8_t* ChunkForDrive(const std::vector<std::uint8_t>& first, std::size_t offset) const;
    std::unique_ptr<TVirtualDisk> OpenDisk(char drive, bool readOnly);
    void ShowWriteFailed(std::uint32_t error) const;
    void ShowVolumeInUse(char drive) const;

    TRemovableHost host_;
    std::unique_ptr<TVirtualFloppy> image_;
    std::unique_ptr<TVolumeHold> written_;  // the volumes of the drive just written, for its read-back
};

}  // namespace bootdisk
