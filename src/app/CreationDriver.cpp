// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CreationDriver.h"

#include <cmath>

#include "app/Interruption.h"
#include "app/RemovableKinds.h"
#include "base/Errors.h"
#include "optical/ImageRecorder.h"

namespace bootdisk {

TRunOutcome TCreationDriver::RunCreation(const std::vector<TCreateListRow>& rows,
                                         const std::vector<TMediaKind>& kinds, ICreationHandlers& handlers) {
    SetGauge(0);
    totalCopies_ = 0;
    for (const auto& row : rows) totalCopies_ += std::max(0, QuantityOf(row.quantity));
    doneCopies_ = 0;
    made_.clear();
    inHand_.reset();
    halfWritten_ = false;
    RunTally().done = 0;
    RunTally().total = totalCopies_;
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const auto& row = rows[index];
        if (const auto end = StickGroupEnd(rows, kinds, index); end - index > 1) {
            std::vector<TMediaKind> sticks;
            for (auto stick = index; stick < end; ++stick) sticks.push_back(kinds.at(rows[stick].kind));
            index = end - 1;
            const int before = doneCopies_;
            if (!MakeStickGroup(sticks, handlers)) return TRunOutcome::Stopped;
            if (stopOnFailure && doneCopies_ - before < int(sticks.size())) return TRunOutcome::Failed;
            continue;
        }
        // Prompting for a medium no drive can take would go on for ever: the row is skipped.
        if (const auto missing = handlers.MissingDrive(kinds.at(row.kind));
            QuantityOf(row.quantity) > 0 && !missing.empty()) {
            dialogs_.ShowCoolMessage(missing);
            continue;
        }
        for (int copy = 0; copy < QuantityOf(row.quantity); ++copy) {
            const auto copyNumber = std::to_string(doneCopies_ + 1), total = std::to_string(totalCopies_);
            copyText_ = WithValues(texts_[StrId::GUI_TEXTCOPYOF], {copyNumber, total, kinds.at(row.kind).label});
            if (onCopy) onCopy(copyText_);
            // A failed attempt may have written part of the medium; a new copy starts on a new one.
            inHand_.reset();
            halfWritten_ = false;
            std::optional<TMediaKind> kind;
            for (;;) {
                // A row whose drive went away is skipped, never turned to another drive.
                if (!(kind = KindNow(kinds.at(row.kind), handlers))) break;
                inHand_ = kind;
                if (!Prompt(*kind)) return TRunOutcome::Stopped;
                // The drive may have gone while its prompt was shown: skipped as above, not a stop.
                if (kind->type == TMediaType::Removable && !(kind = KindNow(*kind, handlers))) break;
                try {
                    if (MakeCopy(*kind, handlers)) {
                        made_.push_back({kind->label, handlers.OutputFile(*kind), kind->type});
                        inHand_.reset();
                        halfWritten_ = false;
                        break;
                    }
                } catch (const EDiskProtectionFault& fault) {
                    // Nothing was written: the run ends as after a stop.
                    dialogs_.ShowCoolMessage(fault.what());
                    return TRunOutcome::Stopped;
                } catch (const ECopySkipped& skipped) {
                    // One message says why, and what the medium is left as; the next row follows.
                    const std::string why = skipped.what();
                    const auto left = halfWritten_ ? MediumLeft() : std::string();
                    if (!why.empty() || !left.empty())
                        dialogs_.ShowCoolMessage(why.empty() ? left : left.empty() ? why : why + "\r" + left);
                    inHand_.reset();
                    kind.reset();
                    break;
                }
                if (stopOnFailure) return TRunOutcome::Failed;
            }
            if (!kind) break;
            RunTally().done = ++doneCopies_;
        }
    }
    return doneCopies_ < totalCopies_ ? TRunOutcome::Failed : TRunOutcome::Completed;
}

