#pragma once
// The work behind each kind of medium, shared by the wizard and the command line: the floppy in
// drive A:, the CD/DVD writers and the image recorder, and the removable drives.
#include "app/CdDvdJob.h"
#include "app/CreationDriver.h"

namespace bootdisk {

class TCreationHandlers : public ICreationHandlers {
public:
    TCreationHandlers(TJobEnv env, TCreationSettings settings) : env_(env), settings_(std::move(settings)) {}

    bool CreateFloppy(TCreationDriver& driver) override;
    bool CreateCdDvd(TOpticalDevice& device, TCreationDriver& driver) override;
    bool CreateRemovable(const TRemovableDrive& drive, TCreationDriver& driver) override;

private:
    TJobEnv env_;
    TCreationSettings settings_;
};

}  // namespace bootdisk
