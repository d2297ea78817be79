// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven as a user would: pages, buttons, rows, panels, help and a whole run.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>

#include "gui/Gui.h"
#include "gui/ListFrame.h"
#include "gui/WizardApp.h"
#include "gui/support/ModalAnswerer.h"
#include "platform/HostDrives.h"
#include "platform/Resources.h"

namespace bootdisk {

using namespace test;

class GuiTest : public QObject {
    Q_OBJECT

    // An ISO row's run stopped at its first prompt (Cancel, then Yes): the finish page. seen, when
    // given, is told the boxes answered on the way.
    void StopOnTheFinishPage(QStringList* seen = nullptr) {
        ChooseKind(Rows()[0], "Image recorder (Save CD image as ISO file)");
        Button("BtnNext")->click();
        Button("BtnNext")->click();
        TModalAnswerer answerer;
        answerer.Then(Click("BtnRight")).Then(Click("BtnLeft"));
        Button("BtnNext")->click();
        if (seen) *seen = answerer.seen;
        QCOMPARE(Page(), QString("Finish"));
    }

    QTemporaryDir dir_;
    std::unique_ptr<TWizardApp> app_;
    TMainForm* form_ = nullptr;
    QList<QUrl> opened_;

    template <class T>
    T* Find(const char* name) const {
        auto* widget = form_->findChild<T*>(name);
        if (!widget) qFatal("no %s", name);
        return widget;
    }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    QString Page() const { return Find<QStackedWidget>("Pages")->currentWidget()->objectName(); }
    QList<TCreateListFrame*> Rows() const {
        return Find<QWidget>("CreateListContent")->findChildren<TCreateListFrame*>(Qt::FindDirectChildrenOnly);
    }
    void ChooseKind(TCreateListFrame* row, const QString& label) {
        auto* combo = row->findChild<QComboBox*>("ComboBox");
        const int index = combo->findText(label);
        QVERIFY(index >= 0);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    // Captions as shown, without their mnemonics' "&".
    static QString Caption(const QPushButton* button) { return QString(button->text()).remove('&'); }
    void ExpectButtons(const char* next, bool nextEnabled, bool backEnabled, bool closeEnabled) {
        QCOMPARE(Caption(Button("BtnNext")), QString(next));
        QCOMPARE(Button("BtnNext")->isEnabled(), nextEnabled);
        QCOMPARE(Caption(Button("BtnBack")), QString("Back"));
        QCOMPARE(Button("BtnBack")->isEnabled(), backEnabled);
        QCOMPARE(Caption(Button("BtnClose")), QString("Close"));
        QCOMPARE(Button("BtnClose")->isEnabled(), closeEnabled);
    }

private slots:
    // The skin's drawn sizes belong to an 11-pixel desktop font; SkinTest takes a larger one.
    void initTestCase() {
        QFont font = QApplication::font();
        font.setPixelSize(11);
        QApplication::setFont(font);
    }
    void init() {
        app_ = std::make_unique<TWizardApp>(IniSettings(dir_.path().toStdString()));
        QVERIFY(app_->Start(EmbeddedResources()));
        form_ = &app_->MainForm();
        opened_.clear();
        form_->Help().open = [this](const QUrl& url) {
            opened_ << url;
            return true;
        };
        form_->show();
    }
    void cleanup() { app_.reset(); }

    void FirstPageHasOneFloppyRowAndTheProductTitle() {
        QCOMPARE(form_->size(), QSize(572, 364));
        QCOMPARE(form_->windowTitle(), QString::fromUtf8("Halvex Quellmark 2005\u2122"));
        QCOMPARE(Page(), QString("CreateOptions"));
        ExpectButtons("Next", true, false, true);
        QCOMPARE(Rows().size(), 1);
        auto* combo = Rows()[0]->findChild<QComboBox*>("ComboBox");
        // The floppy stays first, saying so when this computer has no floppy drive; a row then
        // starts on a medium that can be made here.
        const bool floppyDrive = DescribeHostDrive(DefaultFloppyDevice()).has_value();
        QCOMPARE(combo->itemText(0), floppyDrive ? QString("Floppy disk (drive A:)")
                                                 : QString("Floppy disk (no floppy drive found)"));
        if (floppyDrive) QCOMPARE(combo->currentIndex(), 0);
        else QVERIFY(combo->currentIndex() > 0);
        QCOMPARE(combo->itemText(combo->count() - 1), QString("Image recorder (Save CD image as ISO file)"));
        QCOMPARE(Rows()[0]->size(), QSize(433, 24));
    }

    void RecorderOnlyListShowsTheCdPanelAlone() {
        ChooseKind(Rows()[0], "Image recorder (Save CD image as ISO file)");
        Button("BtnNext")->click();
        QCOMPARE(Page(), QString("ProgramOptions"));
        ExpectButtons("Next", true, true, true);
        QVERIFY(Find<QWidget>("PanelCDBoot")->isVisible());
        QVERIFY(!Find<QWidget>("PanelFloppyBoot")->isVisible());
        // Without Windows there is no MS-DOS to take: the CD offers the floppy's boot systems.
        auto* cdOs = Find<QWidget>("PanelCDBoot")->findChild<QComboBox*>("ComboBoxCdOS");
        QVERIFY(cdOs && cdOs->isVisible());
        auto* floppyOs = Find<QComboBox>("ComboBoxOS");
        QStringList cdChoices, floppyChoices;
        for (int i = 0; i < cdOs->count(); ++i) cdChoices << cdOs->itemText(i);
        for (int i = 0; i < floppyOs->count(); ++i) floppyChoices << floppyOs->itemText(i);
        QCOMPARE(cdChoices, floppyChoices);
        QCOMPARE(cdOs->currentText(), QString("Rx-Dos"));
    }

    void MixedListShowsBothPanels() {
        ChooseKind(Rows()[0], "Image recorder (Save CD image as ISO file)");
        Find<QToolButton>("BtnAdd")->click();
        QCOMPARE(Rows().size(), 2);
        // A floppy row needs a floppy drive; the floppy image takes the same boot system.
        ChooseKind(Rows()[1], "Image recorder (Save floppy image as IMG file)");
        Button("BtnNext")->click();
        QVERIFY(Find<QWidget>("PanelCDBoot")->isVisible());
        QVERIFY(Find<QWidget>("PanelFloppyBoot")->isVisible());
    }

    void BackFromPageStartRestoresNext() {
        Button("BtnNext")->click();
        Button("BtnNext")->click();
        QCOMPARE(Page(), QString("PageStart"));
        ExpectButtons("Create", true, true, true);
        Button("BtnBack")->click();
        QCOMPARE(Page(), QString("ProgramOptions"));
        ExpectButtons("Next", true, true, true);
        Button("BtnBack")->click();
        QCOMPARE(Page(), QString("CreateOptions"));
        ExpectButtons("Next", true, false, true);
    }

    void ParametersWithAControlCharacterAreRefused() {
        Button("BtnNext")->click();
        Find<QLineEdit>("CommandLine")->setText("/quick\x1A");
        TModalAnswerer answerer;
        answerer.Then(Click("BtnMid"));
        Button("BtnNext")->click();
        QCOMPARE(answerer.seen,
                 QStringList{"The command line parameters must not contain line breaks or control characters. Refused: the "
                             "control character U+001A at position 7 (selected in the box)."});
        QCOMPARE(Page(), QString("ProgramOptions"));
    }

    void F1OpensTheTopicOfThePageShown() {
        QTest::keyClick(form_, Qt::Key_F1);
        Button("BtnNext")->click();
        QTest::keyClick(Find<QListWidget>("ChkOptions"), Qt::Key_F1);
        QCOMPARE(opened_.size(), 2);
        QVERIFY(opened_[0].toLocalFile().endsWith("/help/Choosingthebootabledevice.htm"));
        QVERIFY(opened_[1].toLocalFile().endsWith("/help/Sanitizingoptions.htm"));
        QVERIFY(QFile::exists(opened_[1].toLocalFile()));
        emit Find<QLabel>("HyperLink1")->linkActivated("#");
        QCOMPARE(opened_.size(), 3);
        QVERIFY(opened_[2].toLocalFile().endsWith("/help/Commandlineparameters.htm"));
        QVERIFY(QFile::exists(opened_[2].toLocalFile()));
    }

    void HelpMenuOpensTopicsFilesAndTheAboutBox() {
        const auto actions = Find<QMenu>("PopupHelp")->actions();
        QStringList captions;
        for (auto* action : actions) captions << action->text();
        QCOMPARE(captions, (QStringList{"Help Contents", "Help", "Frequently Asked Questions", "", "Technical Support",
                                        "", "About", "Halvex Quellmark 2005 on the Web"}));
        for (int i : {0, 1, 2, 4, 7}) actions[i]->trigger();
        TModalAnswerer answerer;
        const auto followLink = [](QDialog& about) {
            emit about.findChild<QLabel*>("LinkFreeSoftware")->linkActivated("#");
        };
        answerer.Then(Click("BtnSupport")).Then(Click("BtnLicense")).Then(followLink).Then(Click("BtnOK"));
        actions[6]->trigger();
        QCOMPARE(answerer.seen, (QStringList{"AboutForm", "AboutForm", "AboutForm", "AboutForm"}));
        QStringList files;
        for (const auto& url : opened_) {
            if (!url.isLocalFile()) {
                files << url.toString();
                continue;
            }
            QVERIFY2(QFile::exists(url.toLocalFile()), qPrintable(url.toLocalFile()));
            files << QFileInfo(url.toLocalFile()).fileName();
        }
        // The web entry's internet shortcut opens the address it holds, not the file.
        QCOMPARE(files, (QStringList{"index.htm", "Choosingthebootabledevice.htm", "FAQ.htm",
                                     "ContactingHalvexLabs.htm", "https://www.halvexlabs.example/quellmark",
                                     "ContactingHalvexLabs.htm", "license.txt", "gpl-3.0.txt"}));
        // The program's own licence is the GPL, apart from the product's agreement.
        QFile gpl(opened_.last().toLocalFile());
        QVERIFY(gpl.open(QIODevice::ReadOnly));
        QVERIFY(gpl.readLine().trimmed() == "GNU GENERAL PUBLIC LICENSE");
    }

    // A desktop without a handler: the wizard shows the topic itself, its links followed; the user is
    // told of the web address it could not open.
    void HelpOpensWhenNothingCanOpenIt() {
        form_->Help().open = [](const QUrl&) { return false; };
        QStringList titles;
        TModalAnswerer answerer;
        answerer.Then(Click("BtnMid")).Then([&titles](QDialog& viewer) {
            titles << viewer.windowTitle();
            viewer.findChild<QTextBrowser*>("ViewerText")->setSource(QUrl("FAQ.htm"));  // as its link does
            titles << viewer.windowTitle();
            viewer.accept();
        });
        Find<QMenu>("PopupHelp")->actions().last()->trigger();
        QTest::keyClick(form_, Qt::Key_F1);
        QCOMPARE(answerer.seen, (QStringList{"Nothing on this computer can open https://www.halvexlabs.example/quellmark",
                                             "TextViewer"}));
        QCOMPARE(titles, (QStringList{"Choosing the bootable device - Halvex Quellmark 2005 boot disk creator",
                                      "Frequently asked questions - Halvex Quellmark 2005 boot disk creator"}));
    }

    // Past six rows the list scrolls: each new row is brought into sight once laid out.
    void ANewRowIsScrolledIntoView() {
        auto* viewport = Find<QScrollArea>("ScrollCreateList")->viewport();
        for (int i = 0; i < 9; ++i) {
            Find<QToolButton>("BtnAdd")->click();
            QCoreApplication::processEvents();
            auto* row = Rows().back();
            const QRect shown(row->mapTo(viewport, QPoint(0, 0)), row->size());
            QVERIFY2(viewport->rect().contains(shown), qPrintable(QString("row %1").arg(Rows().size())));
        }
    }

    // Tab reaches the quantity, the kind list and the image buttons, and the focus shows on each;
    // the image buttons say what they do.
    void KeyboardFocusShowsAndImageButtonsAreNamed() {
        const std::pair<const char*, const char*> named[] = {
            {"BtnAdd", "Add a row"}, {"BtnRemove", "Remove the selected row"}, {"BtnClear", "Clear the list"},
            {"BtnHelp", "Help"}};
        for (const auto& [name, text] : named) {
            QCOMPARE(Find<QToolButton>(name)->toolTip(), QString(text));
            QCOMPARE(Find<QToolButton>(name)->accessibleName(), QString(text));
        }
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_));
        auto* row = Rows()[0];
        const QList<QWidget*> controls = {row->findChild<QComboBox*>("ComboBox"), Find<QToolButton>("BtnAdd"),
                                          Find<QToolButton>("BtnClear"), Find<QToolButton>("BtnHelp")};
        for (auto* control : controls) {
            QVERIFY2(control->focusPolicy() & Qt::TabFocus, qPrintable(control->objectName()));
            Button("BtnNext")->setFocus(Qt::TabFocusReason);
            const QImage unfocused = control->grab().toImage();
            control->setFocus(Qt::TabFocusReason);
            QVERIFY(control->hasFocus());
            QVERIFY2(control->grab().toImage() != unfocused, qPrintable(control->objectName()));
        }
    }

