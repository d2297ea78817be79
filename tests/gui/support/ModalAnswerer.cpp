// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/support/ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeView>

namespace bootdisk::test {

TModalAnswerer::TModalAnswerer() {
    connect(&timer_, &QTimer::timeout, this, &TModalAnswerer::Poll);
    timer_.start(10);
}

TModalAnswerer& TModalAnswerer::Then(TAnswer answer) {
    answers_.push_back(std::move(answer));
    return *this;
}

void TModalAnswerer::Poll() {
    if (pending_) return;
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible() || answers_.empty()) return;
    if (dialog->objectName() == "InitializationForm") return;  // the splash closes by itself
    const auto* label = dialog->findChild<QLabel*>("LabelMsg");
    seen << (label ? label->text() : dialog->objectName());
    auto answer = std::move(answers_.front());
    answers_.pop_front();
    answer(*dialog);
    // Every answer acts through a queued call; the window is looked at again only after it ran.
    pending_ = true;
    QTimer::singleShot(0, this, [this] { pending_ = false; });
}

namespace {

// Queued, so that a window the click opens runs its own loop outside this poll.
void ClickLater(QAbstractButton* button) {
    QTimer::singleShot(0, button, [button] { button->click(); });
}

}  // namespace

TAnswer Click(const char* button) {
    return [button](QDialog& dialog) {
        auto* b = dialog.findChild<QAbstractButton*>(button);
        if (b) ClickLater(b);
        else qFatal("no button %s in %s", button, qPrintable(dialog.objectName()));
    };
}

TAnswer CloseFrame() {
    return [](QDialog& dialog) { QTimer::singleShot(0, &dialog, [&dialog] { dialog.close(); }); };
}

TAnswer ChooseFolder(const QString& path) {
    return [path](QDialog& dialog) {
        auto* tree = dialog.findChild<QTreeView*>("ShellTreeView");
        if (!tree) qFatal("%s is not the folder dialog", qPrintable(dialog.objectName()));
        auto* model = qobject_cast<QFileSystemModel*>(tree->model());
        tree->setCurrentIndex(model->index(path));
        Click("BtnOK")(dialog);
    };
}

TAnswer SaveAs(const QString& path) {
    return [path](QDialog& dialog) {
        // Typed into the name box as a user would: selectFile takes effect only once the dialog has
        // loaded the folder, after which it may still show the proposed name.
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        if (!name) qFatal("%s is not the save dialog", qPrintable(dialog.objectName()));
        name->setText(path);
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.accept(); });
    };
}

TAnswer Screenshot(const QString& file, TAnswer then) {
    return [file, then](QDialog& dialog) {
        dialog.grab().save(ScreenshotPath(file));
        then(dialog);
    };
}

QString ScreenshotPath(const QString& name) {
    const auto path = QString(BOOTDISK_SCREENSHOT_DIR) + "/" + name;
    QDir().mkpath(QFileInfo(path).path());
    return path;
}

}  // namespace bootdisk::test
