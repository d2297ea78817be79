// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a picture of every page, of a message box, of the save and the folder dialog and of the
// about box under build/screenshots/, in a dark, a light and a high-contrast palette, a dark one
// with a light one's blue links, and in German in a dark one, so the look can be reviewed; each text on them must stand out and each control
// must have a name a screen reader says.
#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/About.h"
#include "gui/Gui.h"
#include "gui/GuiDialogs.h"
#include "gui/Help.h"
#include "gui/InitForm.h"
#include "base/StrConst.h"
#include "gui/ListFrame.h"
#include "gui/TextViewer.h"
#include "gui/WizardApp.h"
#include "gui/support/Legibility.h"
#include "gui/support/ModalAnswerer.h"
#include "platform/Resources.h"

namespace bootdisk {

using namespace test;

class ScreenshotTest : public QObject {
    Q_OBJECT

    // Saves the window's picture under the palette's folder and notes what it shows badly; the
    // names of Qt's own dialogs' controls are Qt's affair.
    void Save(QWidget& widget, const QString& name) {
        QCoreApplication::processEvents();
        const auto path = ScreenshotPath(palette_ + "/" + name);
        QVERIFY(widget.grab().save(path));
        QVERIFY(QFileInfo(path).size() > 0);
        for (const auto& fault : FaintDrawing(widget)) faults_ << name + ": faint " + fault;
        if (qobject_cast<QFileDialog*>(&widget)) return;
        for (const auto& fault : UnnamedControls(widget)) faults_ << name + ": no name for " + fault;
    }
    TAnswer SaveThen(const QString& name, TAnswer then) {
        return [this, name, then](QDialog& dialog) {
            Save(dialog, name);
            then(dialog);
        };
    }

    QString palette_;
    QStringList faults_;

private slots:
    void EveryPageAndDialog_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<QString>("language");
        QTest::newRow("dark") << DarkPalette() << "en";
        QTest::newRow("light") << LightPalette() << "en";
        QTest::newRow("high-contrast") << HighContrastPalette() << "en";
        QTest::newRow("dark-blue-links") << DarkBlueLinksPalette() << "en";
        QTest::newRow("dark-de") << DarkPalette() << "de";
    }

