// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the media kinds of the creation list stand for on this host, found once at start-up: the
// writers, the image recorder, the drive letters of the floppy and the removable drives (these
// followed as they come and go).
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CreateList.h"
#include "app/CreationHandlers.h"
#include "app/Startup.h"
#include "platform/Dialogs.h"
#include "platform/HostDrives.h"
#include "platform/RawDevice.h"

namespace bootdisk {

class TOpticalDevices;
class TimageRecorder;

// The media a wizard offers and makes; a test stands in for the host's.
class IWizardMedia {
public:
    virtual ~IWizardMedia() = default;
    virtual const std::vector<TMediaKind>& Kinds() const = 0;
    virtual bool HasFloppyDrive() const = 0;
    // Whether writing a drive of this kind takes administrator rights the program lacks.
    virtual bool WritesNeedAdministrator(TDriveWrite kind) const = 0;
    // With no writer offered: the notice naming the drives that were seen but could not be
    // opened; empty otherwise.
    virtual std::string UnopenedNotice(const TStringTable& texts) const = 0;
    // Under the list: why no removable drive is offered, or that writing needs rights the program
    // lacks; empty when all is well.
    virtual const std::string& DrivesNotice() const = 0;
    // Asks the system for the removable drives of now; the list's rows keep their choice. True when
    // the kinds changed.
    virtual bool FollowRemovableDrives(const TStringTable& texts, TCreationList& list) = 0;
    // One creation run over these media.
    // onMedium is told how each copy ended, for the record of media made.
    virtual TRunOutcome Run(TCreationDriver& driver, const std::vector<TCreateListRow>& rows, const TJobEnv& env,
                            const TCreationSettings& settings, std::function<void(TMediaRecord)> onMedium) = 0;
};

class TMediaSources : public IWizardMedia {
public:
    TMediaSources();
    ~TMediaSources() override;

    // The floppy, the writers, the removable drives and the image recorder, in list order. The
    // removable drives are followed from then on; drivesChanged, when given, is called from any
    // thread when they changed.
    void Build(const TStringTable& texts, IDialogs& dialogs, std::function<void()> drivesChanged = {});

    const std::vector<TMediaKind>& Kinds() const override { return kinds_; }
    bool HasFloppyDrive() const override { return floppy_.has_value(); }
    bool WritesNeedAdministrator(TDriveWrite kind) const override;
    std::string UnopenedNotice(const TStringTable& texts) const override;
    const std::string& DrivesNotice() const override { return drivesNotice_; }
    bool FollowRemovableDrives(const TStringTable& texts, TCreationList& list) override;
    TRunOutcome Run(TCreationDriver& driver, const std::vector<TCreateListRow>& rows, const TJobEnv& env,
                    const TCreationSettings& settings, std::function<void(TMediaRecord)> onMedium) override;

private:
    std::unique_ptr<TOpticalDevices> writers_;
    std::unique_ptr<TimageRecorder> imageRecorder_;
    std::unique_ptr<IHostRawDevices> drives_;
    std::unique_ptr<THostDriveWatch> watch_;
    std::optional<TFloppyDrive> floppy_;
    std::vector<TMediaKind> kinds_;
    std::vector<std::string> unopened_;
    std::string drivesNotice_;
    // Whether the floppy and the writers lack rights, asked once; the removable drives' as scanned.
    bool floppyNeedsRights_ = false, discNeedsRights_ = false, removableNeedsRights_ = false;
};

}  // namespace bootdisk
