// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MediaSources.h"

#include <algorithm>

#include "app/RemovableKinds.h"
#include "optical/ImageRecorder.h"
#include "optical/Optical_devices.h"
#include "platform/HostDrives.h"

namespace bootdisk {

TMediaSources::TMediaSources() = default;
TMediaSources::~TMediaSources() = default;

namespace {

// The disk service answers in milliseconds unless it is busy; then the drives come when it answers.
constexpr auto kFirstScanWait = std::chrono::seconds(1);

}  // namespace

void TMediaSources::Build(const TStringTable& texts, IDialogs& dialogs, std::function<void()> drivesChanged) {
    writers_ = std::make_unique<TOpticalDevices>();
    imageRecorder_ = std::make_unique<TimageRecorder>(dialogs, texts);
    std::vector<TOpticalDevice*> writers;
    for (std::size_t i = 0; i < writers_->Count(); ++i) writers.push_back(&writers_->Item(i));
    drives_ = CreateHostRawDevices();
    floppy_ = HostFloppyDrive(*drives_);
    watch_ = THostDriveWatch::Start(std::move(drivesChanged));
    const auto scan = watch_->Latest(kFirstScanWait).value_or(TDriveScan{});
    const auto removables = RemovableMediaKinds(texts, scan.drives, *drives_);
    drivesNotice_ = RemovableNotice(texts, scan.drives, scan.writesNeedAdministrator);
    removableNeedsRights_ = scan.writesNeedAdministrator;
    floppyNeedsRights_ = DriveWritesNeedAdministrator(TDriveWrite::Floppy);
    discNeedsRights_ = DriveWritesNeedAdministrator(TDriveWrite::Disc);
    kinds_ = BuildMediaKinds(FloppyKindLabel(texts, floppy_.has_value()), writers, removables, *imageRecorder_,
                             texts[StrId::GUI_TEXTFLOPPYIMAGE], texts[StrId::GUI_TEXTNETBOOTFOLDER]);
    unopened_.clear();
    // Writers that were seen but could not be opened explain a list without any.
    const bool anyWriter = std::any_of(kinds_.begin(), kinds_.end(), [this](const TMediaKind& kind) {
        return kind.device != nullptr && kind.device != imageRecorder_.get();
    });
    if (!anyWriter) unopened_ = writers_->Unopened;
}

bool TMediaSources::FollowRemovableDrives(const TStringTable& texts, TCreationList& list) {
    const auto scan = watch_->Latest(std::chrono::milliseconds(0));
    if (!scan) return false;
    const auto removables = RemovableMediaKinds(texts, scan->drives, *drives_);
    drivesNotice_ = RemovableNotice(texts, scan->drives, scan->writesNeedAdministrator);
    removableNeedsRights_ = scan->writesNeedAdministrator;
    return FollowRemovableKinds(texts, kinds_, list, removables);
}

bool TMediaSources::WritesNeedAdministrator(TDriveWrite kind) const {
    switch (kind) {
        case TDriveWrite::Removable: return removableNeedsRights_;
        case TDriveWrite::Floppy: return floppyNeedsRights_;
        case TDriveWrite::Disc: return discNeedsRights_;
    }
    return false;
}

std::string TMediaSources::UnopenedNotice(const TStringTable& texts) const {
    if (unopened_.empty()) return {};
    auto notice = texts[StrId::GUI_TEXTWRITERSNOTOPENED];
    for (const auto& reason : unopened_) notice += "\r" + reason;
    return notice;
}

TRunOutcome TMediaSources::Run(TCreationDriver& driver, const std::vector<TCreateListRow>& rows, const TJobEnv& env,
                               const TCreationSettings& settings, std::function<void(TMediaRecord)> onMedium) {
    TCreationHandlers handlers(env, settings, HostDiskAccess(*drives_), floppy_);
    handlers.onMedium = std::move(onMedium);
    return driver.RunCreation(rows, kinds_, handlers);
}

}  // namespace bootdisk
