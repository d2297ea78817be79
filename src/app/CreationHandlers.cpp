// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CreationHandlers.h"

#include <algorithm>
#include <filesystem>

#include "app/NetbootJob.h"
#include "app/RemovableKinds.h"
#include "base/Errors.h"
#include "disk/RemovableInstall.h"
#include "image/DirectWriters.h"
#include "base/PendingFile.h"
#include "base/Sha256.h"
#include "image/Fat12Format.h"
#include "image/NetbootFolder.h"
#include "optical/DSKburningIO.h"
#include "optical/ImageRecorder.h"
#include "platform/HostDrives.h"

namespace bootdisk {

std::optional<TFloppyDrive> HostFloppyDrive(IHostRawDevices& table) {
    const auto device = DefaultFloppyDevice();
    if (!DescribeHostDrive(device)) return std::nullopt;
    return TFloppyDrive{device, &table};
}

std::string FloppyKindLabel(const TStringTable& texts, bool driveFound) {
    return texts[driveFound ? StrId::GUI_TEXTFLOPPYDISKNAME : StrId::GUI_TEXTNOFLOPPYDRIVE];
}

namespace {

const char* OutcomeWord(TCopyFailure failure) {
    switch (failure) {
        case TCopyFailure::None: return "made";
        case TCopyFailure::ReadBack: return "read-back-mismatch";
        case TCopyFailure::Refused: return "refused";
        case TCopyFailure::Failed: break;
    }
    return "failed";
}

TMediaRecord MediumOf(std::string kind, TRecordTarget target) {
    TMediaRecord medium;
    medium.kind = std::move(kind);
    medium.target = std::move(target);
    return medium;
}

// Told on every way out of a copy: made, failed, or thrown past; not when no medium was chosen.
struct TTellOnExit {
    const TCreationHandlers& handlers;
    TMediaRecord medium;
    const TCopyFailure& failure;
    bool readBackAsked;
    bool chosen = true;
    ~TTellOnExit() {
        if (!chosen) return;
        try {
            handlers.Tell(std::move(medium), failure, readBackAsked);
        } catch (...) {
            // Leaving a copy may not throw: the copy's own outcome stands.
        }
    }
};

}  // namespace

TMediaRecord StickMedium(const TRemovableDrive& drive) {
    return MediumOf("usb", {{}, drive.device, drive.model, drive.serial, drive.size});
}

void TCreationHandlers::Tell(TMediaRecord medium, TCopyFailure failure, bool readBackAsked) const {
    if (!onMedium) return;
    medium.outcome = OutcomeWord(failure);
    if (readBackAsked)
        medium.readBack = failure == TCopyFailure::None ? "match" : failure == TCopyFailure::ReadBack ? "mismatch" : "none";
    onMedium(std::move(medium));
}

std::string TCreationHandlers::MissingDrive(const TMediaKind& kind) const {
    return kind.type == TMediaType::Floppy && !floppy_ ? env_.app.texts[StrId::GUI_NOFLOPPYDRIVE] : std::string();
}

bool TCreationHandlers::CreateFloppy(TCreationDriver& driver) {
    const auto& texts = env_.app.texts;
    lastFailure_ = TCopyFailure::Failed;
    const TTellOnExit tell{*this, MediumOf("floppy", {{}, floppy_ ? floppy_->device : "", {}, {}, fat12::kImageSize}),
                           lastFailure_, true};
    const auto floppy = OpenFloppy();
    if (floppy && MakeFloppy(*floppy, driver)) {
        // The read-back shows what the floppy really holds, not what was handed to it.
        const auto mismatch = floppy->VerifyWrittenFiles();
        if (mismatch.empty()) {
            driver.SetCopyProgress(1.0);
            lastFailure_ = TCopyFailure::None;
            return true;
        }
        lastFailure_ = TCopyFailure::ReadBack;
        env_.dialogs.ShowCoolMessage(texts[StrId::FLOPPYINSTALL_VERIFYFAILED] + mismatch);
    }
    env_.dialogs.ShowCoolMessage(texts[StrId::GUI_INSTALLERROR]);
    if (floppy && floppy->Install().GaveUp()) throw ECopySkipped("");
    return false;
}

// Each copy checks the floppy now in the drive.
std::unique_ptr<THostFloppy> TCreationHandlers::OpenFloppy() {
    if (!floppy_) return nullptr;
    try {
        return std::make_unique<THostFloppy>(floppy_->device,
                                             THostFloppyPorts{env_.dialogs, env_.app.texts, env_.host, *floppy_->devices,
                                                              disk_.vwin32, env_.app.payloads.Floppy()});
    } catch (const std::runtime_error& error) {
        env_.dialogs.ShowCoolMessage(error.what());
        return nullptr;
    }
}

bool TCreationHandlers::MakeFloppy(THostFloppy& floppy, TCreationDriver& driver) {
    auto& install = floppy.Install();
    auto& files = install.Ports().files;
    install.OnFloppyProgress = driver.FirstHalf();
    driver.WritingMedium();
    if (!install.InstallBoot(THostFloppy::kDrive, settings_.useMsDos)) return false;
    install.OnFloppyProgress = driver.SecondHalf();
    return install.CopyPayloadFiles() &&
           WriteAutoexecBat(files, env_.app.texts[StrId::GUI_RUNNING_HALVEX], settings_.parameters,
                            LoadMouse(settings_.options)) &&
           WriteSanitizerIni(files, env_.app.payloads.Floppy(), settings_.options);
}

TSaveFileRequest FloppyImageFileRequest() { return {"IMG", "Quellmark.img", "*.IMG"}; }

bool TCreationHandlers::CreateFloppyImage(TCreationDriver& driver) {
    const auto request = FloppyImageFileRequest();
    auto chosen = env_.dialogs.AskSaveFile(request);
    if (!chosen) return false;
    *chosen = WithDefaultExtension(*chosen, request.defaultExtension);
    auto failure = TCopyFailure::Failed;
    TTellOnExit tell{*this, MediumOf("img", {*chosen, {}, {}, {}, fat12::kImageSize}), failure, false};
    try {
        // An existing file of that name stays untouched until the image is complete.
        TPendingFile file(*chosen);
        TVirtualFloppy floppy;
        if (!BuildBootFloppy(floppy, env_.app.payloads.Floppy(), settings_.useMsDos, env_, settings_))
            throw ECopySkipped("");
        file.Write(floppy.Image().data(), floppy.Image().size());
        file.Commit();
        tell.medium.imageSha256 = Sha256Hex(floppy.Image());
        failure = TCopyFailure::None;
    } catch (const EStreamError& error) {
        env_.dialogs.ShowCoolMessage(CannotCreateFileText(env_.app.texts, *chosen, error));
        return false;
    }
    floppyImageFile_ = *chosen;
    driver.SetCopyProgress(1.0);
    return true;
}

bool TCreationHandlers::CreateNetbootFolder(TCreationDriver& driver) {
    const auto chosen = env_.dialogs.AskSaveFile(NetbootFolderRequest());
    if (!chosen) return false;
    auto failure = TCopyFailure::Failed;
    TTellOnExit tell{*this, MediumOf("net", {*chosen, {}, {}, {}, 0}), failure, false};
    if (!MakeNetbootFolder(*chosen, env_, settings_)) return false;
    failure = TCopyFailure::None;
    try {
        // The folder's boot image, as the machines will fetch it.
        TFileStream image((std::filesystem::path(*chosen) / kNetbootImage).string(), FileMode::Read);
        tell.medium.imageSha256 = Sha256Hex(image);
    } catch (const EStreamError&) {
        // Made a moment ago: a folder that cannot be read back now is recorded without a checksum.
    }
    netbootFolder_ = *chosen;
    driver.SetCopyProgress(1.0);
    return true;
}

std::string TCreationHandlers::OutputFile(const TMediaKind& kind) const {
    if (kind.type == TMediaType::FloppyImage) return floppyImageFile_;
    if (kind.type == TMediaType::NetbootFolder) return netbootFolder_;
    if (const auto* recorder = dynamic_cast<const TimageRecorder*>(kind.device)) return recorder->Destination();
    return {};
}

bool TCreationHandlers::CreateCdDvd(TOpticalDevice& device, TCreationDriver& driver) {
    const auto* recorder = dynamic_cast<const TimageRecorder*>(&device);
    lastFailure_ = TCopyFailure::Failed;
    TTellOnExit tell{*this, MediumOf(recorder ? "iso" : "cd", {{}, recorder ? "" : device.DisplayName, {}, {}, 0}),
                     lastFailure_, settings_.readBack};
    if (!settings_.readBack) tell.medium.readBack = "skipped";
    TDSKburningIO io(env_.dialogs, driver.Whole(), [&](TBurnStage stage) {
        if (stage == TBurnStage::Write) driver.WritingMedium();
        if (stage == TBurnStage::ReadBack) driver.SetCopyPhase(env_.app.texts[StrId::GUI_TEXTREADINGBACK]);
    });
    const bool made = bootdisk::CreateCdDvd(device, env_, settings_, &io, driver.Whole(), &tell.medium.imageSha256);
    lastFailure_ = made ? TCopyFailure::None : io.ReadBackBegun() ? TCopyFailure::ReadBack : TCopyFailure::Failed;
    if (recorder) tell.medium.target.path = recorder->Destination();
    tell.chosen = !recorder || !recorder->Destination().empty();
    return made;
}

bool TCreationHandlers::DriveGone(const TRemovableDrive& drive) const {
    if (drive.identity.empty()) return false;
    const auto now = DescribeHostDrive(drive.device);
    return !now || now->identity != drive.identity;
}

std::vector<std::string> TCreationHandlers::MountPoints(const TRemovableDrive& drive) const {
    return disk_.devices.MountPoints(drive.letter);
}

std::optional<std::string> TCreationHandlers::LabelNow(const TRemovableDrive& drive) const {
    const auto now = DescribeHostDrive(drive.device);
    if (!now) return std::nullopt;
    return DriveLabel(env_.app.texts, *now);
}

bool TCreationHandlers::UnmountConfirmed(const TRemovableDrive& drive, IDialogs& dialogs) {
    const auto& texts = env_.app.texts;
    const auto now = disk_.devices.MountPoints(drive.letter);
    for (const auto& point : now) {
        if (std::find(drive.mountPoints.begin(), drive.mountPoints.end(), point) != drive.mountPoints.end()) continue;
        dialogs.ShowCoolMessage(texts[StrId::DISK_MOUNTED] + point);
        return false;
    }
    if (now.empty()) return true;
    if (const auto reason = disk_.devices.Unmount(drive.letter); !reason.empty()) {
        dialogs.ShowCoolMessage(texts[StrId::DISK_UNMOUNTFAILED] + reason);
        return false;
    }
    return true;
}

TRemovableHost TCreationHandlers::RemovableHost(const TRemovableDrive& drive, IDialogs& dialogs) {
    std::optional<TConfirmedDisk> confirmed;
    if (!drive.identity.empty() || !drive.number.empty())
        confirmed = TConfirmedDisk{drive.device, {drive.number, drive.identity, drive.details}};
    return {disk_, dialogs, env_.app.texts, confirmed, [this, &drive] { return DriveGone(drive); }};
}

bool TCreationHandlers::CreateRemovable(const TRemovableDrive& drive, TCreationDriver& driver) {
    const auto& texts = env_.app.texts;
    TRemovableInstall install(RemovableHost(drive, env_.dialogs));
    lastFailure_ = TCopyFailure::Refused;  // until the drive has passed the check
    TTellOnExit tell{*this, StickMedium(drive), lastFailure_, true};
    install.CheckRemovable(drive.letter);
    lastFailure_ = TCopyFailure::Failed;
    if (DriveGone(drive)) throw ECopySkipped(texts[StrId::DRIVE_GONE] + drive.device);
    install.CreateImage();  // freed with install, on every path
    if (!BuildBootFloppy(install.Image(), env_.app.payloads.Floppy(), settings_.useMsDos, env_, settings_))
        throw ECopySkipped("");
    tell.medium.imageSha256 = install.DriveImageSha256();
    env_.dialogs.ProcessMessages();
    // Only now, with the image ready, are the user's file systems taken away.
    if (!UnmountConfirmed(drive, env_.dialogs)) return false;
    install.OnImageProgress = [&driver, whole = driver.Whole()](double fraction) {
        driver.WritingMedium();
        whole(fraction);
    };
    // The read-back shows what the drive really holds, not what was handed to it.
    const bool written = install.WriteImageToDrive(drive.letter);
    if (!written || !install.VerifyImageOnDrive(drive.letter)) {
        if (written) lastFailure_ = TCopyFailure::ReadBack;
        env_.dialogs.ShowCoolMessage(env_.app.texts[StrId::GUI_INSTALLERROR]);
        return false;
    }
    env_.dialogs.ProcessMessages();
    env_.dialogs.ProcessMessages();
    lastFailure_ = TCopyFailure::None;
    return true;
}

}  // namespace bootdisk
