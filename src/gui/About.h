// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The about box: version and build, product title, legal notices, support, the product's licence
// agreement and the program's own licence.
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>

#include <functional>

#include "app/WizardView.h"

namespace bootdisk {

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    TAboutForm(const TAboutTexts& texts, const TAboutActions& actions, QWidget* mainWindow);

protected:
    void showEvent(QShowEvent* event) override;
    // Return on the focused link follows it, as in the wizard's window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* link_ = nullptr;
    std::function<void()> followLink_;
};

}  // namespace bootdisk
