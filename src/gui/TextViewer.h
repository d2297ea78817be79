// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A read-only text in a window of its own, closed with OK or Escape.
#include <QString>
#include <QWidget>

namespace bootdisk {

void ShowTextViewer(QWidget* parent, const QString& title, const QString& text);

// An HTML page (a help topic) and the pages its links lead to, titled by the page's own title.
void ShowPageViewer(QWidget* parent, const QString& file);

}  // namespace bootdisk
