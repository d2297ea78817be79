// SPDX-License-Identifier: GPL-3.0-or-later
// The message box's three layouts, its answers and where it stands.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "base/StrConst.h"
#include "gui/CoolMsg.h"
#include "gui/support/ModalAnswerer.h"
#include "platform/Dialogs.h"

namespace bootdisk {

using namespace test;

class CoolMsgTest : public QObject {
    Q_OBJECT
    const TStringTable texts_;
    QWidget owner_;

    // Checks the open box, then gives the answer.
    static TAnswer Inspect(std::function<void(QDialog&)> check, TAnswer then) {
        return [check, then](QDialog& box) {
            check(box);
            then(box);
        };
    }
    static bool Shown(QDialog& box, const char* button) { return !box.findChild<QPushButton*>(button)->isHidden(); }

private slots:
    void initTestCase() {
        owner_.setGeometry(100, 80, 572, 364);
        owner_.show();
    }

    void InformationShowsOneOkButtonCentredOverTheMainWindow() {
        TModalAnswerer answerer;
        answerer.Then(Inspect(
            [this](QDialog& box) {
                QCOMPARE(box.size(), QSize(306, 106));
                QCOMPARE(box.windowTitle(), QString::fromUtf8("Halvex Quellmark 2005\u2122"));
                QVERIFY(Shown(box, "BtnMid") && !Shown(box, "BtnLeft") && !Shown(box, "BtnRight"));
                QCOMPARE(box.findChild<QPushButton*>("BtnMid")->text(), QString("OK"));
                QCOMPARE(box.findChild<QPushButton*>("BtnMid")->geometry(), QRect(112, 69, 89, 25));
                const auto outer = owner_.frameGeometry(), inner = box.frameGeometry();
                QCOMPARE(inner.left(), outer.left() + (outer.width() - inner.width()) / 2);
                QCOMPARE(inner.top(), outer.top() + (outer.height() - inner.height()) / 2);
            },
            Click("BtnMid")));
        ShowCoolMessage(&owner_, texts_, "Line one\rline two");
        QCOMPARE(answerer.seen, QStringList{"Line one\nline two"});
    }

    // The keys a user presses out of habit: Return takes the box's default choice, Escape and the
    // frame the safe one.
    static TAnswer Press(Qt::Key key) {
        return [key](QDialog& box) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &box, key);
        };
    }

    void RetryAbortAnswers() {
        TModalAnswerer answerer;
        answerer.Then(Inspect(
                          [](QDialog& box) {
                              QCOMPARE(box.findChild<QPushButton*>("BtnLeft")->text(), QString("Retry"));
                              QCOMPARE(box.findChild<QPushButton*>("BtnRight")->text(), QString("Abort"));
                              QVERIFY(!Shown(box, "BtnMid"));
                          },
                          Click("BtnRight")))
            .Then(Click("BtnLeft"))
            .Then(CloseFrame())
            .Then(Press(Qt::Key_Escape));
        QCOMPARE(AskRetryAbort(&owner_, texts_, "x"), kAnswerAbort);
        QCOMPARE(AskRetryAbort(&owner_, texts_, "x"), kAnswerRetry);
        QCOMPARE(AskRetryAbort(&owner_, texts_, "closed through the frame"), kAnswerAbort);
        QCOMPARE(AskRetryAbort(&owner_, texts_, "Escape"), kAnswerAbort);
    }

    void TwoChoicesTakeTheCallersCaptionsAndDefaultAndTheFrameAnswersRight() {
        TModalAnswerer answerer;
        answerer.Then(Inspect(
                          [](QDialog& box) {
                              QCOMPARE(box.findChild<QPushButton*>("BtnLeft")->text(), QString("Yes"));
                              QCOMPARE(box.findChild<QPushButton*>("BtnRight")->text(), QString("No"));
                          },
                          Click("BtnRight")))
            .Then(Click("BtnLeft"))
            .Then(CloseFrame())
            .Then(Press(Qt::Key_Escape))
            .Then(Press(Qt::Key_Return))
            .Then(Inspect([](QDialog& box) { QVERIFY(box.findChild<QPushButton*>("BtnRight")->isDefault()); },
                          Press(Qt::Key_Return)));
        const auto ask = [this](TDefaultChoice choice = TDefaultChoice::Left) {
            return AskTwoChoices(&owner_, texts_, "Stop?", texts_[StrId::GENERIC_YES], texts_[StrId::GENERIC_NO],
                                 choice);
        };
        QCOMPARE(ask(), kAnswerRight);
        QCOMPARE(ask(), kAnswerLeft);
        QCOMPARE(ask(), kAnswerRight);
        QCOMPARE(ask(), kAnswerRight);
        QCOMPARE(ask(), kAnswerLeft);
        QCOMPARE(ask(TDefaultChoice::Right), kAnswerRight);
    }

    void ALongMessageMakesTheBoxTallerRatherThanCutIt() {
        std::string path;
        for (int i = 0; i < 30; ++i) path += "/folder" + std::to_string(i);
        TModalAnswerer answerer;
        answerer.Then(Inspect(
            [](QDialog& box) {
                auto* label = box.findChild<QLabel*>("LabelMsg");
                QVERIFY(box.height() > 106);
                QVERIFY(label->height() >= label->heightForWidth(label->width()));
                QCOMPARE(box.findChild<QPushButton*>("BtnMid")->geometry().top(), 69 + box.height() - 106);
            },
            Click("BtnMid")));
        ShowCoolMessage(&owner_, texts_, texts_[StrId::GUI_TEXTCANNOTCREATEFILE] + path);
    }

    void TheTrademarkSignAndAccentsShowAsTheyAre() {
        TModalAnswerer answerer;
        answerer.Then(Click("BtnMid"));
        ShowCoolMessage(&owner_, texts_, "Caf\u00E9 \u20AC " + texts_[StrId::PRODUCTTXT]);
        QCOMPARE(answerer.seen, QStringList{QString::fromUtf8("Caf\u00E9 \u20AC Halvex Quellmark 2005\u2122")});
    }
};

}  // namespace bootdisk

QTEST_MAIN(bootdisk::CoolMsgTest)
#include "CoolMsgTest.moc"
