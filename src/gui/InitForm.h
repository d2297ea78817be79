// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up splash: a borderless picture that runs the start-up steps while the desktop
// keeps drawing.
#include <QDialog>
#include <functional>
#include <vector>

namespace bootdisk {

class TInitializationForm : public QDialog {
    Q_OBJECT
public:
    // Each step answers whether the start can go on; the first that fails ends the sequence.
    TInitializationForm(const QString& title, std::vector<std::function<bool()>> steps);

    // Shows the splash modally, runs the steps and closes it; true when all steps succeeded.
    bool Run();

private:
    bool RunSteps();

    std::vector<std::function<bool()>> steps_;
};

}  // namespace bootdisk
