// SPDX-License-Identifier: GPL-3.0-or-later
// Windows answers about its drive letters at once, and the window hears of drives coming and going
// (WM_DEVICECHANGE): each look is a fresh scan, and no disk service is waited for.
#include "platform/HostDrives.h"

namespace bootdisk {
namespace {

class TWin32DriveWatch final : public THostDriveWatch {
public:
    std::optional<TDriveScan> Latest(std::chrono::milliseconds) override {
        return TDriveScan{ScanHostDrives(), DriveWritesNeedAdministrator(TDriveWrite::Removable)};
    }
};

}  // namespace

std::unique_ptr<THostDriveWatch> THostDriveWatch::Start(std::function<void()>) {
    return std::make_unique<TWin32DriveWatch>();
}

void SetDriveServiceWait(TDriveServiceWait) {}

}  // namespace bootdisk
