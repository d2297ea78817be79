// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The about box: version and build, product title, legal notices, support and licence.
#include <QDialog>
#include <functional>

#include "app/WizardView.h"

namespace bootdisk {

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    TAboutForm(const TAboutTexts& texts, std::function<void()> support, std::function<void()> license,
               QWidget* mainWindow);

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace bootdisk
