// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The about box: version and build, product title, legal notices, support and licence.
#include <QDialog>

namespace bootdisk {

class THelp;
class TStringTable;

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    TAboutForm(const TStringTable& texts, const THelp& help, QWidget* mainWindow);

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace bootdisk
