#pragma once
// The help topics (keyword + ".htm" in the help folder beside the executable) and the other
// files beside it, opened in the desktop's own viewer.
#include <QString>
#include <QUrl>
#include <functional>
#include <string>

namespace bootdisk {

class THelp {
public:
    THelp();

    // How a file is shown; the desktop's viewer unless a test replaces it.
    std::function<bool(const QUrl&)> open;

    void OpenKeyword(const std::string& keyword) const;
    void OpenContents() const;
    // A file in the executable's directory, such as "info.url" or "license.txt".
    void OpenFile(const QString& name) const;

    static QString Folder();

private:
    void Open(const QString& path) const;
};

}  // namespace bootdisk
