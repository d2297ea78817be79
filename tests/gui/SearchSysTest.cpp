// SPDX-License-Identifier: GPL-3.0-or-later
// The folder dialog's rules as the user meets them: OK on a folder with or without the system
// files, Cancel answered No and Yes.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "base/StrConst.h"
#include "gui/GuiDialogs.h"
#include "gui/support/ModalAnswerer.h"

namespace bootdisk {

using namespace test;

class SearchSysTest : public QObject {
    Q_OBJECT
    const TStringTable texts_;
    QTemporaryDir dir_;
    QWidget owner_;
    std::unique_ptr<TGuiDialogs> dialogs_;

    QString Folder(const char* name, bool withCommand) {
        const auto path = dir_.filePath(name);
        QDir().mkpath(path);
        for (const char* file : {"IO.SYS", "COMMAND.COM"}) {
            if (!withCommand && QString(file) == "COMMAND.COM") continue;
            QFile f(path + "/" + file);
            if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", file);
        }
        return path;
    }

private slots:
    void init() {
        owner_.show();
        dialogs_ = std::make_unique<TGuiDialogs>(texts_, RealHost());
        dialogs_->SetMainWindow(&owner_);
    }

    void AFolderWithBothFilesIsTakenWithASeparatorAppended() {
        const auto folder = Folder("dos", true);
        TModalAnswerer answerer;
        answerer.Then(ChooseFolder(folder));
        const auto chosen = dialogs_->AskSystemFolder();
        QVERIFY(chosen.has_value());
        QCOMPARE(QString::fromStdString(*chosen), folder + "/");
    }

    void AFolderWithoutCommandComIsRefusedAndTheDialogStaysOpen() {
        const auto good = Folder("good", true);
        TModalAnswerer answerer;
        answerer.Then(ChooseFolder(Folder("half", false))).Then(Click("BtnMid")).Then(ChooseFolder(good));
        const auto chosen = dialogs_->AskSystemFolder();
        QCOMPARE(answerer.seen, (QStringList{"SearchSysForm", "There is no system files.", "SearchSysForm"}));
        QCOMPARE(QString::fromStdString(chosen.value()), good + "/");
    }

    void CancelAnsweredNoKeepsTheDialogAndYesCloses() {
        TModalAnswerer answerer;
        answerer.Then(Click("BtnCancel")).Then(Click("BtnRight")).Then(CloseFrame()).Then(Click("BtnLeft"));
        QVERIFY(!dialogs_->AskSystemFolder().has_value());
        QCOMPARE(answerer.seen,
                 (QStringList{"SearchSysForm", "Are you sure?", "SearchSysForm", "Are you sure?"}));
    }
};

}  // namespace bootdisk

QTEST_MAIN(bootdisk::SearchSysTest)
#include "SearchSysTest.moc"
