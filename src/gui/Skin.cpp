#include "gui/Skin.h"

#include <QApplication>
#include <QFile>

// The skin's resources live in this library; a static library has to register them by hand.
static void InitSkinResources() { Q_INIT_RESOURCE(skin); }

namespace bootdisk {

void ApplySkin() {
    InitSkinResources();
    QFile sheet(":/skin/skin.qss");
    if (sheet.open(QIODevice::ReadOnly)) qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
}

QPixmap SkinPicture(const char* name) { return QPixmap(QString(":/skin/") + name); }

}  // namespace bootdisk