    void EveryPageAndDialog() {
        QFETCH(QPalette, palette);
        QFETCH(QString, language);
        QApplication::setPalette(palette);
        palette_ = QTest::currentDataTag();
        faults_.clear();
        QTemporaryDir dir;
        TWizardApp app(IniSettings(dir.path().toStdString()));
        QVERIFY(app.Start(EmbeddedResources(), std::nullopt, language.toStdString()));
        auto& form = app.MainForm();
        form.show();
        auto* next = form.findChild<QPushButton*>("BtnNext");
        auto* add = form.findChild<QToolButton*>("BtnAdd");
        // A list longer than its view shows the scroll bar's thumb.
        for (int i = 0; i < 7; ++i) add->click();
        Save(form, "1-create-options-long.png");
        TModalAnswerer clearing;
        clearing.Then(SaveThen("clear-question.png", Click("BtnLeft")));
        form.findChild<QToolButton*>("BtnClear")->click();
        QVERIFY(clearing.AllAnswered());
        add->click();
        add->click();
        auto rows = form.findChildren<TCreateListFrame*>();
        auto* kinds = rows.back()->findChild<QComboBox*>("ComboBox");
        kinds->setCurrentIndex(kinds->count() - 1);
        emit kinds->activated(kinds->count() - 1);
        Save(form, "1-create-options.png");
        kinds->showPopup();
        Save(*kinds->view()->window(), "1-kinds.png");
        kinds->hidePopup();
        next->click();
        Save(form, "2-program-options.png");

        // The run itself makes one ISO file: the floppy row goes.
        form.findChild<QPushButton*>("BtnBack")->click();
        QTest::mouseClick(rows.front()->findChild<QLineEdit*>("EditNrDisks"), Qt::LeftButton);
        form.findChild<QToolButton*>("BtnRemove")->click();
        next->click();
        next->click();
        Save(form, "3-page-start.png");

        QTemporaryDir out;
        TModalAnswerer answerer;
        // Qt's own save dialog speaks the wizard's language (the German of qt6-translations-l10n).
        const TAnswer saveInLanguage = [&](QDialog& dialog) {
            QStringList captions;
            for (auto* button : dialog.findChildren<QPushButton*>()) captions << button->text().remove('&');
            if (language == "de" && !QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm"))
                qWarning("Qt's German texts are not installed (qt6-translations-l10n): the save dialog stays English");
            else if (language == "de" && !captions.contains("Speichern"))
                faults_ << "save-dialog.png: Qt's own texts are not German: " + captions.join(", ");
            SaveThen("save-dialog.png", SaveAs(out.filePath("boot.iso")))(dialog);
        };
        answerer.Then(SaveThen("message-box.png", Click("BtnLeft"))).Then(saveInLanguage);
        // Taken while the first prompt is open over the progress page.
        QTimer::singleShot(0, this, [&] { Save(form, "4-progress.png"); });
        next->click();
        QVERIFY(answerer.AllAnswered());
        Save(form, "5-finish.png");

        // Three copies, stopped at the second prompt.
        next->click();
        rows = form.findChildren<TCreateListFrame*>();
        rows.front()->findChild<QLineEdit*>("EditNrDisks")->setText("3");
        next->click();
        next->click();
        TModalAnswerer stopping;
        // The window with the prompt drawn where it stands over it.
        const TAnswer progress = [&](QDialog& prompt) {
            QCoreApplication::processEvents();
            QPixmap shot = form.grab();
            QPainter(&shot).drawPixmap(prompt.geometry().topLeft() - form.geometry().topLeft(), prompt.grab());
            QVERIFY(shot.save(ScreenshotPath(palette_ + "/6-progress-copy-2-of-3.png")));
            Click("BtnRight")(prompt);
        };
        stopping.Then(Click("BtnLeft")).Then(SaveAs(out.filePath("first.iso"))).Then(progress).Then(Click("BtnLeft"));
        next->click();
        QVERIFY(stopping.AllAnswered());
        Save(form, "7-finish-after-stop.png");

        auto& dialogs = app.Dialogs();
        TModalAnswerer folder;
        folder.Then(SaveThen("folder-dialog.png", ChooseFolder(BOOTDISK_BIN_DIR "/demo-dos")));
        QVERIFY(dialogs.AskSystemFolder().has_value());

        TAboutForm about(form.Presenter().AboutTexts(), {}, &form);
        about.show();
        Save(about, "about.png");

        // A help topic the wizard shows itself, where nothing on the desktop opens it.
        TModalAnswerer helpViewer;
        helpViewer.Then(SaveThen("help-viewer.png", [](QDialog& viewer) { viewer.accept(); }));
        ShowPageViewer(&form, THelp::TopicFile("FAQ"));
        QVERIFY(helpViewer.AllAnswered());

        TInitializationForm* splash = nullptr;
        TInitializationForm shown(QString::fromUtf8("Halvex Quellmark 2005\u2122"), {[&] {
                                      Save(*splash, "splash.png");
                                      return true;
                                  }});
        splash = &shown;
        QVERIFY(shown.Run());
        ExpectNoFaults();
    }

    // The desktop turned dark while the wizard is open: the window turns dark with it, every text
    // still standing out.
    void APaletteChangedWhileShownIsFollowed() {
        QApplication::setPalette(LightPalette());
        palette_ = "light-then-dark";
        faults_.clear();
        QTemporaryDir dir;
        TWizardApp app(IniSettings(dir.path().toStdString()));
        QVERIFY(app.Start(EmbeddedResources()));
        auto& form = app.MainForm();
        form.show();
        form.findChild<QToolButton*>("BtnAdd")->click();
        QApplication::setPalette(DarkPalette());
        Save(form, "1-create-options.png");
        ExpectNoFaults();
        const auto shot = form.grab().toImage();
        qsizetype dark = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) dark += shot.pixelColor(x, y).lightness() < 128;
        QVERIFY2(dark * 2 > shot.width() * shot.height(), "the window kept its light colours");
        // The list rows paint their own background.
        for (auto* row : form.findChildren<TCreateListFrame*>())
            QVERIFY(row->findChild<QWidget*>("Rectangle4")->grab().toImage().pixelColor(0, 0).lightness() < 128);
    }

private:
    void ExpectNoFaults() {
        for (const auto& fault : faults_) qWarning("%s", qPrintable(fault));
        QVERIFY2(faults_.isEmpty(), qPrintable(QString::number(faults_.size()) + " faults, listed above"));
    }
};

}  // namespace bootdisk

QTEST_MAIN(bootdisk::ScreenshotTest)
#include "ScreenshotTest.moc"
