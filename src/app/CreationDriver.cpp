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
    for (const auto& row : rows) {
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

std::string TCreationDriver::PromptFor(const TMediaKind& kind) const {
    switch (kind.type) {
        case TMediaType::Floppy:
            return texts_[StrId::GUI_TEXTINSERTFLOPPY] + "\r" + texts_[StrId::GUI_FLOPPYWILLERASE];
        case TMediaType::Removable:
            return texts_[StrId::GUI_TEXTINSERTUSB] + "\r(" + kind.label + ")\r" +
                   WithValues(texts_[StrId::DRIVE_WILLERASE],
                              {WholeDiskName(texts_, kind.removable.device, kind.removable.volumes)}) +
                   (kind.removable.mountPoints.empty()
                        ? ""
                        : "\r" + texts_[StrId::DRIVE_WILLUNMOUNT] + MountPointList(kind.removable.mountPoints));
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
    // Only OK on the prompt itself may lead to a write: Cancel, then No, asks for the medium again.
    // A prompt that erases the medium answers Return with Cancel, so that a habit of pressing
    // Return through the earlier prompts does not erase it.
    const auto prompt = PromptFor(kind);
    const bool erases = kind.type == TMediaType::Floppy || kind.type == TMediaType::Removable;
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
