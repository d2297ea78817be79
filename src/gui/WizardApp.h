// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up of the desktop wizard: texts, skin, windows, and the splash that loads the payloads
// and builds the media kinds before the main window is shown.
#include <memory>
#include <optional>
#include <string>

#include "app/Startup.h"
#include "platform/Resources.h"
#include "platform/Settings.h"

class QTranslator;

namespace bootdisk {

class TGuiDialogs;
class TMainForm;

class TWizardApp {
public:
    explicit TWizardApp(std::unique_ptr<ISettingsStore> settings);
    ~TWizardApp();

    // False when the program cannot start; the reason has been shown. The payloads come from the
    // container file when one is given, else from resources; the texts in language when one is
    // given, else in the user's.
    bool Start(const IResourceStore& resources, const std::optional<std::string>& payloadFile = std::nullopt,
               const std::optional<std::string>& language = std::nullopt);
    // Shows the main window; valid after a successful Start.
    TMainForm& MainForm() { return *mainForm_; }
    TGuiDialogs& Dialogs() { return *dialogs_; }

private:
    TAppContext app_;
    // Qt's own texts (the save dialog's) in the language of the wizard's.
    std::unique_ptr<QTranslator> qtTexts_;
    std::unique_ptr<ISettingsStore> settings_;
    std::unique_ptr<TGuiDialogs> dialogs_;
    std::unique_ptr<TMainForm> mainForm_;
};

}  // namespace bootdisk
