// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/About.h"

#include <QLabel>
#include <QPushButton>

#include "base/StrConst.h"
#include "gui/Help.h"
#include "gui/QtText.h"
#include "gui/Skin.h"
#include "platform/Host.h"

namespace bootdisk {

namespace {

// Fills the one "%s" of a text.
QString Filled(const std::string& text, const char* value) { return Ui(text).replace("%s", value); }

}  // namespace

TAboutForm::TAboutForm(const TStringTable& texts, const THelp& help, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint) {
    setObjectName("AboutForm");
    setFixedSize(Scaled(QSize(380, 250)));
    setWindowTitle(Ui(texts[StrId::ABOUT_HEADER]));

    auto* picture = new QLabel(this);
    picture->setPixmap(SkinPicture("about.png"));
    picture->setScaledContents(true);
    picture->setGeometry(Scaled(QRect(16, 16, 48, 48)));
    const auto label = [this](const char* name, const QString& text, int top, int height) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setGeometry(Scaled(QRect(80, top, 284, height)));
        l->setWordWrap(true);
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    auto* title = label("LabelProduct", Ui(texts[StrId::PRODUCTTXT]), 16, 22);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    title->setFont(bold);
    const auto version = ProgramVersion();
    label("LabelVersion", Filled(texts[StrId::VERSIONTXT], version.version.c_str()), 42, 18);
    label("LabelBuild", Filled(texts[StrId::ABOUT_BUILD], version.build.c_str()), 60, 18);
    label("LabelCopyright", Ui(texts[StrId::ABOUT_COPYRIGHT]), 86, 34);
    label("LabelLegal", Ui(texts[StrId::ABOUT_LEGAL_NOTICE]), 122, 76);

    const auto button = [this](const char* name, const std::string& caption, int left, int width) {
        auto* b = new QPushButton(Ui(caption), this);
        b->setObjectName(name);
        b->setGeometry(Scaled(QRect(left, 210, width, 25)));
        return b;
    };
    auto* ok = button("BtnOK", texts[StrId::GENERIC_OK], 16, 70);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(button("BtnSupport", texts[StrId::ABOUT_SUPPORT], 94, 90), &QPushButton::clicked, this,
            [&help] { help.OpenKeyword("ContactingHalvexLabs"); });
    connect(button("BtnLicense", texts[StrId::ABOUT_VIEW_LICENSE], 192, 172), &QPushButton::clicked, this,
            [&help] { help.OpenFile("license.txt"); });
}

void TAboutForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (auto* owner = parentWidget()) {
        const auto outer = owner->frameGeometry();
        move(outer.left() + (outer.width() - width()) / 2, outer.top() + (outer.height() - height()) / 2);
    }
}

}  // namespace bootdisk
