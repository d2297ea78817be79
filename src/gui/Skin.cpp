// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Skin.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QPalette>
#include <QRegularExpression>
#include <map>
#include <optional>

#include "base/Colours.h"

// The skin's resources live in this library; a static library has to register them by hand.
static void InitSkinResources() { Q_INIT_RESOURCE(skin); }

namespace bootdisk {

namespace {

constexpr int kDrawnFontPixels = 11;
double scale = 1.0;
TSkinColours colours;

// Replaces each match of pattern in sheet by what replace makes of it.
template <class F>
QString Replaced(const QString& sheet, const QRegularExpression& pattern, F replace) {
    QString result;
    qsizetype last = 0;
    for (auto it = pattern.globalMatch(sheet); it.hasNext();) {
        const auto match = it.next();
        result += sheet.mid(last, match.capturedStart() - last);
        result += replace(match);
        last = match.capturedEnd();
    }
    return result + sheet.mid(last);
}

// Every pixel size of the sheet at the skin's scale.
QString ScaledSheet(const QString& sheet) {
    static const QRegularExpression pixels("(\\d+)px");
    return Replaced(sheet, pixels, [](const auto& match) { return QString::number(Scaled(match.captured(1).toInt())) + "px"; });
}

TRgb Rgb(QColor colour) { return {colour.redF(), colour.greenF(), colour.blueF()}; }
// Qt keeps a colour's channels as floats.
QColor FromRgb(TRgb colour) {
    return QColor::fromRgbF(float(colour.red), float(colour.green), float(colour.blue));
}

QColor Mix(QColor from, QColor to, double share) { return FromRgb(bootdisk::Mix(Rgb(from), Rgb(to), share)); }

// The palette's colour for a coloured text, moved towards its plain text colour until it reads
// well on both backgrounds.
QColor Readable(QColor colour, QColor text, QColor background, QColor other) {
    return FromRgb(bootdisk::Readable(Rgb(colour), Rgb(text), Rgb(background), Rgb(other)));
}

// The sheet's colour names and the palette's colours they stand for.
std::map<QString, QColor> SheetColours(const QPalette& palette) {
    const auto base = palette.color(QPalette::Base), text = palette.color(QPalette::Text);
    const auto window = palette.color(QPalette::Window), highlight = palette.color(QPalette::Highlight);
    const auto button = palette.color(QPalette::Button);
    return {
        {"page", base},
        {"pageText", text},
        {"chrome", window},
        {"chromeText", palette.color(QPalette::WindowText)},
        {"accent", Readable(highlight, text, base, window)},
        {"line", Mix(base, highlight, 0.45)},
        {"soft", Mix(base, highlight, 0.08)},
        {"hover", Mix(base, highlight, 0.15)},
        // A tint of the highlight under the plain text: some desktops pair their highlight with a
        // text colour that reads poorly on it.
        {"selection", Mix(base, highlight, 0.35)},
        {"selectionText", text},
        {"buttonText", palette.color(QPalette::ButtonText)},
        {"buttonTop", Mix(button, base, 0.6)},
        {"buttonBottom", Mix(button, highlight, 0.15)},
        {"buttonHover", Mix(button, highlight, 0.3)},
        {"buttonBorder", Mix(button, highlight, 0.6)},
        {"disabled", Mix(button, base, 0.5)},
        {"disabledText", palette.color(QPalette::Disabled, QPalette::ButtonText)},
        {"chunkTop", Mix(base, highlight, 0.4)},
        {"chunk", highlight},
        {"thumb", Mix(base, text, 0.5)},
        {"thumbHover", Mix(base, text, 0.65)},
    };
}

QString ColouredSheet(const QString& sheet, const QPalette& palette) {
    static const QRegularExpression names("@([A-Za-z]+)");
    const auto sheetColours = SheetColours(palette);
    return Replaced(sheet, names, [&](const auto& match) {
        const auto found = sheetColours.find(match.captured(1));
        return found == sheetColours.end() ? match.captured(0) : found->second.name();
    });
}

std::optional<QPalette> coloured;  // the palette the sheet was last coloured for

void ColourSheet() {
    auto palette = QApplication::palette();
    if (palette == coloured) return;  // setting the sheet or the links may announce the palette again
    // Links read as well as every other text, whatever blue the desktop gives them on a dark page.
    for (const auto role : {QPalette::Link, QPalette::LinkVisited})
        palette.setColor(role, Readable(palette.color(role), palette.color(QPalette::Text), palette.color(QPalette::Base),
                                        palette.color(QPalette::Window)));
    coloured = palette;
    if (palette != QApplication::palette()) QApplication::setPalette(palette);
    const auto sheetColours = SheetColours(palette);
    colours = {sheetColours.at("page"), sheetColours.at("line"), sheetColours.at("selection")};
    QFile sheet(":/skin/skin.qss");
    if (sheet.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(ScaledSheet(ColouredSheet(QString::fromUtf8(sheet.readAll()), palette)));
}

// A desktop turned dark or light while the wizard is open is followed at once.
class TPaletteFollower : public QObject {
public:
    static constexpr const char* kName = "SkinPaletteFollower";
    TPaletteFollower() : QObject(qApp) {
        setObjectName(kName);
        qApp->installEventFilter(this);
    }

private:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) ColourSheet();
        return false;
    }
};

}  // namespace

void ApplySkin() {
    InitSkinResources();
    scale = std::max(1.0, QFontInfo(QApplication::font()).pixelSize() / double(kDrawnFontPixels));
    coloured.reset();
    ColourSheet();
    if (!qApp->findChild<QObject*>(TPaletteFollower::kName, Qt::FindDirectChildrenOnly)) new TPaletteFollower;
}

const TSkinColours& SkinColours() { return colours; }

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
