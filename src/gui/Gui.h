// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wizard's main window: header, five pages, footer buttons and the help menu. It draws the
// app layer's wizard and forwards every click to it.
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "app/CreateList.h"
#include "app/MediaSources.h"
#include "app/Startup.h"
#include "app/Wizard.h"
#include "gui/Help.h"
#include "image/BootConfig.h"

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
class TCreateListFrame;
class TGuiDialogs;

class TMainForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 572;
    static constexpr int kClientHeight = 364;

    TMainForm(TAppContext& app, TGuiDialogs& dialogs, ISettingsStore& settings);
    // Saves the option states.
    ~TMainForm() override;

    // The floppy, the writers found on this host, the removable drives and the image recorder;
    // built by the splash, the removable drives followed from then on.
    void BuildMediaKinds();
    // Asks the system for the removable drives of now and shows them in every row.
    void FollowRemovableDrives();

    const TWizard& Wizard() const { return wizard_; }
    THelp& Help() { return help_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* MakeCreateOptionsPage();
    QWidget* MakeProgramOptionsPage();
    QWidget* MakePageStartPage();
    QWidget* MakeProgressPage();
    QWidget* MakeFinishPage();
    void MakeFooter();
    void MakeHelpMenu();

    void FormActivate();
    void BtnNextClick();
    void BtnBackClick();
    void BtnCloseClick();
    void BtnHelpClick();
    void BtnAddClick();
    void BtnRemoveClick();
    void BtnClearClick();
    void Timer1Timer();
    void RunCreation();

    // Shows the wizard's page, captions, enabled states and boot panels.
    void PagesPageChanged();
    void AddRowFrames();
    void ShowSelection();
    std::size_t RowIndex(const TCreateListFrame* row) const;
    void OnRowSelected(TCreateListFrame* row);
    void OnQuantityEdited(TCreateListFrame* row, const QString& text);
    void OnQuantityFinished(TCreateListFrame* row);
    void OnStepped(TCreateListFrame* row, int step);
    void OnKindChosen(TCreateListFrame* row, int index);
    bool UseMsDos(const QComboBox* list) const;

    TAppContext& app_;
    TGuiDialogs& dialogs_;
    ISettingsStore& settings_;
    THelp help_;
    TOptionStates options_ = kDefaultOptions;
    TMediaSources sources_;
    std::vector<TMediaKind> kinds_;
    TCreationList list_;
    TWizard wizard_;
    bool activated_ = false;
    bool running_ = false;
    int ticksToDriveScan_ = 0;

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
    QComboBox* ComboBoxOS;
    QComboBox* ComboBoxCdOS = nullptr;  // where a CD may boot another system than MS-DOS
    QFrame* PanelCDBoot;
    QFrame* PanelFloppyBoot;
    QLabel* LabelCopy;
    QProgressBar* ProgressBar;
    QLabel* FinishTitle;
    QRadioButton* ChkMoreDisks;
    QRadioButton* ChkExit;
    QLabel* LabelDrivesNotice;
};

}  // namespace bootdisk
