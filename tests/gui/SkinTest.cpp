// SPDX-License-Identifier: GPL-3.0-or-later
// The wizard on a desktop with a large font and a high-density screen: the window grows so that
// every text fits, in English and in German, and the skin's pictures come at twice the size.
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/Gui.h"
#include "gui/Skin.h"
#include "gui/WizardApp.h"
#include "gui/support/ModalAnswerer.h"
#include "platform/Resources.h"

namespace bootdisk {

using namespace test;

constexpr int kDesktopFontPixels = 16;

class SkinTest : public QObject {
    Q_OBJECT

private slots:
    void TheWindowGrowsWithTheDesktopFontAndEveryTextFits_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("en") << "en";
        QTest::newRow("de") << "de";
    }

    void TheWindowGrowsWithTheDesktopFontAndEveryTextFits() {
        QFETCH(QString, language);
        QTemporaryDir dir;
        TWizardApp app(IniSettings(dir.path().toStdString()));
        QVERIFY(app.Start(EmbeddedResources(), std::nullopt, language.toStdString()));
        auto& form = app.MainForm();
        form.show();
        QVERIFY(form.width() > TMainForm::kClientWidth && form.height() > TMainForm::kClientHeight);
        auto* quantity = form.findChild<QLabel*>("LabelQuantity");
        quantity->ensurePolished();
        QCOMPARE(QFontInfo(quantity->font()).pixelSize(), kDesktopFontPixels);

        int checked = 0;
        for (auto* widget : form.findChildren<QWidget*>()) {
            widget->ensurePolished();
            const auto name = widget->objectName() + " " + widget->property("text").toString();
            if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty()) {
                if (label->wordWrap())
                    QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(name));
                else
                    QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(name));
                ++checked;
            } else if (qobject_cast<QPushButton*>(widget) || qobject_cast<QRadioButton*>(widget)) {
                QVERIFY2(widget->sizeHint().width() <= widget->width(), qPrintable(name));
                QVERIFY2(widget->sizeHint().height() <= widget->height() + 2, qPrintable(name));
                ++checked;
            }
        }
        QVERIFY(checked > 15);
        Save(form, language == "en" ? "large-font.png" : "large-font-" + language.toStdString() + ".png");
    }

    void EveryPictureComesAtTwiceItsSize() {
        QVERIFY(qApp->devicePixelRatio() > 1.0);
        const QDir skin(":/skin");
        const auto pictures = skin.entryList({"*.png"});
        int doubled = 0;
        for (const auto& name : pictures) {
            if (name.contains("@2x")) continue;
            const QImage single(skin.filePath(name));
            const QImage twice(skin.filePath(QString(name).replace(".png", "@2x.png")));
            QCOMPARE(twice.size(), single.size() * 2);
            const auto picture = SkinPicture(name.toUtf8().constData());
            QCOMPARE(picture.devicePixelRatio(), 2.0);
            QCOMPARE(picture.deviceIndependentSize().toSize(), single.size());
            ++doubled;
        }
        QVERIFY(doubled >= 10);
    }

private:
    void Save(QWidget& widget, const std::string& name) {
        QCoreApplication::processEvents();
        QVERIFY(widget.grab().save(ScreenshotPath(QString::fromStdString(name))));
    }
};

}  // namespace bootdisk

// A high-density screen (twice the pixels) and a desktop font of 16 pixels, set before the
// wizard starts as the desktop would.
int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    QFont font = QApplication::font();
    font.setPixelSize(bootdisk::kDesktopFontPixels);
    QApplication::setFont(font);
    bootdisk::SkinTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SkinTest.moc"
