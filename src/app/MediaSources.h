// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the media kinds of the creation list stand for on this host, found once at start-up: the
// writers, the image recorder, the drive letters of the floppy and the removable drives (these
// followed as they come and go).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CreateList.h"
#include "app/CreationHandlers.h"
#include "app/Startup.h"
#include "platform/Dialogs.h"
#include "platform/RawDevice.h"

namespace bootdisk {

class TOpticalDevices;
class TimageRecorder;

class TMediaSources {
public:
    TMediaSources();
    ~TMediaSources();

    // The floppy, the writers, the removable drives and the image recorder, in list order.
    void Build(const TStringTable& texts, IDialogs& dialogs);

    const std::vector<TMediaKind>& Kinds() const { return kinds_; }
    // With no writer offered: the notice naming the drives that were seen but could not be
    // opened; empty otherwise.
    std::string UnopenedNotice(const TStringTable& texts) const;
    // Under the list: why no removable drive is offered, or that writing needs rights the program
    // lacks; empty when all is well.
    const std::string& DrivesNotice() const { return drivesNotice_; }
    // Asks the system for the removable drives of now; the list's rows keep their choice. True when
    // the kinds changed.
    bool FollowRemovableDrives(const TStringTable& texts, TCreationList& list);
    // The handlers of one run over these drives.
    TCreationHandlers Handlers(const TJobEnv& env, const TCreationSettings& settings);

private:
    std::unique_ptr<TOpticalDevices> writers_;
    std::unique_ptr<TimageRecorder> imageRecorder_;
    std::unique_ptr<IHostRawDevices> drives_;
    std::optional<TFloppyDrive> floppy_;
    std::vector<TMediaKind> kinds_;
    std::vector<std::string> unopened_;
    std::string drivesNotice_;
};

}  // namespace bootdisk
