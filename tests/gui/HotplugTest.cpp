// SPDX-License-Identifier: GPL-3.0-or-later
// The wizard's list with a stand-in for the system's disk service: sticks plugged in and taken
// away while the list is shown, and a run that unmounts the chosen stick before writing it.
#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <fcntl.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "base/Streams.h"
#include "gui/Gui.h"
#include "gui/ListFrame.h"
#include "gui/WizardApp.h"
#include "gui/support/ModalAnswerer.h"
#include "platform/HostDrives.h"
#include "platform/Resources.h"
#include "support/StandinBus.h"

namespace bootdisk {

using namespace test;

const QString kStick = "Removable storage device (Standin Stick sdx, 8.4 MB, /dev/sdx, mounted at /media/user/STICK)";
const QString kOther = "Removable storage device (Standin Stick sdy, 8.4 MB, /dev/sdy)";

class HotplugTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<TStandinBus> bus_;
    std::unique_ptr<TWizardApp> app_;
    TMainForm* form_ = nullptr;

    QComboBox* Kinds(int row) const {
        return form_->findChild<QWidget*>("CreateListContent")
            ->findChildren<TCreateListFrame*>(Qt::FindDirectChildrenOnly)
            .at(row)
            ->findChild<QComboBox*>("ComboBox");
    }
    QStringList Labels(int row) const {
        QStringList labels;
        for (int i = 0; i < Kinds(row)->count(); ++i) labels << Kinds(row)->itemText(i);
        return labels;
    }
    QString Notice() const { return form_->findChild<QLabel*>("LabelDrivesNotice")->text(); }
    // Next from the list, past the options and the ready page: the run starts.
    void StartRun() {
        auto* next = form_->findChild<QPushButton*>("BtnNext");
        for (int page = 0; page < 3; ++page) next->click();
    }

private slots:
    void init() {
        bus_ = std::make_unique<TStandinBus>();
        if (!bus_->Missing().empty()) QSKIP(bus_->Missing().c_str());
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", bus_->Address().c_str(), 1);
        app_ = std::make_unique<TWizardApp>(IniSettings(dir_.path().toStdString()));
        QVERIFY(app_->Start(EmbeddedResources()));
        form_ = &app_->MainForm();
        form_->show();
    }
    void cleanup() {
        app_.reset();
        bus_.reset();
        ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    }

    void RowsKeepTheirStickAndOneTakenAwayIsMarkedNeverAnother() {
        QCOMPARE(Labels(0).size(), 4);  // the floppy, the network boot folder and the two image recorders
        QVERIFY(Notice().contains("Plug in a USB stick"));
        Save(*form_, "hotplug-no-stick.png");

        const auto stick = bus_->Scratch("stick.img", 8 * 1024 * 1024);
        bus_->AddDrive("sdx", stick, "/media/user/STICK", true, false);
        QTRY_VERIFY(Labels(0).contains(kStick));
        QCOMPARE(Notice(), QString());
        QCOMPARE(Labels(0).size(), 5);
        Kinds(0)->setCurrentIndex(1);
        emit Kinds(0)->activated(1);
        form_->findChild<QToolButton*>("BtnAdd")->click();
        // Without a floppy drive a new row starts on the first stick.
        QCOMPARE(Kinds(1)->currentIndex(), DescribeHostDrive(DefaultFloppyDevice()) ? 0 : 1);
        Kinds(1)->setCurrentIndex(0);
        emit Kinds(1)->activated(0);
        Save(*form_, "hotplug-mounted-stick.png");
        // Longer than its list, the stick's label is shortened in the middle and whole in its tooltip.
        QCOMPARE(Kinds(0)->toolTip(), kStick);
        Kinds(0)->showPopup();
        Save(*Kinds(0)->view()->window(), "hotplug-mounted-stick-list.png");
        Kinds(0)->hidePopup();

        bus_->AddDrive("sdy", bus_->Scratch("other.img", 8 * 1024 * 1024), "", true, false);
        QTRY_VERIFY(Labels(1).contains(kOther));
        QCOMPARE(Kinds(0)->currentText(), kStick);

        // Taken away, and another stick comes at the same device: the row is not turned to it.
        bus_->RemoveDrive("sdx");
        bus_->AddDrive("sdx", bus_->Scratch("third.img", 8 * 1024 * 1024), "", true, false);
        QTRY_COMPARE(Kinds(0)->currentText(), "Removed: " + kStick);
        QCOMPARE(Kinds(0)->toolTip(), "Removed: " + kStick);
        QCOMPARE(Kinds(1)->currentIndex(), 0);
        QTRY_VERIFY(Labels(0).contains("Removable storage device (Standin Stick sdx, 8.4 MB, /dev/sdx)"));

        // The run skips the row with one message and writes nothing.
        QTest::mouseClick(Kinds(1), Qt::LeftButton);
        form_->findChild<QToolButton*>("BtnRemove")->click();
        TModalAnswerer answerer;
        answerer.Then(Click("BtnMid"));
        StartRun();
        QVERIFY(answerer.AllAnswered());
        QVERIFY(answerer.seen.front().startsWith("The drive of this row is no longer there"));
        QCOMPARE(bus_->Calls(), std::vector<std::string>{});
    }

