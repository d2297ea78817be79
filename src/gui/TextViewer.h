// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A read-only text in a window of its own, closed with OK or Escape.
#include <QString>
#include <QWidget>

namespace bootdisk {

void ShowTextViewer(QWidget* parent, const QString& title, const QString& text);

}  // namespace bootdisk
