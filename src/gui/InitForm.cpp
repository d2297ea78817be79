// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/InitForm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QThread>

#include "gui/Skin.h"

namespace bootdisk {

namespace {

void Pump() { QCoreApplication::processEvents(); }

}  // namespace

TInitializationForm::TInitializationForm(const QString& title, std::vector<std::function<bool()>> steps)
    : QDialog(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), steps_(std::move(steps)) {
    setObjectName("InitializationForm");
    setFixedSize(Scaled(QSize(351, 163)));
    auto* picture = new QLabel(this);
    picture->setObjectName("Picture");
    picture->setPixmap(SkinPicture("splash.png"));
    picture->setScaledContents(true);
    picture->setGeometry(rect());
    auto* caption = new QLabel(title, this);
    caption->setObjectName("LabelTitle");
    caption->setGeometry(Scaled(QRect(20, 36, 220, 70)));
    caption->setWordWrap(true);
    if (auto* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
}

bool TInitializationForm::Run() {
    setWindowModality(Qt::ApplicationModal);
    show();
    // Let the desktop draw the splash before the work starts.
    for (int i = 0; i < 10; ++i) {
        Pump();
        QThread::msleep(50);
    }
    const bool succeeded = RunSteps();
    close();
    return succeeded;
}

bool TInitializationForm::RunSteps() {
    Pump();
    Pump();
    for (const auto& step : steps_) {
        if (!step()) return false;
        Pump();
    }
    return true;
}

}  // namespace bootdisk
