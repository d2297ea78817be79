// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Help.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>

#include "platform/Resources.h"

namespace bootdisk {

namespace {

// Far above any shortcut; a larger file is not one.
constexpr qint64 kMaxShortcutSize = 64 * 1024;

// The web address of a Windows internet shortcut: the URL= line of its [InternetShortcut]
// section. Nothing for another kind of address, which the shortcut has no business opening.
QUrl ShortcutAddress(const QString& path) {
    QFile file(path);
    if (file.size() > kMaxShortcutSize || !file.open(QIODevice::ReadOnly)) return {};
    bool inSection = false;
    for (const auto& raw : QString::fromLatin1(file.readAll()).split('\n')) {
        const auto line = raw.trimmed();
        if (line.startsWith('[')) {
            inSection = line.compare("[InternetShortcut]", Qt::CaseInsensitive) == 0;
        } else if (inSection && line.startsWith("URL=", Qt::CaseInsensitive)) {
            const QUrl url(line.mid(4), QUrl::StrictMode);
            return url.isValid() && (url.scheme() == "http" || url.scheme() == "https") ? url : QUrl();
        }
    }
    return {};
}

}  // namespace

THelp::THelp() : open([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

QString THelp::Folder() { return QString::fromStdString(DataFilePath("help")); }

QString THelp::TopicFile(const std::string& keyword) {
    return Folder() + "/" + QString::fromStdString(keyword.empty() ? "index" : keyword) + ".htm";
}

std::optional<QString> THelp::OpenKeyword(const std::string& keyword) const { return OpenLocal(TopicFile(keyword)); }

std::optional<QString> THelp::OpenContents() const { return OpenLocal(TopicFile({})); }

std::optional<QString> THelp::OpenFile(const QString& name) const {
    const auto path = QString::fromStdString(DataFilePath(name.toStdString()));
    if (!name.endsWith(".url", Qt::CaseInsensitive)) return OpenLocal(path);
    const auto address = ShortcutAddress(path);
    if (address.isEmpty()) return path;
    return Open(address, address.toString());
}

// The desktop's opener reports a missing file as opened: it is checked here.
std::optional<QString> THelp::OpenLocal(const QString& path) const {
    if (!QFileInfo(path).isFile()) return path;
    return Open(QUrl::fromLocalFile(path), path);
}

std::optional<QString> THelp::Open(const QUrl& url, const QString& what) const {
    if (open && open(url)) return std::nullopt;
    return what;
}

}  // namespace bootdisk
