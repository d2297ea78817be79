// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/CoolMsg.h"

#include <algorithm>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "app/BoxAnswers.h"
#include "base/StrConst.h"
#include "gui/QtText.h"
#include "gui/Skin.h"
#include "platform/Dialogs.h"

namespace bootdisk {

TCoolMessage::TCoolMessage(QWidget* mainWindow, const TStringTable& texts, const std::string& text, TLayout layout,
                           const std::string& leftCaption, const std::string& rightCaption,
                           TDefaultChoice defaultChoice)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint),
      mainWindow_(mainWindow) {
    setObjectName("CoolMessage");
    setFixedSize(Scaled(QSize(306, 106)));
    setWindowTitle(Ui(texts[StrId::PRODUCTTXT]));

    LabelMsg = new QLabel(Ui(text), this);
    LabelMsg->setObjectName("LabelMsg");
    LabelMsg->setGeometry(Scaled(QRect(24, 12, 260, 44)));
    LabelMsg->setAlignment(Qt::AlignCenter);
    LabelMsg->setWordWrap(true);
    LabelMsg->setTextFormat(Qt::PlainText);
    // A message longer than three lines (a long file path) makes the box taller instead of being cut.
    LabelMsg->ensurePolished();
    const int extra = std::max(0, LabelMsg->heightForWidth(LabelMsg->width()) - LabelMsg->height());
    setFixedSize(width(), height() + extra);
    LabelMsg->resize(LabelMsg->width(), LabelMsg->height() + extra);

    const auto button = [this, extra](const char* name, int left, int result) {
        auto* b = new QPushButton(this);
        b->setObjectName(name);
        b->setGeometry(Scaled(left), Scaled(69) + extra, Scaled(89), Scaled(25));
        b->hide();
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        return b;
    };
    BtnLeft = button("BtnLeft", 64, kCoolLeft);
    BtnMid = button("BtnMid", 112, kCoolOk);
    BtnRight = button("BtnRight", 160, kCoolRight);

    switch (layout) {
        case TLayout::Information:
            BtnMid->setText(Ui(texts[StrId::GENERIC_OK]));
            BtnMid->show();
            BtnMid->setDefault(true);
            break;
        case TLayout::RetryAbort:
            BtnLeft->setText(Ui(texts[StrId::GENERIC_RETRY]));
            BtnRight->setText(Ui(texts[StrId::GENERIC_ABORT]));
            break;
        case TLayout::TwoChoices:
            BtnLeft->setText(Ui(leftCaption));
            BtnRight->setText(Ui(rightCaption));
            break;
    }
    if (layout != TLayout::Information) {
        BtnLeft->show();
        BtnRight->show();
        // The dialog gives the default button the focus as it opens, so Return presses it.
        (defaultChoice == TDefaultChoice::Right ? BtnRight : BtnLeft)->setDefault(true);
    }
}

void TCoolMessage::CentreOverMainWindow() {
    if (!mainWindow_) return;
    const auto owner = mainWindow_->frameGeometry();
    const auto box = frameGeometry();
    move(owner.left() + (owner.width() - box.width()) / 2, owner.top() + (owner.height() - box.height()) / 2);
}

void TCoolMessage::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOverMainWindow();
}

void TCoolMessage::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) CentreOverMainWindow();
}

namespace {

int Run(TCoolMessage& box) {
    const int result = box.exec();
    // The main window repaints what the box covered before the caller goes on.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return result;
}

TBoxClose BoxClose(int result) {
    switch (result) {
        case kCoolLeft: return TBoxClose::Left;
        case kCoolRight: return TBoxClose::Right;
        case kCoolOk: return TBoxClose::Mid;
        default: return TBoxClose::Frame;
    }
}

}  // namespace

void ShowCoolMessage(QWidget* mainWindow, const TStringTable& texts, const std::string& text) {
    TCoolMessage box(mainWindow, texts, text, TCoolMessage::TLayout::Information);
    Run(box);
}

int AskRetryAbort(QWidget* mainWindow, const TStringTable& texts, const std::string& text) {
    TCoolMessage box(mainWindow, texts, text, TCoolMessage::TLayout::RetryAbort);
    return RetryAbortAnswer(BoxClose(Run(box)));
}

int AskTwoChoices(QWidget* mainWindow, const TStringTable& texts, const std::string& text,
                  const std::string& leftCaption, const std::string& rightCaption, TDefaultChoice defaultChoice) {
    TCoolMessage box(mainWindow, texts, text, TCoolMessage::TLayout::TwoChoices, leftCaption, rightCaption,
                     defaultChoice);
    return TwoChoicesAnswer(BoxClose(Run(box)));
}

}  // namespace bootdisk
