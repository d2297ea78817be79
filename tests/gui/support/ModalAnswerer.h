// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answers the modal windows a test meets, one scripted answer per window in the order they come,
// and records what each one said.
#include <QDialog>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

namespace bootdisk::test {

using TAnswer = std::function<void(QDialog&)>;

class TModalAnswerer : public QObject {
public:
    TModalAnswerer();

    TModalAnswerer& Then(TAnswer answer);
    // Every window met: a message box by its text, any other window by its object name.
    QStringList seen;
    bool AllAnswered() const { return answers_.empty(); }

private:
    void Poll();

    QTimer timer_;
    std::deque<TAnswer> answers_;
    bool pending_ = false;
};

// Clicks a button of the window by object name (BtnLeft, BtnRight, BtnMid, BtnOK, BtnCancel).
TAnswer Click(const char* button);
// Closes the window through its frame.
TAnswer CloseFrame();
// Selects a folder in the folder dialog's tree and clicks OK.
TAnswer ChooseFolder(const QString& path);
// Types a file name into the save dialog and accepts it.
TAnswer SaveAs(const QString& path);
// Saves a picture of the window, then answers.
TAnswer Screenshot(const QString& file, TAnswer then);

// The folder screenshots are saved in, created on first use.
QString ScreenshotPath(const QString& name);

}  // namespace bootdisk::test
