// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wizard's main window: header, five pages, footer buttons and the help menu. It draws what
// the wizard presenter shows and forwards every event to it.
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "app/MediaSources.h"
#include "app/Startup.h"
#include "app/WizardPresenter.h"
#include "app/WizardView.h"
#include "gui/Help.h"
#include "gui/ListFrame.h"

class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QStackedWidget;
class QTimer;
class QToolButton;
class QVBoxLayout;

namespace bootdisk {

class ISettingsStore;
class TGuiDialogs;

class TMainForm : public QWidget, public IWizardView {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 572;
    static constexpr int kClientHeight = 364;

    TMainForm(TAppContext& app, TGuiDialogs& dialogs, ISettingsStore& settings);
    ~TMainForm() override;

    // The floppy, the writers found on this host, the removable drives and the image recorder;
    // built by the splash, the removable drives followed from then on.
    void BuildMediaKinds();

    TWizardPresenter& Presenter() { return *presenter_; }
    THelp& Help() { return help_; }
    // The control of a role, for the view and for whatever drives the window.
    QWidget* Control(TControlRef control) const;
    TControlRef RoleOf(const QWidget* widget) const;

    // IWizardView
    void ShowPage(TPage page) override;
    void ShowButton(TRole button, const TButton& state) override;
    void SetEnabled(TRole control, bool enabled) override;
    void ShowBootPanels(bool cd, bool floppy) override;
    void ShowKinds(const std::vector<TMediaKind>& kinds) override;
    void ShowRows(const std::vector<TCreateListRow>& rows, std::optional<std::size_t> selected) override;
    void ShowSelection(std::optional<std::size_t> selected) override;
    void ShowQuantity(std::size_t row, const std::string& text) override;
    void ScrollIntoView(std::size_t row) override;
    void ShowDrivesNotice(const std::string& text) override;
    void ShowCopy(const std::string& text) override;
    void ShowGauge(int percent) override;
    void ShowFinishTitle(const std::string& text) override;
    void ShowMade(const std::string& text) override;
    void ShowExitChoice(bool exit) override;
    void SelectParameters(std::size_t first, std::size_t count) override;
    TControlRef Focus() const override;
    void SetFocus(TControlRef control) override;
    void PopUpHelpMenu() override;
    void ShowAbout(const TAboutTexts& texts) override;
    std::optional<std::string> Open(const THelpTarget& target) override;
    void ShowText(const std::string& title, const std::string& text) override;
    bool ShowTopic(const THelpTarget& target) override;
    void Beep() override;
    bool Active() const override;
    void Attention(const std::string& text) override;
    void Repaint() override;
    void CloseWindow() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* MakeCreateOptionsPage();
    QWidget* MakeProgramOptionsPage();
    QWidget* MakePageStartPage();
    QWidget* MakeProgressPage();
    QWidget* MakeFinishPage();
    void MakeFooter();
    void MakeHelpMenu();
    std::size_t RowIndex(const TCreateListFrame* row) const;

    TAppContext& app_;
    TGuiDialogs& dialogs_;
    THelp help_;
    TMediaSources sources_;
    std::unique_ptr<TWizardPresenter> presenter_;
    std::vector<TMediaKind> kinds_;
    TRowNames rowNames_;
    bool closed_ = false;

    QStackedWidget* Pages;
    QPushButton* BtnClose;
    QPushButton* BtnBack;
    QPushButton* BtnNext;
    QToolButton* BtnHelp;
    QMenu* PopupHelp;
    QTimer* Timer1;
    QScrollArea* ScrollCreateList;
    QVBoxLayout* rowsLayout_;
    std::vector<TCreateListFrame*> rows_;
    QToolButton* BtnAdd;
    QToolButton* BtnRemove;
    QToolButton* BtnClear;
    QListWidget* ChkOptions;
    QLineEdit* CommandLine;
    QLabel* HyperLink1;
    QLabel* HyperLink2;
    QLabel* HyperLink4;
    QComboBox* ComboBoxOS;
    QComboBox* ComboBoxCdOS = nullptr;  // where a CD may boot another system than MS-DOS
    QFrame* PanelCDBoot;
    QFrame* PanelFloppyBoot;
    QLabel* LabelCopy;
    QProgressBar* ProgressBar;
    QLabel* FinishTitle;
    QLabel* LabelMade;
    QRadioButton* ChkMoreDisks;
    QRadioButton* ChkExit;
    QLabel* LabelDrivesNotice;
};

}  // namespace bootdisk
