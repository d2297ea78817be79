// SPDX-License-Identifier: GPL-3.0-or-later
// The wizard's scenarios played on the Qt wizard in this process: the scenarios run on a thread
// of their own, and every step reaches the windows through the event loop, so a modal box a step
// opens runs its own loop while the scenario reads and answers it.
#include <QAbstractButton>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QWheelEvent>
#include <QtTest>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "gui/CoolMsg.h"
#include "gui/Gui.h"
#include "gui/QtText.h"
#include "gui/SearchSys.h"
#include "gui/WizardApp.h"
#include "gui/support/ModalAnswerer.h"
#include "platform/HostDrives.h"
#include "platform/Resources.h"
#include "scenarios/WizardDriver.h"
#include "support/StandinBus.h"
#include "support/TestSupport.h"

namespace bootdisk {

using namespace test;
using namespace std::chrono_literals;

class TQtDriver : public IWizardDriver {
public:
    void Start(const std::string& language) override {
        OnGui([this, language] {
            dir_ = std::make_unique<QTemporaryDir>();
            app_ = std::make_unique<TWizardApp>(IniSettings(dir_->path().toStdString()));
            if (!app_->Start(EmbeddedResources(), std::nullopt,
                             language.empty() ? std::nullopt : std::optional<std::string>(language)))
                qFatal("the wizard did not start");
            form_ = &app_->MainForm();
            // A desktop without a help viewer.
            form_->Help().open = [](const QUrl&) { return false; };
            form_->show();
            form_->activateWindow();
            if (!QTest::qWaitForWindowActive(form_)) qFatal("the wizard's window is not active");
        });
    }

    void Stop() override {
        // A scenario that failed may leave boxes open: each is closed through its frame, which
        // takes the safe answer, until the run has ended, and only then does the wizard go. The
        // stop question that closing a prompt brings is answered Yes, which ends the run.
        bool prompted = false;
        for (int i = 0; i < 50 && OnGui([] { return QApplication::activeModalWidget() != nullptr; }); ++i)
            Post([&prompted] {
                auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (!modal) return;
                const auto* label = modal->findChild<QLabel*>("LabelMsg");
                const bool stop = label && label->text() == Ui(TStringTable()[StrId::GUI_TEXTSTOPCONFIRMATION]);
                if (stop && prompted) modal->findChild<QAbstractButton*>("BtnLeft")->click();
                else modal->reject();
                prompted = !stop;
            });
        OnGui([this] {
            form_ = nullptr;
            app_.reset();
            dir_.reset();
        });
        for (const auto sticks = sticks_; const auto& stick : sticks) PullStick(stick);
    }

    bool Ended() override { return OnGui([this] { return !form_->isVisible(); }); }
    bool OwnProcess() const override { return false; }
    bool HasFloppyDrive() override { return DescribeHostDrive(DefaultFloppyDevice()).has_value(); }
    bool CdAsksMsDosFolder() override { return false; }
    std::string ScratchFolder() override { return dir_->path().toStdString() + "/"; }
    std::string MsDosFolder() override { return BOOTDISK_BIN_DIR "/demo-dos"; }
    bool FileExists(const std::string& path) override { return QFile::exists(QString::fromStdString(path)); }
    std::string LanguageFolder() override { return BOOTDISK_BIN_DIR "/"; }
    std::string FloppyImageFile(const std::string& image, const std::string& name) override {
        const auto copy = ScratchFolder() + "mcopy.out";
        QFile::remove(QString::fromStdString(copy));
        if (test::RunCommand("mcopy -n -i " + test::Quoted(image) + " ::" + name + " " + test::Quoted(copy)) != 0)
            return {};
        QFile file(QString::fromStdString(copy));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }
    bool PlugStick(const std::string& name, const std::string& mountPoint) override {
        if (!bus_) return false;
        bus_->AddDrive(name, bus_->Scratch(name + ".img", 8 * 1024 * 1024), mountPoint, true, false);
        sticks_.push_back(name);
        return true;
    }
    void PullStick(const std::string& name) override {
        bus_->RemoveDrive(name);
        std::erase(sticks_, name);
    }
    std::vector<std::string> Items(TControlRef control) override {
        return OnGui([this, control] {
            std::vector<std::string> items;
            if (auto* combo = qobject_cast<QComboBox*>(form_->Control(control)))
                for (int i = 0; i < combo->count(); ++i) items.push_back(FromUi(combo->itemText(i)));
            return items;
        });
    }
    // The system's disk service, stood in for, when this machine can run the stand-in.
    void UseStandinBus(TStandinBus* bus) { bus_ = bus; }

