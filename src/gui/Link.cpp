// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Link.h"

#include "gui/QtText.h"

namespace bootdisk {

QLabel* MakeLink(QWidget* parent, const char* name, const std::string& text, std::function<void()> onClick) {
    auto* link = new QLabel("<a href=\"#\">" + Ui(text).toHtmlEscaped() + "</a>", parent);
    link->setObjectName(name);
    link->setTextFormat(Qt::RichText);
    link->setWordWrap(true);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(link, &QLabel::linkActivated, parent, [onClick](const QString&) { onClick(); });
    return link;
}

}  // namespace bootdisk
