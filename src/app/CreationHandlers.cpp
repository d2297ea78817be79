#include "app/CreationHandlers.h"

#include "disk/RemovableInstall.h"
#include "optical/DSKburningIO.h"

namespace bootdisk {

bool TCreationHandlers::CreateFloppy(TCreationDriver&) {
    env_.dialogs.ShowCoolMessage(env_.app.texts[StrId::GUI_INSTALLERROR]);
    return false;
}

bool TCreationHandlers::CreateCdDvd(TOpticalDevice& device, TCreationDriver& driver) {
    TDSKburningIO io(env_.dialogs, driver.Whole());
    return bootdisk::CreateCdDvd(device, env_, settings_, &io, driver.Whole());
}

bool TCreationHandlers::CreateRemovable(const TRemovableDrive& drive, TCreationDriver& driver) {
    TRemovableInstall install({disk_, env_.dialogs, env_.app.texts});
    install.CheckRemovable(drive.letter);
    install.CreateImage();  // freed with install, on every path
    if (!BuildBootFloppy(install.Image(), env_.app.payloads.Floppy(), settings_.useMsDos, env_, settings_))
        return false;
    env_.dialogs.ProcessMessages();
    install.OnImageProgress = driver.Whole();
    // The read-back shows what the drive really holds, not what was handed to it.
    if (!install.WriteImageToDrive(drive.letter) || !install.VerifyImageOnDrive(drive.letter)) {
        env_.dialogs.ShowCoolMessage(env_.app.texts[StrId::GUI_INSTALLERROR]);
        return false;
    }
    env_.dialogs.ProcessMessages();
    env_.dialogs.ProcessMessages();
    return true;
}

}  // namespace bootdisk
