// `bootdisk floppy`: the boot floppy made on a floppy drive (or a 1.44 MB image file), then read
// back through the FAT layer and compared with what was written.
#include <cstdio>
#include <map>
#include <stdexcept>
#include <system_error>

#include "base/Text.h"
#include "cli/Commands.h"
#include "cli/Confirm.h"
#include "cli/ProgressLine.h"
#include "cli/Session.h"
#include "disk/DeviceFloppy.h"
#include "disk/FloppyInstall.h"
#include "image/DirectWriters.h"
#include "image/Fat12Format.h"

namespace bootdisk::cli {
namespace {

constexpr char kFloppyDrive = 'A';
const char* const kDefaultDevice = "/dev/fd0";

// Only the 9x family has VWIN32 services; the NT family's paths never ask for them.
class TNoVwin32 : public IVwin32 {
public:
    std::unique_ptr<IVwin32Service> Open(std::uint32_t& error) override {
        error = 2;
        return nullptr;
    }
};

// Passes every file on, keeping what was meant to be written for the read-back.
class TRecordedFiles : public IDriveFiles {
public:
    explicit TRecordedFiles(IDriveFiles& target) : target_(target) {}

    bool MakeFolder(const std::string& path) override { return target_.MakeFolder(path); }
    bool CreateFile(const std::string& path, TStream& source) override {
        if (source.Remaining() > fat12::kImageSize) return false;  // cannot fit a floppy
        std::vector<std::uint8_t> bytes(std::size_t(source.Remaining()));
        if (source.Read(bytes.data(), bytes.size()) != bytes.size()) return false;
        TMemoryStream copy(bytes);
        if (!target_.CreateFile(path, copy)) return false;
        written_[UpperAnsi(path)] = std::move(bytes);  // a later file of the same name replaces it
        return true;
    }
    const std::map<std::string, std::vector<std::uint8_t>>& Written() const { return written_; }

private:
    IDriveFiles& target_;
    std::map<std::string, std::vector<std::uint8_t>> written_;
};

// The device opens for writing and holds a 1.44 MB floppy: anything larger is most likely a disk
// given by mistake. Prints why not.
bool IsFloppy(IRawDevices& devices, const std::string& device) {
    std::uint32_t error = 0;
    const auto opened = devices.Open(kFloppyDrive, TDeviceAccess::ReadWrite, error);
    std::uint64_t size = 0;
    if (opened) error = opened->QuerySize(size);
    if (error != 0) {
        std::fprintf(stderr, "bootdisk floppy: cannot open %s: %s\n", device.c_str(),
                     std::system_category().message(int(error)).c_str());
        return false;
    }
    if (size != fat12::kImageSize) {
        std::fprintf(stderr, "bootdisk floppy: %s holds %llu bytes, not a 1.44 MB floppy (%llu bytes)\n",
                     device.c_str(), static_cast<unsigned long long>(size),
                     static_cast<unsigned long long>(fat12::kImageSize));
        return false;
    }
    return true;
}

// The floppy handler's steps, with the two halves of the progress line.
bool MakeFloppy(TFloppyInstall& install, IDriveFiles& files, TAppContext& app, const TArguments& args,
                TProgressLine& line) {
    install.OnFloppyProgress = [&](double fraction) { line.Show(0.5 * fraction); };
    if (!install.InstallBoot(kFloppyDrive, args.useMsDos)) return false;
    install.OnFloppyProgress = [&](double fraction) { line.Show(0.5 + 0.5 * fraction); };
    if (!install.CopyPayloadFiles()) return false;
    if (!WriteAutoexecBat(files, app.texts[StrId::GUI_RUNNING_HALVEX], args.parameters, LoadMouse(args.options)) ||
        !WriteSanitizerIni(files, app.payloads.Floppy(), args.options))
        return false;
    line.Show(1.0);
    return true;
}

// Reads every written file back from the device; prints the outcome.
bool Verify(IRawDevices& devices, const TRecordedFiles& files) {
    std::string mismatch;
    const bool read = DeviceFloppyAccess(devices, kFloppyDrive, TDeviceAccess::ReadOnly)([&](TGenericFloppy& floppy) {
        for (const auto& [path, bytes] : files.Written()) {
            const auto found = ReadFloppyFile(floppy, path);
            if (!found || *found != bytes) {
                mismatch = path + (found ? " differs" : " is missing");
                return false;
            }
        }
        return true;
    });
    if (!read) {
        std::fprintf(stderr, "Verify failed: %s\n", mismatch.empty() ? "the floppy cannot be read" : mismatch.c_str());
        return false;
    }
    std::printf("Verify: %llu files read back and match.\n",
                static_cast<unsigned long long>(files.Written().size()));
    return true;
}

}  // namespace

int RunFloppy(const TArguments& args) {
    if (args.positional.size() > 1) throw std::invalid_argument("floppy takes at most one device");
    const std::string device = args.positional.empty() ? kDefaultDevice : args.positional.front();
    auto session = StartSession(args, {args.msDosFolder, std::nullopt, args.yes});
    if (!session) return 1;
    if (const auto mountPoint = MountPointOf(device)) {
        std::fprintf(stderr, "bootdisk floppy: %s holds a file system mounted on %s; unmount it first\n",
                     device.c_str(), mountPoint->c_str());
        return 1;
    }
    auto devices = CreateHostRawDevices();
    devices->Assign(kFloppyDrive, device, THostDriveType::Removable);
    if (!IsFloppy(*devices, device) || !ConfirmWrite(device, args)) return 1;

    // A host with drive letters reaches the floppy's files through its own file system; elsewhere
    // the floppy cannot be mounted and our FAT layer works on its device.
    std::unique_ptr<IDriveFiles> root;
    if (RealHost().PathSeparator() == '\\')
        root = CreateHostDriveFiles(std::string(1, kFloppyDrive) + ":\\");
    else
        root = std::make_unique<TFloppyDriveFiles>(DeviceFloppyAccess(*devices, kFloppyDrive, TDeviceAccess::ReadWrite));
    TRecordedFiles files(*root);
    TNoVwin32 vwin32;
    auto& app = session->app;
    TFloppyInstall install({*session->dialogs, app.texts, RealHost(), *devices, vwin32, app.payloads.Floppy(), files});

    TProgressLine line("Writing the floppy");
    const bool made = MakeFloppy(install, files, app, args, line);
    line.End();
    if (!made) {
        session->dialogs->ShowCoolMessage(app.texts[StrId::GUI_INSTALLERROR]);
        return 1;
    }
    return Verify(*devices, files) ? 0 : 1;
}

}  // namespace bootdisk::cli