std::vector<TStickResult> ICreationHandlers::CreateRemovables(const std::vector<TRemovableDrive>& drives,
                                                              TCreationDriver& driver) {
    std::vector<TStickResult> results;
    for (const auto& drive : drives) {
        try {
            results.push_back({CreateRemovable(drive, driver), {}});
        } catch (const ECopySkipped& skipped) {
            results.push_back({false, skipped.what()});
        }
    }
    return results;
}

std::size_t TCreationDriver::StickGroupEnd(const std::vector<TCreateListRow>& rows,
                                           const std::vector<TMediaKind>& kinds, std::size_t first) const {
    std::vector<std::string> devices;
    std::size_t end = first;
    for (; end < rows.size(); ++end) {
        const auto& kind = kinds.at(rows[end].kind);
        if (kind.type != TMediaType::Removable || QuantityOf(rows[end].quantity) != 1 ||
            std::find(devices.begin(), devices.end(), kind.removable.device) != devices.end())
            break;
        devices.push_back(kind.removable.device);
    }
    return end;
}

bool TCreationDriver::MakeStickGroup(std::vector<TMediaKind> sticks, ICreationHandlers& handlers) {
    copyText_ = WithValues(texts_[StrId::GUI_TEXTSTICKS], {std::to_string(sticks.size())});
    if (onCopy) onCopy(copyText_);
    inHand_.reset();
    halfWritten_ = false;
    const auto present = [&] {
        std::erase_if(sticks, [&](TMediaKind& stick) {
            auto now = KindNow(stick, handlers);
            if (now) stick = std::move(*now);
            return !now;
        });
    };
    present();
    if (sticks.empty()) return true;
    std::string prompt = WithValues(texts_[StrId::GUI_TEXTSTICKSPROMPT], {std::to_string(sticks.size())});
    for (const auto& stick : sticks) prompt.append("\r").append(StickLines(stick));
    if (!Prompt(prompt, true)) return false;
    // A drive may have gone while the prompt was shown: it is skipped, the others are written.
    present();
    if (sticks.empty()) return true;
    std::vector<TRemovableDrive> drives;
    for (const auto& stick : sticks) drives.push_back(stick.removable);
    const auto results = handlers.CreateRemovables(drives, *this);
    std::string failed;
    for (std::size_t i = 0; i < sticks.size() && i < results.size(); ++i) {
        if (!results[i].made) {
            failed.append("\r").append(sticks[i].label);
            if (!results[i].why.empty()) failed.append(": ").append(results[i].why);
            continue;
        }
        made_.push_back({sticks[i].label, {}, TMediaType::Removable});
        RunTally().done = ++doneCopies_;
    }
    if (!failed.empty()) dialogs_.ShowCoolMessage(texts_[StrId::GUI_STICKSFAILED] + failed);
    return true;
}

std::optional<TMediaKind> TCreationDriver::KindNow(const TMediaKind& kind, const ICreationHandlers& handlers) {
    if (kind.type != TMediaType::Removable) return kind;
    if (kind.gone || handlers.DriveGone(kind.removable)) {
        dialogs_.ShowCoolMessage(texts_[StrId::DRIVE_GONE] + kind.label);
        return std::nullopt;
    }
    // An earlier attempt may have unmounted it: the prompt tells what is true now.
    auto now = kind;
    now.removable.mountPoints = handlers.MountPoints(kind.removable);
    if (auto label = handlers.LabelNow(kind.removable)) now.label = std::move(*label);
    return now;
}

std::string TCreationDriver::StickLines(const TMediaKind& kind) const {
    return "(" + kind.label + ")\r" +
           WithValues(texts_[StrId::DRIVE_WILLERASE], {WholeDiskName(texts_, kind.removable.device, kind.removable.volumes)}) +
           (kind.removable.mountPoints.empty()
                ? ""
                : "\r" + texts_[StrId::DRIVE_WILLUNMOUNT] + MountPointList(kind.removable.mountPoints));
}