    void Press(TKey key) override {
        Reactivate();
        static const std::map<TKey, Qt::Key> keys = {{TKey::Tab, Qt::Key_Tab},       {TKey::Space, Qt::Key_Space},
                                                     {TKey::Return, Qt::Key_Return}, {TKey::Escape, Qt::Key_Escape},
                                                     {TKey::F1, Qt::Key_F1},         {TKey::Up, Qt::Key_Up},
                                                     {TKey::Down, Qt::Key_Down},     {TKey::End, Qt::Key_End},
                                                     {TKey::Delete, Qt::Key_Delete}};
        Post([this, key = keys.at(key)] { QTest::keyClick(Focused(), key); });
    }
    void Type(const std::string& text) override {
        Reactivate();
        // A key Qt's test keyboard has no key for (é, Ω) comes as the text of an unknown key, as an
        // input method gives it.
        Post([this, text = Ui(text)] {
            for (const QChar c : text) {
                if (c.unicode() < 0x80) QTest::keyClick(Focused(), c.toLatin1());
                else QTest::sendKeyEvent(QTest::Click, Focused(), Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        });
    }
    void Click(TControlRef control) override {
        Post([this, control] {
            if (auto* button = qobject_cast<QAbstractButton*>(form_->Control(control))) button->click();
        });
    }
    void Wheel(TControlRef control, int notches) override {
        Post([this, control, notches] {
            auto* widget = form_->Control(control);
            const QPointF centre = widget->rect().center();
            QWheelEvent wheel(centre, widget->mapToGlobal(centre), {}, {0, notches * 120}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(widget, &wheel);
        });
    }
    void CloseMainWindow() override {
        Post([this] { form_->close(); });
    }

    TPage Page() override {
        return OnGui([this] { return TPage(form_->findChild<QStackedWidget*>("Pages")->currentIndex()); });
    }
    TControlRef Focus() override {
        Reactivate();
        return OnGui([this] { return form_->RoleOf(QApplication::focusWidget()); });
    }
    bool Enabled(TControlRef control) override {
        return OnGui([this, control] { return form_->Control(control)->isEnabled(); });
    }
    bool Shown(TControlRef control) override {
        return OnGui([this, control] {
            auto* widget = form_->Control(control);
            if (!widget || !widget->isVisible()) return false;
            if (control.role != TRole::EditNrDisks && control.role != TRole::ComboBox) return true;
            auto* viewport = form_->findChild<QScrollArea*>("ScrollCreateList")->viewport();
            return viewport->rect().contains(QRect(widget->mapTo(viewport, QPoint(0, 0)), widget->size()));
        });
    }
    std::string Text(TControlRef control) override {
        return OnGui([this, control] {
            auto* widget = form_->Control(control);
            if (auto* button = qobject_cast<QAbstractButton*>(widget)) return FromUi(button->text());
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) return FromUi(edit->text());
            if (auto* combo = qobject_cast<QComboBox*>(widget)) return FromUi(combo->currentText());
            std::string states;
            if (auto* list = qobject_cast<QListWidget*>(widget))
                for (int i = 0; i < list->count(); ++i) states += list->item(i)->checkState() == Qt::Checked ? '1' : '0';
            return states;
        });
    }
    std::string Label(TLabel label) override {
        static const std::map<TLabel, const char*> names = {{TLabel::DrivesNotice, "LabelDrivesNotice"},
                                                            {TLabel::Copy, "LabelCopy"},
                                                            {TLabel::FinishTitle, "LabelCongratulations"},
                                                            {TLabel::Made, "LabelMade"}};
        return OnGui([this, name = names.at(label)] { return FromUi(form_->findChild<QLabel*>(name)->text()); });
    }
    std::size_t Rows() override { return OnGui([this] { return form_->Presenter().List().Rows().size(); }); }
    std::vector<std::string> ShownTexts() override {
        return OnGui([] {
            std::vector<std::string> texts;
            const auto add = [&texts](const QString& text) {
                if (!text.isEmpty()) texts.push_back(text.toStdString());
            };
            for (auto* window : QApplication::topLevelWidgets()) {
                if (!window->isVisible() || qobject_cast<QFileDialog*>(window)) continue;
                add(window->windowTitle());
                for (auto* widget : window->findChildren<QWidget*>()) {
                    if (!widget->isVisible()) continue;
                    add(widget->toolTip());
                    add(widget->accessibleName());
                    if (auto* label = qobject_cast<QLabel*>(widget))
                        add(QTextDocumentFragment::fromHtml(label->text()).toPlainText());
                    if (auto* button = qobject_cast<QAbstractButton*>(widget)) add(button->text());
                    if (auto* combo = qobject_cast<QComboBox*>(widget))
                        for (int i = 0; i < combo->count(); ++i) add(combo->itemText(i));
                    if (auto* list = qobject_cast<QListWidget*>(widget))
                        for (int i = 0; i < list->count(); ++i) add(list->item(i)->text());
                    if (auto* menu = qobject_cast<QMenu*>(widget))
                        for (auto* action : menu->actions()) add(action->text());
                }
            }
            return texts;
        });
    }
    bool MainWindowEnabled() override {
        return OnGui([this] { return QApplication::activeModalWidget() == nullptr && form_->isEnabled(); });
    }

    std::string Dialog(int waitMilliseconds) override {
        for (int waited = 0;; waited += 50) {
            const auto shown = OnGui([] {
                auto* modal = QApplication::activeModalWidget();
                if (!modal || !modal->isVisible()) return std::string();
                if (qobject_cast<QFileDialog*>(modal)) return kSaveDialog;
                if (qobject_cast<TSearchSysForm*>(modal)) return kFolderDialog;
                if (modal->objectName() == "TextViewer") return kTextViewer;
                const auto* label = modal->findChild<QLabel*>("LabelMsg");
                return label ? FromUi(label->text()) : FromUi(modal->objectName());
            });
            if (!shown.empty() || waited >= waitMilliseconds) return shown;
            std::this_thread::sleep_for(50ms);
        }
    }
    void Answer(TBoxButton button) override {
        static const std::map<TBoxButton, const char*> names = {
            {TBoxButton::Left, "BtnLeft"}, {TBoxButton::Mid, "BtnMid"}, {TBoxButton::Right, "BtnRight"}};
        Post([button] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!box) return;
            if (button == TBoxButton::Frame) box->close();
            else box->findChild<QAbstractButton*>(names.at(button))->click();
        });
    }
    void AnswerSave(const std::string& path) override {
        Post([path] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (path.empty()) dialog->reject();
            else SaveAs(QString::fromStdString(path))(*dialog);
        });
    }
    void AnswerFolder(const std::string& folder) override {
        Post([folder] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (folder.empty()) dialog->findChild<QAbstractButton*>("BtnOK")->click();
            else ChooseFolder(QString::fromStdString(folder))(*dialog);
        });
    }
    void AnswerFolderCancel() override {
        Post([] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->findChild<QAbstractButton*>("BtnCancel")->click(); });
    }

