// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Walks the creation list copy by copy: prompts for each medium, calls the handler of its kind,
// repeats a failed copy, and keeps the one gauge of the whole run.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/CdDvdJob.h"
#include "app/CreateList.h"
#include "base/StrConst.h"
#include "platform/Dialogs.h"

namespace bootdisk {

class TCreationDriver;

// The work behind each kind of medium. True when the copy is complete; false after the handler
// has shown why.
class ICreationHandlers {
public:
    virtual ~ICreationHandlers() = default;
    virtual bool CreateFloppy(TCreationDriver& driver) = 0;
    virtual bool CreateCdDvd(TOpticalDevice& device, TCreationDriver& driver) = 0;
    virtual bool CreateRemovable(const TRemovableDrive& drive, TCreationDriver& driver) = 0;
    virtual bool CreateFloppyImage(TCreationDriver& driver) = 0;
    virtual bool CreateNetbootFolder(TCreationDriver& driver) = 0;
    // Why the drive behind kind is absent from this computer; empty when it is there.
    virtual std::string MissingDrive(const TMediaKind& kind) const = 0;
    // Whether the removable drive was taken away, or another one now sits at its device.
    virtual bool DriveGone(const TRemovableDrive&) const { return false; }
    // Where file systems of the removable drive are mounted now.
    virtual std::vector<std::string> MountPoints(const TRemovableDrive&) const { return {}; }
    // The removable drive's label as the drive is now; nothing when it cannot be described.
    virtual std::optional<std::string> LabelNow(const TRemovableDrive&) const { return std::nullopt; }
    // The file (or folder) the last copy of an image kind went to; empty for a medium.
    virtual std::string OutputFile(const TMediaKind&) const { return {}; }
};

// A copy made: its medium, and for an image the file (or folder) it went to.
struct TMadeCopy {
    std::string medium;
    std::string file;
    TMediaType type = TMediaType::Floppy;
};

enum class TRunOutcome { Completed, Stopped, Failed };

class TCreationDriver {
public:
    TCreationDriver(IDialogs& dialogs, const TStringTable& texts) : dialogs_(dialogs), texts_(texts) {}

    // Unattended runs stop at a failed copy instead of prompting for it again.
    bool stopOnFailure = false;
    // Told every new gauge value, for the front end to draw.
    std::function<void(int)> onGauge;
    // Told before each copy's prompt which copy comes: "copy 2 of 3: <medium>".
    std::function<void(const std::string&)> onCopy;
    // Told each prompt as it is asked: the user is wanted.
    std::function<void(const std::string&)> onPrompt;

    TRunOutcome RunCreation(const std::vector<TCreateListRow>& rows, const std::vector<TMediaKind>& kinds,
                            ICreationHandlers& handlers);

    // Places the fraction done of the copy in hand inside the whole run's gauge.
    void SetCopyProgress(double fraction);
    // Tells onCopy what the copy in hand is doing now: "copy 2 of 3: <medium> - reading back".
    void SetCopyPhase(const std::string& phase);
    // A handler is about to write the medium of the copy in hand: until the copy is made, the
    // medium counts as half-written.
    void WritingMedium() { halfWritten_ = true; }
    // What a run that ends now leaves of the medium of the copy in hand, in the user's words
    // ("... is half-written: write it again before use", or that nothing was written to it); empty
    // when no copy is in hand or it was made.
    std::string MediumLeft() const;
    // The mappings handed to the installations' progress callbacks.
    TCopyProgress FirstHalf() { return [this](double f) { SetCopyProgress(0.5 * f); }; }
    TCopyProgress SecondHalf() { return [this](double f) { SetCopyProgress(0.5 + 0.5 * f); }; }
    TCopyProgress Whole() { return [this](double f) { SetCopyProgress(f); }; }

    int Gauge() const { return gauge_; }
    int TotalCopies() const { return totalCopies_; }
    int DoneCopies() const { return doneCopies_; }
    const std::vector<TMadeCopy>& Made() const { return made_; }

private:
    std::string PromptFor(const TMediaKind& kind) const;
    // True on OK; false when the user confirms stopping.
    bool Prompt(const TMediaKind& kind);
    bool MakeCopy(const TMediaKind& kind, ICreationHandlers& handlers);
    // The copy's kind as the prompt names it: a removable drive described as it is now, with its
    // mount points of now.
    // Nothing, after saying so, when its drive is gone.
    std::optional<TMediaKind> KindNow(const TMediaKind& kind, const ICreationHandlers& handlers);
    void SetGauge(int value);

    IDialogs& dialogs_;
    const TStringTable& texts_;
    int gauge_ = 0;
    int totalCopies_ = 0;
    int doneCopies_ = 0;
    std::vector<TMadeCopy> made_;
    std::string copyText_;  // what onCopy was last told before the copy's prompt
    std::optional<TMediaKind> inHand_;  // the copy's medium, from its prompt until it is made
    bool halfWritten_ = false;
};

}  // namespace bootdisk
