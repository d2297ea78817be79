// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/GuiDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>

#include "gui/CoolMsg.h"
#include "gui/QtText.h"
#include "gui/SearchSys.h"
#include "optical/ImageRecorder.h"

namespace bootdisk {

TGuiDialogs::TGuiDialogs(const TStringTable& texts, const IHostSystem& host) : texts_(texts), host_(host) {}

void TGuiDialogs::SetMainWindow(QWidget* mainWindow) {
    mainWindow_ = mainWindow;
    searchSys_ = new TSearchSysForm(*this, texts_, host_, mainWindow);
}

void TGuiDialogs::ShowCoolMessage(const std::string& text) { bootdisk::ShowCoolMessage(mainWindow_, texts_, text); }

int TGuiDialogs::AskRetryAbort(const std::string& text) { return bootdisk::AskRetryAbort(mainWindow_, texts_, text); }

int TGuiDialogs::AskTwoChoices(const std::string& text, const std::string& leftCaption,
                               const std::string& rightCaption, TDefaultChoice defaultChoice) {
    return bootdisk::AskTwoChoices(mainWindow_, texts_, text, leftCaption, rightCaption, defaultChoice);
}

std::optional<std::string> TGuiDialogs::AskSystemFolder() {
    if (!searchSys_) {
        TSearchSysForm alone(*this, texts_, host_, nullptr);
        return alone.exec() == kSearchConfirmed ? std::optional(alone.Folder) : std::nullopt;
    }
    if (searchSys_->exec() != kSearchConfirmed) return std::nullopt;
    return searchSys_->Folder;
}

std::optional<std::string> TGuiDialogs::AskSaveFile(const TSaveFileRequest& request) {
    QFileDialog dialog(mainWindow_, Ui(texts_[StrId::GUI_TEXTFILELOCATION]));
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QString::fromStdString(request.filter));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    dialog.selectFile(QString::fromStdString(request.proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const auto path = QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
    return WithDefaultExtension(path, request.defaultExtension);
}

void TGuiDialogs::ProcessMessages() { QCoreApplication::processEvents(); }

}  // namespace bootdisk