    // A link is one tab stop, and the focus shows on it: Return after it is no surprise.
    void ALinkIsOneTabStopWithItsFocusShown() {
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_));
        Button("BtnNext")->click();
        auto* link = Find<QLabel>("HyperLink1");
        Find<QWidget>("ChkOptions")->setFocus(Qt::TabFocusReason);
        const QImage unfocused = link->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), link);
        QVERIFY(link->grab().toImage() != unfocused);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Find<QWidget>("CommandLine"));
    }

    // Each prompt comes with the copy it is for, in sight beside the prompt box.
    void ProgressPageNamesTheCopyInHand() {
        ChooseKind(Rows()[0], "Image recorder (Save CD image as ISO file)");
        Rows()[0]->findChild<QLineEdit*>("EditNrDisks")->setText("3");
        Button("BtnNext")->click();
        Button("BtnNext")->click();
        const auto copy = [this](const QString& text, TAnswer then) -> TAnswer {
            return [this, text, then](QDialog& prompt) {
                auto* label = Find<QLabel>("LabelCopy");
                QCOMPARE(label->text(), text);
                QVERIFY(label->isVisible());
                const QRect shown(label->mapToGlobal(QPoint(0, 0)), label->size());
                QVERIFY(!shown.intersects(prompt.frameGeometry()));
                then(prompt);
            };
        };
        TModalAnswerer answerer;
        answerer.Then(copy("copy 1 of 3: Image recorder (Save CD image as ISO file)", Click("BtnLeft")))
            .Then(SaveAs(dir_.filePath("a.iso")))
            .Then(copy("copy 2 of 3: Image recorder (Save CD image as ISO file)", Click("BtnRight")))
            .Then(Click("BtnLeft"));
        Button("BtnNext")->click();
        QVERIFY(answerer.AllAnswered());
        QCOMPARE(Find<QLabel>("LabelCongratulations")->text(), QString("Stopped: 1 of 3 copies made."));
    }

    // The cell is tidied when editing ends: clearing it to type 5 leaves 5, not 15.
    void QuantityCellKeepsItsRulesWhenEditingEnds() {
        auto* row = Rows()[0];
        auto* edit = row->findChild<QLineEdit*>("EditNrDisks");
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QString());
        QTest::keyClicks(edit, "5");
        QCOMPARE(edit->text(), QString("5"));
        QTest::keyClick(edit, Qt::Key_Up);
        QCOMPARE(edit->text(), QString("6"));
        QTest::keyClick(edit, Qt::Key_Down);
        QTest::keyClick(edit, Qt::Key_Down);
        QCOMPARE(edit->text(), QString("4"));
        edit->setText("a7");
        QCOMPARE(edit->text(), QString("7"));  // a letter is refused as it is typed
        edit->clear();
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), QString("1"));
        edit->setText("99");
        row->findChild<QToolButton*>("BtnInc1")->click();
        QCOMPARE(edit->text(), QString("99"));
        edit->setText("00");
        QCOMPARE(edit->text(), QString("00"));
        row->findChild<QToolButton*>("BtnInc1")->click();
        QCOMPARE(edit->text(), QString("1"));
        edit->setText("00");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), QString("1"));  // no row makes zero copies
        row->findChild<QToolButton*>("BtnDec1")->click();
        QCOMPARE(edit->text(), QString("1"));
    }

    // Scrolling the list over a closed kind list must not turn the row into another medium.
    void TheWheelOverAClosedKindListLeavesTheMedium() {
        auto* combo = Rows()[0]->findChild<QComboBox*>("ComboBox");
        QVERIFY(combo->count() > 1);
        const int chosen = combo->findText("Image recorder (Save floppy image as IMG file)");
        ChooseKind(Rows()[0], combo->itemText(chosen));
        const QPointF centre = combo->rect().center();
        for (const int delta : {-120, 120, -120}) {
            QWheelEvent wheel(centre, combo->mapToGlobal(centre), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(combo, &wheel);
        }
        QCOMPARE(combo->currentIndex(), chosen);
        Button("BtnNext")->click();
        QVERIFY(Find<QWidget>("PanelFloppyBoot")->isVisible());
        QVERIFY(!Find<QWidget>("PanelCDBoot")->isVisible());
    }

    void RemoveFollowsTheSelectionAndClearEmptiesTheList() {
        auto* remove = Find<QToolButton>("BtnRemove");
        QTRY_VERIFY(!remove->isEnabled());
        // The row added is the one selected; a press on another row's up button alone does not
        // select that row, one on its quantity does.
        Find<QToolButton>("BtnAdd")->click();
        Find<QToolButton>("BtnAdd")->click();
        QTRY_VERIFY(remove->isEnabled());
        QTest::mouseClick(Rows()[0]->findChild<QToolButton*>("BtnInc1"), Qt::LeftButton);
        remove->click();
        QCOMPARE(Rows().size(), 2);
        QCOMPARE(Rows()[0]->findChild<QLineEdit*>("EditNrDisks")->text(), QString("2"));
        QTest::mouseClick(Rows()[0]->findChild<QLineEdit*>("EditNrDisks"), Qt::LeftButton);
        remove->click();
        QCOMPARE(Rows().size(), 1);
        QCOMPARE(Rows()[0]->findChild<QLineEdit*>("EditNrDisks")->text(), QString("1"));
        TModalAnswerer answerer;
        answerer.Then(Click("BtnLeft"));  // Yes to Clear's question
        Find<QToolButton>("BtnClear")->click();
        QCOMPARE(answerer.seen, QStringList{"Remove every row of the list?"});
        QCOMPARE(Rows().size(), 0);
        QTRY_VERIFY(!Button("BtnNext")->isEnabled());
        QTRY_VERIFY(!Find<QToolButton>("BtnClear")->isEnabled());
        Button("BtnNext")->click();
        QCOMPARE(Page(), QString("CreateOptions"));
    }

    void TheListHoldsAtMost51Rows() {
        for (int i = 0; i < 60; ++i) Find<QToolButton>("BtnAdd")->click();
        QCOMPARE(Rows().size(), 51);
    }

    void FullRunMakesAnIsoFileAndCreateMoreKeepsTheRows() {
        const auto iso = dir_.filePath("boot.iso");
        ChooseKind(Rows()[0], "Image recorder (Save CD image as ISO file)");
        Button("BtnNext")->click();
        Find<QLineEdit>("CommandLine")->setText("/quick");
        Button("BtnNext")->click();
        ExpectButtons("Create", true, true, true);

        TModalAnswerer answerer;
        // The first prompt stands over the progress page, with every footer button disabled.
        const TAnswer checkProgressPage = [this](QDialog& prompt) {
            QCOMPARE(Page(), QString("Progress"));
            ExpectButtons("Next", false, false, false);
            QVERIFY(!Find<QToolButton>("BtnHelp")->isEnabled());
            Click("BtnLeft")(prompt);
        };
        answerer.Then(checkProgressPage).Then(SaveAs(iso));
        Button("BtnNext")->click();

        // The CD boots the payload's Rx-Dos: no MS-DOS folder is asked for.
        QVERIFY(answerer.AllAnswered());
        QCOMPARE(answerer.seen, (QStringList{"Please select the location for the image file", "SaveDialog"}));
        QCOMPARE(Page(), QString("Finish"));
        ExpectButtons("Next", true, false, true);
        QVERIFY(Find<QToolButton>("BtnHelp")->isEnabled());
        QCOMPARE(Find<QProgressBar>("ProgressBar")->value(), 100);
        QCOMPARE(Find<QLabel>("LabelCongratulations")->text(),
                 QString("Congratulations! Your boot disk is now ready to be used."));
        QFile image(iso);
        QVERIFY(image.open(QIODevice::ReadOnly));
        const auto bytes = image.readAll();
        QCOMPARE(bytes.size(), 1'515'520);
        QCOMPARE(bytes.mid(16 * 2048 + 1, 5), QByteArray("CD001"));
        QCOMPARE(bytes.mid(17 * 2048 + 7, 23), QByteArray("EL TORITO SPECIFICATION"));
        QVERIFY(bytes.mid(20 * 2048, 512).contains("RXDOSBIOSYS"));  // the boot sector loads Rx-Dos

        QVERIFY(Find<QRadioButton>("ChkMoreDisks")->isChecked());
        Button("BtnNext")->click();
        QCOMPARE(Page(), QString("CreateOptions"));
        ExpectButtons("Next", true, false, true);
        QCOMPARE(Rows().size(), 1);
        QCOMPARE(Rows()[0]->findChild<QComboBox*>("ComboBox")->currentText(),
                 QString("Image recorder (Save CD image as ISO file)"));
    }

    void CancelThenYesStopsTheRunAtFinish() {
        QStringList seen;
        StopOnTheFinishPage(&seen);
        QCOMPARE(seen, (QStringList{"Please select the location for the image file",
                                    "Do you want to stop the process ?"}));
        QCOMPARE(Page(), QString("Finish"));
        QCOMPARE(Find<QLabel>("LabelCongratulations")->text(), QString("Stopped: no copy was made."));
    }

    // Escape or the frame's close button on the prompt is Cancel: the stop question follows, and
    // no write (here, the save dialog of the image) ever starts.
    void ClosingThePromptIsCancelNeverAWrite() {
        ChooseKind(Rows()[0], "Image recorder (Save CD image as ISO file)");
        const TAnswer escape = [](QDialog& prompt) {
            QTimer::singleShot(0, &prompt, [&prompt] { QTest::keyClick(&prompt, Qt::Key_Escape); });
        };
        for (const auto& close : {escape, CloseFrame()}) {
            Button("BtnNext")->click();
            Button("BtnNext")->click();
            TModalAnswerer answerer;
            answerer.Then(close).Then(Click("BtnLeft")).Then(CloseFrame());
            Button("BtnNext")->click();
            QCOMPARE(answerer.seen, (QStringList{"Please select the location for the image file",
                                                 "Do you want to stop the process ?"}));
            QCOMPARE(Page(), QString("Finish"));
            Button("BtnNext")->click();  // create more
        }
    }

    // Return on the finish page's choice is Next, also under a platform theme whose radio buttons
    // take Return themselves (GTK's: ctest plays this test under it on a virtual display too).
    void ReturnOnTheFinishChoiceIsNextOnEveryTheme() {
        if (qEnvironmentVariable("QT_QPA_PLATFORMTHEME") == "gtk3") {
            QRadioButton probe;
            bool pressed = false;
            connect(&probe, &QRadioButton::pressed, this, [&pressed] { pressed = true; });
            QTest::keyClick(&probe, Qt::Key_Return);
            if (!pressed) QSKIP("the GTK platform theme is not installed (qt6-gtk-platformtheme)");
        }
        StopOnTheFinishPage();
        QTest::keyClick(Find<QRadioButton>("ChkMoreDisks"), Qt::Key_Return);
        QCOMPARE(Page(), QString("CreateOptions"));
    }

    void ExitOnFinishClosesTheWindowAndSavesTheOptions() {
        auto* options = Find<QListWidget>("ChkOptions");
        const bool first = options->item(0)->checkState() == Qt::Checked;
        options->item(0)->setCheckState(first ? Qt::Unchecked : Qt::Checked);
        StopOnTheFinishPage();
        Find<QRadioButton>("ChkExit")->setChecked(true);
        Button("BtnNext")->click();
        QVERIFY(!form_->isVisible());

        app_.reset();
        init();
        QCOMPARE(Find<QListWidget>("ChkOptions")->item(0)->checkState() == Qt::Checked, !first);
    }
};

}  // namespace bootdisk

QTEST_MAIN(bootdisk::GuiTest)
#include "GuiTest.moc"
