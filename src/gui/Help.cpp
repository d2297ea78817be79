#include "gui/Help.h"

#include <QCoreApplication>
#include <QDesktopServices>

namespace bootdisk {

THelp::THelp() : open([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

QString THelp::Folder() { return QCoreApplication::applicationDirPath() + "/help"; }

void THelp::OpenKeyword(const std::string& keyword) const {
    Open(Folder() + "/" + QString::fromStdString(keyword) + ".htm");
}

void THelp::OpenContents() const { Open(Folder() + "/index.htm"); }

void THelp::OpenFile(const QString& name) const { Open(QCoreApplication::applicationDirPath() + "/" + name); }

void THelp::Open(const QString& path) const {
    if (open) open(QUrl::fromLocalFile(path));
}

}  // namespace bootdisk
