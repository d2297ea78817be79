// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Skin.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QRegularExpression>

// The skin's resources live in this library; a static library has to register them by hand.
static void InitSkinResources() { Q_INIT_RESOURCE(skin); }

namespace bootdisk {

namespace {

constexpr int kDrawnFontPixels = 11;
double scale = 1.0;

// Every pixel size of the sheet at the skin's scale.
QString ScaledSheet(const QString& sheet) {
    static const QRegularExpression pixels("(\\d+)px");
    QString result;
    qsizetype last = 0;
    for (auto it = pixels.globalMatch(sheet); it.hasNext();) {
        const auto match = it.next();
        result += sheet.mid(last, match.capturedStart() - last);
        result += QString::number(Scaled(match.captured(1).toInt())) + "px";
        last = match.capturedEnd();
    }
    return result + sheet.mid(last);
}

}  // namespace

void ApplySkin() {
    InitSkinResources();
    scale = std::max(1.0, QFontInfo(QApplication::font()).pixelSize() / double(kDrawnFontPixels));
    QFile sheet(":/skin/skin.qss");
    if (sheet.open(QIODevice::ReadOnly)) qApp->setStyleSheet(ScaledSheet(QString::fromUtf8(sheet.readAll())));
}

double SkinScale() { return scale; }

int Scaled(int pixels) { return pixels <= 1 ? pixels : qRound(pixels * scale); }

QSize Scaled(QSize size) { return {Scaled(size.width()), Scaled(size.height())}; }

QRect Scaled(QRect rect) { return {Scaled(rect.left()), Scaled(rect.top()), Scaled(rect.width()), Scaled(rect.height())}; }

QPixmap SkinPicture(const char* name) {
    const QString path = QString(":/skin/") + name;
    if (scale * qApp->devicePixelRatio() > 1.0) {
        QPixmap doubled(QString(path).replace(".png", "@2x.png"));
        if (!doubled.isNull()) {
            doubled.setDevicePixelRatio(2.0);
            return doubled;
        }
    }
    return QPixmap(path);
}

}  // namespace bootdisk
