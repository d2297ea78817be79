// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TextViewer.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace bootdisk {

void ShowTextViewer(QWidget* parent, const QString& title, const QString& text) {
    QDialog viewer(parent);
    viewer.setObjectName("TextViewer");
    viewer.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&viewer);
    auto* box = new QPlainTextEdit(text, &viewer);
    box->setObjectName("ViewerText");
    box->setReadOnly(true);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setAccessibleName(title);
    layout->addWidget(box);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &viewer);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &viewer, &QDialog::accept);
    layout->addWidget(buttons);
    // Wide enough for the licence's lines in the fixed font, and as tall as the screen allows.
    viewer.resize(box->fontMetrics().horizontalAdvance(QString(84, 'x')), 600);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
    viewer.exec();
}

}  // namespace bootdisk
