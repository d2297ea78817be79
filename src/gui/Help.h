// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help topics (keyword + ".htm" in the program's help folder) and the other files that ship
// with it, opened in the desktop's own viewer.
#include <QString>
#include <QUrl>
#include <functional>
#include <string>

namespace bootdisk {

class THelp {
public:
    THelp();

    // How an address is shown; the desktop's viewer unless a test replaces it. False when
    // nothing could show it.
    std::function<bool(const QUrl&)> open;
    // Told the file or address that nothing could open, so the user hears of it.
    std::function<void(const QString&)> onCannotOpen;

    void OpenKeyword(const std::string& keyword) const;
    void OpenContents() const;
    // A file that ships with the program, such as "info.url" or "license.txt". An internet
    // shortcut (".url") opens the web address it holds.
    void OpenFile(const QString& name) const;

    static QString Folder();

private:
    void OpenLocal(const QString& path) const;
    void Open(const QUrl& url, const QString& what) const;
};

}  // namespace bootdisk
