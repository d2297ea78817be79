// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/HostFloppy.h"

#include <optional>
#include <stdexcept>

#include "base/Text.h"
#include "disk/DeviceFloppy.h"
#include "image/Fat12Format.h"
#include "platform/Host.h"
#include "platform/HostDrives.h"

namespace bootdisk {

// Passes every file on, keeping what was meant to be written for the read-back.
class THostFloppy::TRecordedFiles : public IDriveFiles {
public:
    explicit TRecordedFiles(IDriveFiles& target) : target_(target) {}

    bool MakeFolder(const std::string& path) override { return target_.MakeFolder(path); }
    bool CreateFile(const std::string& path, TStream& source) override {
        if (source.Remaining() > fat12::kImageSize) return false;  // cannot fit a floppy
        std::vector<std::uint8_t> bytes(std::size_t(source.Remaining()));
        if (source.Read(bytes.data(), bytes.size()) != bytes.size()) return false;
        TMemoryStream copy(bytes);
        if (!target_.CreateFile(path, copy)) return false;
        written[UpperAnsi(path)] = std::move(bytes);  // a later file of the same name replaces it
        return true;
    }

    std::map<std::string, std::vector<std::uint8_t>> written;

private:
    IDriveFiles& target_;
};

namespace {

// Why device, of the kind the system tells, is no floppy; nothing for a floppy drive, a removable
// disk or an image file.
std::optional<std::string> NotAFloppy(THostDriveType type, const TStringTable& texts) {
    switch (type) {
        case THostDriveType::Removable: return std::nullopt;
        case THostDriveType::Fixed: return texts[StrId::DRIVE_NOTREMOVABLE];
        case THostDriveType::Partition: return texts[StrId::DRIVE_PARTITION];
        case THostDriveType::Unknown:
        case THostDriveType::Other: break;
    }
    return texts[StrId::FLOPPYINSTALL_NOTADISK];
}

}  // namespace

// Every check comes before the device is opened for writing; the size is asked of a read-only open.
void AttachFloppy(IHostRawDevices& devices, const std::string& device, const TStringTable& texts) {
    const auto refuse = [&](const std::string& reason) {
        throw std::runtime_error(texts[StrId::FLOPPYINSTALL_NOTAFLOPPYDRIVE] + device + " (" + reason + ")");
    };
    if (!CanStandForFloppyDrive(device)) refuse(texts[StrId::FLOPPYINSTALL_DRIVEA]);
    devices.Assign(THostFloppy::kDrive, device, THostDriveType::Removable);  // an image file is a floppy
    const THostDriveType type = devices.DriveType(THostFloppy::kDrive);
    const auto notAFloppy = NotAFloppy(type, texts);
    // Nothing at device: the open below says why.
    if (notAFloppy && type != THostDriveType::Unknown) refuse(*notAFloppy);
    if (const auto points = devices.MountPoints(THostFloppy::kDrive); !points.empty())
        throw std::runtime_error(texts[StrId::DISK_MOUNTED] + points.front());
    const auto cannotOpen = [&](std::uint32_t error) {
        throw std::runtime_error(texts[StrId::FLOPPYINSTALL_CANNOTOPEN] + DeviceLead(device) + SystemErrorText(error));
    };
    std::uint32_t error = 0;
    std::uint64_t size = 0;
    if (const auto opened = devices.Open(THostFloppy::kDrive, TDeviceAccess::ReadOnly, error)) error = opened->QuerySize(size);
    if (error != 0) cannotOpen(error);
    if (notAFloppy) refuse(*notAFloppy);
    if (size != fat12::kImageSize)
        throw std::runtime_error(texts[StrId::FLOPPYINSTALL_NOTAFLOPPY] + device + " holds " + std::to_string(size) +
                                 " bytes");
    // Only a floppy is opened for writing, to learn before the copy that it can be written.
    if (!devices.Open(THostFloppy::kDrive, TDeviceAccess::ReadWrite, error)) cannotOpen(error);
}

THostFloppy::THostFloppy(const std::string& device, THostFloppyPorts ports) : devices_(ports.devices) {
    AttachFloppy(devices_, device, ports.texts);
    // A host with drive letters reaches the floppy's files through its own file system; elsewhere
    // the floppy is not mounted and our FAT layer works on its device.
    if (ports.host.PathSeparator() == '\\')
        root_ = CreateHostDriveFiles(std::string(1, kDrive) + ":\\");
    else
        root_ = std::make_unique<TFloppyDriveFiles>(DeviceFloppyAccess(devices_, kDrive, TDeviceAccess::ReadWrite));
    recorded_ = std::make_unique<TRecordedFiles>(*root_);
    install_ = std::make_unique<TFloppyInstall>(TFloppyInstallPorts{
        ports.dialogs, ports.texts, ports.host, devices_, ports.vwin32, ports.payload, *recorded_});
}

THostFloppy::~THostFloppy() = default;

std::string THostFloppy::VerifyWrittenFiles() {
    std::string mismatch;
    const bool read = DeviceFloppyAccess(devices_, kDrive, TDeviceAccess::ReadOnly)([&](TGenericFloppy& floppy) {
        for (const auto& [path, bytes] : recorded_->written) {
            const auto found = ReadFloppyFile(floppy, path);
            if (!found || *found != bytes) {
                mismatch = path + (found ? " differs" : " is missing");
                return false;
            }
        }
        return true;
    });
    if (read) return {};
    return mismatch.empty() ? "the floppy cannot be read" : mismatch;
}

}  // namespace bootdisk