private:
    // The offscreen platform has no window manager to give the main window back its activation
    // once a box has gone; this does, as one would.
    void Reactivate() {
        const bool inactive = OnGui([this] {
            const bool none = !QApplication::activeModalWidget() && !QApplication::activeWindow() && form_->isVisible();
            if (none) form_->activateWindow();
            return none;
        });
        if (inactive) OnGui([] {});
    }
    QWidget* Focused() const {
        if (auto* focus = QApplication::focusWidget()) return focus;
        if (auto* window = QApplication::activeWindow()) return window;
        return form_;
    }

    // Runs f on the event loop's thread and waits for its answer.
    template <class F>
    auto OnGui(F f) -> decltype(f()) {
        using T = decltype(f());
        if constexpr (std::is_void_v<T>) {
            QMetaObject::invokeMethod(qApp, f, Qt::BlockingQueuedConnection);
        } else {
            T answer{};
            QMetaObject::invokeMethod(qApp, [&] { answer = f(); }, Qt::BlockingQueuedConnection);
            return answer;
        }
    }
    // Hands f to the event loop without waiting for it to end (it may open a box), then waits until
    // it has run as far as it goes and the events it caused are handled.
    void Post(std::function<void()> f) {
        QMetaObject::invokeMethod(qApp, std::move(f), Qt::QueuedConnection);
        for (int i = 0; i < 3; ++i) {
            OnGui([] {});
            std::this_thread::sleep_for(20ms);
        }
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TWizardApp> app_;
    TMainForm* form_ = nullptr;
    TStandinBus* bus_ = nullptr;
    std::vector<std::string> sticks_;
};

class ScenarioTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QFont font = QApplication::font();
        font.setPixelSize(11);
        QApplication::setFont(font);
    }

    void EveryScenarioPlaysOnTheQtWizard() {
        TQtDriver driver;
        TStandinBus bus;
        if (bus.Missing().empty()) {
            ::setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.Address().c_str(), 1);
            driver.UseStandinBus(&bus);
        }
        int failed = -1;
        QEventLoop loop;
        std::thread scenarios([&] {
            failed = PlayScenarios(driver, "Qt", qEnvironmentVariable("BOOTDISK_SCENARIO").toStdString());
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        scenarios.join();
        ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        QCOMPARE(failed, 0);
    }
};

}  // namespace bootdisk

QTEST_MAIN(bootdisk::ScenarioTest)
#include "ScenarioTest.moc"
