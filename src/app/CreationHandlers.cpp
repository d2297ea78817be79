#include "app/CreationHandlers.h"

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

bool TCreationHandlers::CreateRemovable(const TRemovableDrive&, TCreationDriver&) {
    env_.dialogs.ShowCoolMessage(env_.app.texts[StrId::GUI_INSTALLERROR]);
    return false;
}

}  // namespace bootdisk
