// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a window shows a user who reads it or has it read: the contrast of every text it draws,
// measured on its picture, and an accessible name for every control one can work.
#include <QPalette>
#include <QStringList>

class QWidget;

namespace bootdisk::test {

// The palettes a desktop may hand the wizard.
QPalette DarkPalette();
// A dark scheme whose links keep a light scheme's blue, as many dark themes do.
QPalette DarkBlueLinksPalette();
QPalette LightPalette();
QPalette HighContrastPalette();

// The contrast ratio of two colours as the web's accessibility guidelines count it: 1 to 21.
double ContrastRatio(QColor a, QColor b);

// Every shown text of the window (labels, buttons, edits, lists and their items) whose drawn
// pixels stand out from their background by less than 4.5:1, and every scroll bar's thumb that
// stands out from its groove by less than 3:1, each with the ratio found.
QStringList FaintDrawing(QWidget& window);

// Every shown control of the window one can work (buttons, edits, lists, the progress bar) that a
// screen reader could name only by its value, or not at all.
QStringList UnnamedControls(QWidget& window);

}  // namespace bootdisk::test
