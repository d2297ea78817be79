#pragma once
// The work behind each kind of medium, shared by the wizard and the command line: the floppy in
// drive A:, the CD/DVD writers and the image recorder, and the removable drives.
#include "app/CdDvdJob.h"
#include "app/CreationDriver.h"
#include "disk/Disk.h"
#include "disk/HostFloppy.h"

namespace bootdisk {

class TCreationHandlers : public ICreationHandlers {
public:
    // floppy is the run's floppy drive; without one a floppy copy fails with the installation error.
    TCreationHandlers(TJobEnv env, TCreationSettings settings, TDiskHost disk, THostFloppy* floppy = nullptr)
        : env_(env), settings_(std::move(settings)), disk_(disk), floppy_(floppy) {}

    bool CreateFloppy(TCreationDriver& driver) override;
    bool CreateCdDvd(TOpticalDevice& device, TCreationDriver& driver) override;
    // Throws EDiskProtectionFault, before anything is written, when the drive is not removable.
    bool CreateRemovable(const TRemovableDrive& drive, TCreationDriver& driver) override;

private:
    bool MakeFloppy(THostFloppy& floppy, TCreationDriver& driver);

    TJobEnv env_;
    TCreationSettings settings_;
    TDiskHost disk_;
    THostFloppy* floppy_;
};

}  // namespace bootdisk