    // The prompt names the mount points; the stick is unmounted, then written through the service.
    void TheChosenStickIsUnmountedAfterThePromptNamesItsMountPoints() {
        const auto stick = bus_->Scratch("stick.img", 8 * 1024 * 1024);
        bus_->AddDrive("sdx", stick, "/media/user/STICK", true, false);
        QTRY_VERIFY(Labels(0).contains(kStick));
        Kinds(0)->setCurrentIndex(1);
        emit Kinds(0)->activated(1);
        TModalAnswerer answerer;
        answerer.Then(Screenshot("hotplug-prompt-unmount.png", Click("BtnLeft")));
        StartRun();
        QVERIFY(answerer.AllAnswered());
        QVERIFY(answerer.seen.front().contains("Its file systems will be unmounted first: /media/user/STICK"));
        const std::string flags = " flags=" + std::to_string(O_EXCL | O_CLOEXEC);
        const std::vector<std::string> expected = {"Unmount /dev/sdx1", "OpenDevice /dev/sdx rw" + flags,
                                                   "OpenDevice /dev/sdx r" + flags};
        QCOMPARE(bus_->Calls(), expected);
        QCOMPARE(ReadWholeFile(stick).at(36), std::uint8_t{0x80});
    }

    // A disk service that answers late, as while it asks the user for authorisation, never holds the
    // window up: a stick still comes through its word, and the progress page says what it waits for.
    void ASlowServiceNeverHoldsTheWindowUp() {
        const auto stick = bus_->Scratch("stick.img", 8 * 1024 * 1024);
        bus_->AnswerAfter("GetManagedObjects", 3);  // within a question's time limit
        bus_->AnswerAfter("Unmount", 5);
        bus_->AnswerAfter("OpenDevice", 5);
        bus_->AddDrive("sdx", stick, "/media/user/STICK", true, false);
        qint64 longest = 0;
        QStringList shown;
        QElapsedTimer since;
        QTimer beat;
        beat.setInterval(10);
        connect(&beat, &QTimer::timeout, this, [&] {
            const auto gap = since.restart();
            // Once the drive is open, writing it is the run's own work, not a wait for the service.
            if (bus_->Calls().size() < 2) longest = std::max(longest, gap);
            const auto copy = form_->findChild<QLabel*>("LabelCopy")->text();
            if (shown.isEmpty() || shown.back() != copy) shown << copy;
        });
        since.start();
        beat.start();

        QTRY_VERIFY_WITH_TIMEOUT(Labels(0).contains(kStick), 20000);
        Kinds(0)->setCurrentIndex(1);
        emit Kinds(0)->activated(1);
        bus_->AnswerAfter("GetManagedObjects", 0.2);  // the run's many questions; its waits are the two above
        since.restart();                              // the test's own wait for the stand-in
        TModalAnswerer answerer;
        answerer.Then(Click("BtnLeft"));
        StartRun();
        beat.stop();
        qInfo("longest stall of the window's thread: %lld ms", longest);
        QVERIFY(answerer.AllAnswered());
        // Far above a loaded machine's scheduling gaps, far below the service's shortest wait of 3 s.
        QVERIFY2(longest <= 1000, qPrintable(QString("the window's thread stalled %1 ms").arg(longest)));
        QVERIFY2(shown.contains("Waiting for permission to write /dev/sdx..."), qPrintable(shown.join(" | ")));
        QCOMPARE(ReadWholeFile(stick).at(36), std::uint8_t{0x80});
    }

private:
    static void Save(QWidget& widget, const char* name) {
        QTest::qWait(50);
        QVERIFY(widget.grab().save(ScreenshotPath(name)));
    }
};

}  // namespace bootdisk

QTEST_MAIN(bootdisk::HotplugTest)
#include "HotplugTest.moc"
