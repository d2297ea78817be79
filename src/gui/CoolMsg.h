// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one message box of the program: information with OK, Retry / Abort, or two choices
// captioned by the caller; centred over the main window.
#include <QDialog>
#include <string>

#include "platform/Dialogs.h"

class QLabel;
class QPushButton;

namespace bootdisk {

class TStringTable;

// The modal results the buttons set; closing through the frame gives kCoolClosed.
inline constexpr int kCoolOk = 1;
inline constexpr int kCoolClosed = 2;
inline constexpr int kCoolRight = 3;
inline constexpr int kCoolLeft = 4;

class TCoolMessage : public QDialog {
    Q_OBJECT
public:
    enum class TLayout { Information, RetryAbort, TwoChoices };

    // Return takes the default choice of two; Retry of Retry / Abort.
    TCoolMessage(QWidget* mainWindow, const TStringTable& texts, const std::string& text, TLayout layout,
                 const std::string& leftCaption = {}, const std::string& rightCaption = {},
                 TDefaultChoice defaultChoice = TDefaultChoice::Left);

    void reject() override { done(kCoolClosed); }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CentreOverMainWindow();

    QWidget* mainWindow_;
    QLabel* LabelMsg;
    QPushButton* BtnLeft;
    QPushButton* BtnMid;
    QPushButton* BtnRight;
};

void ShowCoolMessage(QWidget* mainWindow, const TStringTable& texts, const std::string& text);
// kAnswerRetry, or kAnswerAbort (also when the box is closed through its frame).
int AskRetryAbort(QWidget* mainWindow, const TStringTable& texts, const std::string& text);
// kAnswerLeft, or kAnswerRight (also when the box is closed through its frame).
int AskTwoChoices(QWidget* mainWindow, const TStringTable& texts, const std::string& text,
                  const std::string& leftCaption, const std::string& rightCaption, TDefaultChoice defaultChoice);

}  // namespace bootdisk
