// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/SearchSys.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include "app/SearchSys.h"
#include "gui/QtText.h"
#include "gui/Skin.h"

namespace bootdisk {

TSearchSysForm::TSearchSysForm(IDialogs& dialogs, const TStringTable& texts, const IHostSystem& host,
                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs), texts_(texts), host_(host) {
    setObjectName("SearchSysForm");
    setFixedSize(Scaled(QSize(305, 329)));
    setWindowTitle(Ui(texts[StrId::PRODUCTTXT]));

    auto* cannotFind = new QLabel(Ui(texts[StrId::SEARCHSYS_CANNOT_FIND]), this);
    cannotFind->setObjectName("LabelCannotFind");
    cannotFind->setGeometry(Scaled(QRect(12, 10, 281, 18)));
    // The texts double the ampersand for controls that take one as a mnemonic mark.
    auto* specify = new QLabel(Ui(texts[StrId::SEARCHSYS_PLEASE_SPECIFY]).replace("&&", "&"), this);
    specify->setObjectName("LabelSpecify");
    specify->setGeometry(Scaled(QRect(12, 30, 281, 34)));
    specify->setWordWrap(true);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    model_->setRootPath(QString());
    ShellTreeView = new QTreeView(this);
    ShellTreeView->setObjectName("ShellTreeView");
    ShellTreeView->setGeometry(Scaled(QRect(12, 68, 281, 216)));
    ShellTreeView->setModel(model_);
    ShellTreeView->setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column) ShellTreeView->hideColumn(column);
    // The roots open, as the desktop's own folder dialogs show them.
    for (const auto& root : QDir::drives()) ShellTreeView->expand(model_->index(root.absolutePath()));

    auto* ok = new QPushButton(Ui(texts[StrId::GENERIC_OK]), this);
    ok->setObjectName("BtnOK");
    ok->setGeometry(Scaled(QRect(116, 294, 85, 25)));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TSearchSysForm::BtnOKClick);
    auto* cancel = new QPushButton(Ui(texts[StrId::GENERIC_CANCEL]), this);
    cancel->setObjectName("BtnCancel");
    cancel->setGeometry(Scaled(QRect(208, 294, 85, 25)));
    connect(cancel, &QPushButton::clicked, this, &TSearchSysForm::BtnCancelClick);
}

void TSearchSysForm::BtnOKClick() {
    const auto current = ShellTreeView->currentIndex();
    const auto chosen = current.isValid() ? QDir::toNativeSeparators(model_->filePath(current)).toStdString() : "";
    if (const auto folder = AcceptSystemFolder(host_, chosen)) {
        Folder = *folder;
        done(kSearchConfirmed);
    } else {
        dialogs_.ShowCoolMessage(texts_[StrId::SEARCHSYS_THERE_IS_NO_SYSTEM]);
    }
}

void TSearchSysForm::BtnCancelClick() {
    if (ConfirmSearchCancel(dialogs_, texts_)) done(kSearchCancelled);
}

}  // namespace bootdisk
