// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Link.h"

#include "gui/QtText.h"

namespace bootdisk {

// The label itself is the link's one tab stop, framed when it has the focus, and Return follows it
// (the window's Return): letting the keyboard into its text would add a second, unmarked stop.
QLabel* MakeLink(QWidget* parent, const char* name, const std::string& text, std::function<void()> onClick) {
    auto* link = new QLabel("<a href=\"#\">" + Ui(text).toHtmlEscaped() + "</a>", parent);
    link->setObjectName(name);
    link->setProperty("link", true);
    link->setTextFormat(Qt::RichText);
    link->setWordWrap(true);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    link->setFocusPolicy(Qt::StrongFocus);
    link->ensurePolished();  // its frame counts in the size it is given
    QObject::connect(link, &QLabel::linkActivated, parent, [onClick](const QString&) { onClick(); });
    return link;
}

}  // namespace bootdisk
