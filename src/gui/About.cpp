// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/About.h"

#include <QLabel>
#include <QPushButton>

#include "gui/Link.h"
#include "gui/QtText.h"
#include "gui/Skin.h"

namespace bootdisk {

TAboutForm::TAboutForm(const TAboutTexts& texts, const TAboutActions& actions, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint) {
    setObjectName("AboutForm");
    setFixedSize(Scaled(QSize(380, 290)));
    setWindowTitle(Ui(texts.caption));

    auto* picture = new QLabel(this);
    picture->setPixmap(SkinPicture("about.png"));
    picture->setScaledContents(true);
    picture->setGeometry(Scaled(QRect(16, 16, 48, 48)));
    const auto label = [this](const char* name, const std::string& text, int top, int height) {
        auto* l = new QLabel(Ui(text), this);
        l->setObjectName(name);
        l->setGeometry(Scaled(QRect(80, top, 284, height)));
        l->setWordWrap(true);
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    auto* title = label("LabelProduct", texts.product, 16, 22);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    title->setFont(bold);
    label("LabelVersion", texts.version, 42, 18);
    label("LabelBuild", texts.build, 60, 18);
    label("LabelCopyright", texts.copyright, 86, 34);
    label("LabelLegal", texts.legal, 122, 76);
    link_ = MakeLink(this, "LinkFreeSoftware", texts.freeSoftware, actions.freeSoftware);
    link_->setGeometry(Scaled(QRect(80, 204, 284, 36)));
    followLink_ = actions.freeSoftware;

    const auto button = [this](const char* name, const std::string& caption, int left, int width) {
        auto* b = new QPushButton(Ui(caption), this);
        b->setObjectName(name);
        b->setGeometry(Scaled(QRect(left, 250, width, 25)));
        return b;
    };
    auto* ok = button("BtnOK", texts.ok, 16, 70);
    ok->setDefault(true);
    // The link comes first in the Tab order, but OK takes the keys first.
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(button("BtnSupport", texts.support, 94, 90), &QPushButton::clicked, this, actions.support);
    connect(button("BtnLicense", texts.license, 192, 172), &QPushButton::clicked, this, actions.license);
}

void TAboutForm::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && focusWidget() == link_ && followLink_) {
        followLink_();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (auto* owner = parentWidget()) {
        const auto outer = owner->frameGeometry();
        move(outer.left() + (outer.width() - width()) / 2, outer.top() + (outer.height() - height()) / 2);
    }
}

}  // namespace bootdisk
