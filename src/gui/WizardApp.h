#pragma once
// The start-up of the desktop wizard: texts, skin, windows, and the splash that loads the payloads
// and builds the media kinds before the main window is shown.
#include <memory>

#include "app/Startup.h"
#include "platform/Resources.h"
#include "platform/Settings.h"

namespace bootdisk {

class TGuiDialogs;
class TMainForm;

class TWizardApp {
public:
    explicit TWizardApp(std::unique_ptr<ISettingsStore> settings);
    ~TWizardApp();

    // False when the program cannot start; the reason has been shown.
    bool Start(const IResourceStore& resources);
    // Shows the main window; valid after a successful Start.
    TMainForm& MainForm() { return *mainForm_; }
    TGuiDialogs& Dialogs() { return *dialogs_; }

private:
    TAppContext app_;
    std::unique_ptr<ISettingsStore> settings_;
    std::unique_ptr<TGuiDialogs> dialogs_;
    std::unique_ptr<TMainForm> mainForm_;
};

}  // namespace bootdisk
