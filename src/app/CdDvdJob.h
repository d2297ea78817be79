// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One CD/DVD copy: the boot floppy image is built in memory, wrapped into the boot CD image and
// handed to the writer or to the image recorder.
#include <functional>
#include <string>

#include "app/Startup.h"
#include "image/Vfloppy.h"
#include "optical/Optical_device.h"
#include "platform/Dialogs.h"
#include "platform/HostSystem.h"

namespace bootdisk {

// The user's choices for the media of one run.
struct TCreationSettings {
    TOptionStates options = kDefaultOptions;
    std::string parameters;
    bool useMsDos = false;    // floppy and removable media
    bool cdUseMsDos = false;  // CD/DVD media, where the host lets a CD choose (CdOffersOsChoice)
    bool readBack = true;     // a recorded disc is read back and compared
    bool iso9660 = false;     // the CD image carries an ISO 9660 volume listing the boot image
    std::string loaders{};    // the folder holding the network boot loaders; empty for the system's
};

// The fraction of the current copy that is done, 0 to 1.
using TCopyProgress = std::function<void(double)>;

struct TJobEnv {
    TAppContext& app;
    IDialogs& dialogs;
    const IHostSystem& host;
};

// Builds the 1.44 MB boot floppy image for a CD or a removable drive. False after showing why.
bool BuildBootFloppy(TVirtualFloppy& floppy, TExeDataBase& payload, bool useMsDos, TJobEnv& env,
                     const TCreationSettings& settings);

// True when the copy was made; false after the reason was shown (or the file choice cancelled).
// Throws ECopySkipped, after showing why, when the boot image cannot be built: no disc can help.
bool CreateCdDvd(TOpticalDevice& device, TJobEnv& env, const TCreationSettings& settings, TBurningIO* io,
                 const TCopyProgress& progress);

}  // namespace bootdisk
