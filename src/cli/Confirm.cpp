#include "cli/Confirm.h"

#include <cstdio>
#include <iostream>

#include "disk/HostFloppy.h"
#include "image/Fat12Format.h"
#include "platform/Vwin32.h"
#include "platform/Host.h"

namespace bootdisk::cli {

std::string DriveIdentity(const THostDrive& drive) {
    std::string details = drive.model.empty() ? "" : drive.model + ", ";
    return drive.device + " (" + details + FormatSize(drive.size) + ")";
}

bool CheckFloppy(const char* command, const std::string& device, TSession& session, IHostRawDevices& devices) {
    try {
        THostFloppy(device, {*session.dialogs, session.app.texts, RealHost(), devices, HostVwin32(),
                             session.app.payloads.Floppy()});
        return true;
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "bootdisk %s: %s\n", command, error.what());
        return false;
    }
}

THostDrive FloppyIdentity(const std::string& device) {
    if (auto drive = DescribeHostDrive(device)) return *drive;
    return {device, "image file", fat12::kImageSize, THostDriveType::Removable, false, std::nullopt, {}};
}

bool ConfirmWrite(const char* command, const THostDrive& drive, const TArguments& args) {
    if (args.yes) return true;
    if (!StdinIsTerminal()) {
        std::fprintf(stderr, "bootdisk %s: not writing to %s without --yes: there is no terminal to ask on\n", command,
                     DriveIdentity(drive).c_str());
        return false;
    }
    std::fprintf(stderr, "Everything on %s will be lost. Write the boot disk? [y/N] ", DriveIdentity(drive).c_str());
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes";
}

}  // namespace bootdisk::cli
