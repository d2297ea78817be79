// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TextViewer.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace bootdisk {

namespace {

// Shows content above an OK button, focused, at width x 600 pixels.
void RunViewer(QDialog& viewer, QWidget* content, int width) {
    viewer.setObjectName("TextViewer");
    auto* layout = new QVBoxLayout(&viewer);
    content->setObjectName("ViewerText");
    layout->addWidget(content);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &viewer);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &viewer, &QDialog::accept);
    layout->addWidget(buttons);
    viewer.resize(width, 600);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
    viewer.exec();
}

}  // namespace

void ShowTextViewer(QWidget* parent, const QString& title, const QString& text) {
    QDialog viewer(parent);
    viewer.setWindowTitle(title);
    auto* box = new QPlainTextEdit(text, &viewer);
    box->setReadOnly(true);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setAccessibleName(title);
    // Wide enough for the licence's lines in the fixed font.
    RunViewer(viewer, box, box->fontMetrics().horizontalAdvance(QString(84, 'x')));
}

void ShowPageViewer(QWidget* parent, const QString& file) {
    QDialog viewer(parent);
    auto* page = new QTextBrowser(&viewer);
    // The topics are written for a light page, as a web browser shows them, whatever the desktop's
    // palette: their text and links dark on it.
    QPalette light = page->palette();
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Text, Qt::black);
    page->setPalette(light);
    page->document()->setDefaultStyleSheet("a { color: #1F4E8C; }");
    page->setOpenExternalLinks(true);
    QObject::connect(page, &QTextBrowser::sourceChanged, &viewer, [&viewer, page] {
        viewer.setWindowTitle(page->documentTitle());
        page->setAccessibleName(page->documentTitle());
    });
    page->setSource(QUrl::fromLocalFile(file));
    RunViewer(viewer, page, page->fontMetrics().horizontalAdvance(QString(90, 'x')));
}

}  // namespace bootdisk
