// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/WizardApp.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/StrBase.h"
#include "gui/CoolMsg.h"
#include "gui/Gui.h"
#include "gui/GuiDialogs.h"
#include "gui/InitForm.h"
#include "gui/QtText.h"
#include "gui/Skin.h"
#include "platform/HostSystem.h"

namespace bootdisk {

TWizardApp::TWizardApp(std::unique_ptr<ISettingsStore> settings) : settings_(std::move(settings)) {}

TWizardApp::~TWizardApp() = default;

bool TWizardApp::Start(const IResourceStore& resources, const std::optional<std::string>& payloadFile,
                       const std::optional<std::string>& language) {
    ApplySkin();
    std::string notice;
    try {
        notice = LoadWizardTexts(app_, language);
    } catch (const ELanguageFileError& error) {
        ShowCoolMessage(nullptr, app_.texts, error.what());
        return false;
    }
    if (!notice.empty()) ShowCoolMessage(nullptr, app_.texts, notice);
    qtTexts_ = std::make_unique<QTranslator>();
    if (qtTexts_->load(QLocale(QString::fromStdString(app_.language)), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts_.get());
    dialogs_ = std::make_unique<TGuiDialogs>(app_.texts, RealHost());
    mainForm_ = std::make_unique<TMainForm>(app_, *dialogs_, *settings_);

    TInitializationForm splash(Ui(app_.texts[StrId::PRODUCTTXT]), {
        [&] { return payloadFile ? LoadPayloadFile(app_.payloads, *payloadFile) : LoadCdPayload(app_.payloads, resources); },
        [&] { return payloadFile || LoadFloppyPayload(app_.payloads, resources); },
        [&] {
            mainForm_->BuildMediaKinds();
            return true;
        },
    });
    if (!splash.Run()) {
        dialogs_->ShowCoolMessage(app_.texts[StrId::GUI_FILECORRUPT]);
        return false;
    }
    return true;
}

}  // namespace bootdisk