std::string TCreationDriver::PromptFor(const TMediaKind& kind) const {
    switch (kind.type) {
        case TMediaType::Floppy:
            return texts_[StrId::GUI_TEXTINSERTFLOPPY] + "\r" + texts_[StrId::GUI_FLOPPYWILLERASE];
        case TMediaType::Removable:
            return texts_[StrId::GUI_TEXTINSERTUSB] + "\r" + StickLines(kind);
        case TMediaType::FloppyImage:
            return texts_[StrId::GUI_TEXTFILELOCATION];
        case TMediaType::NetbootFolder:
            return texts_[StrId::GUI_TEXTNETBOOTLOCATION];
        case TMediaType::Optical:
            break;
    }
    if (dynamic_cast<TimageRecorder*>(kind.device)) return texts_[StrId::GUI_TEXTFILELOCATION];
    return texts_[StrId::GUI_TEXTINSERTCD] + "\r(" + kind.device->DisplayName + ")";
}

bool TCreationDriver::Prompt(const TMediaKind& kind) {
    return Prompt(PromptFor(kind), kind.type == TMediaType::Floppy || kind.type == TMediaType::Removable);
}

// Only OK on the prompt itself may lead to a write: Cancel, then No, asks for the medium again.
// A prompt that erases the medium answers Return with Cancel, so that a habit of pressing Return
// through the earlier prompts does not erase it.
bool TCreationDriver::Prompt(const std::string& prompt, bool erases) {
    for (;;) {
        if (onPrompt) onPrompt(prompt);
        if (dialogs_.AskTwoChoices(prompt, texts_[StrId::GENERIC_OK], texts_[StrId::GENERIC_CANCEL],
                                   erases ? TDefaultChoice::Right : TDefaultChoice::Left) == kAnswerLeft)
            return true;
        // Nobody is left to say OK: asking on would go on for ever.
        if (dialogs_.AnswersEnded()) return false;
        if (dialogs_.AskTwoChoices(texts_[StrId::GUI_TEXTSTOPCONFIRMATION], texts_[StrId::GENERIC_YES],
                                   texts_[StrId::GENERIC_NO], TDefaultChoice::Left) == kAnswerLeft)
            return false;
    }
}

std::string TCreationDriver::MediumLeft() const {
    // An image file and a network boot folder are written whole or not at all.
    if (!inHand_ || inHand_->type == TMediaType::FloppyImage || inHand_->type == TMediaType::NetbootFolder ||
        dynamic_cast<TimageRecorder*>(inHand_->device))
        return {};
    if (!halfWritten_) return WithValues(texts_[StrId::GUI_NOTHINGWRITTEN], {inHand_->label});
    return WithValues(texts_[inHand_->type == TMediaType::Optical ? StrId::GUI_DISCHALFWRITTEN : StrId::GUI_HALFWRITTEN],
                      {inHand_->label});
}

bool TCreationDriver::MakeCopy(const TMediaKind& kind, ICreationHandlers& handlers) {
    switch (kind.type) {
        case TMediaType::Floppy:
            return handlers.CreateFloppy(*this);
        case TMediaType::Removable:
            return handlers.CreateRemovable(kind.removable, *this);
        case TMediaType::FloppyImage:
            return handlers.CreateFloppyImage(*this);
        case TMediaType::NetbootFolder:
            return handlers.CreateNetbootFolder(*this);
        case TMediaType::Optical:
            break;
    }
    return handlers.CreateCdDvd(*kind.device, *this);
}

void TCreationDriver::SetCopyProgress(double fraction) {
    if (totalCopies_ <= 0) return;
    const long double percent = 100.0L * fraction / totalCopies_ + (long double)(doneCopies_ * 100) / totalCopies_;
    SetGauge(int(std::nearbyint(percent)));  // the default rounding mode: nearest, ties to even
    dialogs_.ProcessMessages();
}

void TCreationDriver::SetCopyPhase(const std::string& phase) {
    if (onCopy) onCopy(WithValues(texts_[StrId::GUI_TEXTCOPYPHASE], {copyText_, phase}));
}

void TCreationDriver::SetGauge(int value) {
    gauge_ = value;
    if (onGauge) onGauge(value);
}

}  // namespace bootdisk
