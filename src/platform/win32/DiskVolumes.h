// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Volumes taken from their file systems for raw writes. Since Vista, Windows refuses writes into
// the sectors of a mounted volume unless it is locked or dismounted; and a file system that stays
// mounted keeps its cached view of the old contents. So every volume a write reaches is locked,
// with a few seconds' patience for programs that hold it briefly (Explorer, scanners), then
// dismounted, and held so until the write and its read-back are done.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/RawDevice.h"
#include "platform/win32/Win32Calls.h"

namespace bootdisk {

// Attempts at a lock, and the pause between two: about five seconds in all.
inline constexpr int kVolumeLockAttempts = 20;
inline constexpr DWORD kVolumeLockPauseMs = 250;

class TVolumeLocks : public TVolumeHold {
public:
    explicit TVolumeLocks(IWin32Calls& calls) : calls_(calls) {}
    ~TVolumeLocks() override { Unlock(); }
    TVolumeLocks(const TVolumeLocks&) = delete;
    TVolumeLocks& operator=(const TVolumeLocks&) = delete;

    // Locks the volume behind volume, a handle its caller keeps. 0 or the system's error code.
    std::uint32_t LockVolume(HANDLE volume);
    // Opens and locks every volume with an extent on disk (the number of \\.\PhysicalDriveN).
    // 0 or the error code of the first volume that cannot be opened or locked; then none stays
    // locked.
    std::uint32_t LockDisk(std::uint32_t disk);
    bool Locked() const { return !volumes_.empty(); }
    // Dismounts every locked volume: 0 or the first error code.
    std::uint32_t Dismount();
    // Unlocks every locked volume and closes the ones it opened: 0 or the first error code.
    std::uint32_t Unlock();

private:
    std::uint32_t LockPatiently(HANDLE volume);
    std::uint32_t Control(HANDLE volume, DWORD code);

    IWin32Calls& calls_;
    std::vector<HANDLE> volumes_;      // locked
    std::vector<TOwnedHandle> owned_;  // those of them opened here
};

// The disk number of the removable disk behind drive ("\\.\E:"); nothing for a drive that is no
// disk of its own (a floppy drive, a volume spread over disks) or does not answer.
std::optional<std::uint32_t> DiskNumberOf(IWin32Calls& calls, char drive);

// What a disk tells of itself through a handle on the disk or on one of its volumes, asked without
// rights: the N of its \\.\PhysicalDriveN, its model and serial number (the device descriptor) and
// its size (the geometry). Both handles give the same answers, so a drive confirmed through its
// letter is told again by the disk opened for the write.
struct TDiskAnswers {
    std::optional<std::uint32_t> number;
    std::string model;
    std::string serial;
    std::uint64_t size = 0;  // 0 when not told

    TDiskIdentity Identity() const;
};
TDiskAnswers AskDisk(IWin32Calls& calls, HANDLE handle);

// The volumes with an extent on disk that have a drive letter, in letter order, as the user knows
// them: "E: (DATA, 28.0 GB)".
std::vector<std::string> LetteredVolumesOf(IWin32Calls& calls, std::uint32_t disk);

}  // namespace bootdisk
