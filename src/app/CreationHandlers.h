#pragma once
// The work behind each kind of medium, shared by the wizard and the command line: the floppy in
// drive A:, the CD/DVD writers and the image recorder, and the removable drives.
#include "app/CdDvdJob.h"
#include "app/CreationDriver.h"
#include "disk/Disk.h"

namespace bootdisk {

class TCreationHandlers : public ICreationHandlers {
public:
    TCreationHandlers(TJobEnv env, TCreationSettings settings, TDiskHost disk)
        : env_(env), settings_(std::move(settings)), disk_(disk) {}

    bool CreateFloppy(TCreationDriver& driver) override;
    bool CreateCdDvd(TOpticalDevice& device, TCreationDriver& driver) override;
    // Throws EDiskProtectionFault, before anything is written, when the drive is not removable.
    bool CreateRemovable(const TRemovableDrive& drive, TCreationDriver& driver) override;

private:
    TJobEnv env_;
    TCreationSettings settings_;
    TDiskHost disk_;
};

}  // namespace bootdisk
