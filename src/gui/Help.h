// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help topics (keyword + ".htm" in the program's help folder) and the other files that ship
// with it, opened in the desktop's own viewer.
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>
#include <string>

namespace bootdisk {

class THelp {
public:
    THelp();

    // How an address is shown; the desktop's viewer unless a test replaces it. False when
    // nothing could show it.
    std::function<bool(const QUrl&)> open;

    // Each answers nothing when it opened, else the file or address that nothing could open.
    std::optional<QString> OpenKeyword(const std::string& keyword) const;
    std::optional<QString> OpenContents() const;
    // A file that ships with the program, such as "info.url" or "license.txt". An internet
    // shortcut (".url") opens the web address it holds.
    std::optional<QString> OpenFile(const QString& name) const;

    static QString Folder();
    // The file of a topic by keyword, or of the contents for an empty keyword.
    static QString TopicFile(const std::string& keyword);

private:
    std::optional<QString> OpenLocal(const QString& path) const;
    std::optional<QString> Open(const QUrl& url, const QString& what) const;
};

}  // namespace bootdisk
