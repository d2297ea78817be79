// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/SearchSys.h"

#include <algorithm>

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

    // The two lines take the height their texts need (a translation may need two lines where
    // English needs one); the tree takes what is left.
    const auto label = [this](const char* name, const QString& text, int top, int height) {
        auto* shown = new QLabel(text, this);
        shown->setObjectName(name);
        shown->setWordWrap(true);
        shown->ensurePolished();
        const int width = Scaled(281);
        shown->setGeometry(Scaled(12), top, width, std::max(Scaled(height), shown->heightForWidth(width)));
        return shown->geometry().bottom() + 1;
    };
    int top = label("LabelCannotFind", Ui(texts[StrId::SEARCHSYS_CANNOT_FIND]), Scaled(10), 18) + Scaled(2);
    // The texts double the ampersand for controls that take one as a mnemonic mark.
    top = label("LabelSpecify", Ui(texts[StrId::SEARCHSYS_PLEASE_SPECIFY]).replace("&&", "&"), top, 34) + Scaled(4);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    model_->setRootPath(QString());
    ShellTreeView = new QTreeView(this);
    ShellTreeView->setObjectName("ShellTreeView");
    ShellTreeView->setGeometry(Scaled(12), top, Scaled(281), Scaled(284) - top);
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
