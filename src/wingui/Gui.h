// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wizard's main window: header, five pages, footer buttons and the help menu. It draws what
// the wizard presenter shows and forwards every event to it.
#include <windows.h>

#include <memory>
#include <vector>

#include "app/MediaSources.h"
#include "app/Startup.h"
#include "app/WizardPresenter.h"
#include "app/WizardView.h"
#include "platform/Settings.h"
#include "wingui/Help.h"
#include "wingui/ListFrame.h"
#include "wingui/WinDialogs.h"

namespace bootdisk::win {

class TMainForm : public IWizardView {
public:
    static constexpr int kClientWidth = 572;
    static constexpr int kClientHeight = 364;
    static constexpr int kHeaderHeight = 58;
    static constexpr int kFooterHeight = 44;

    TMainForm(TAppContext& app, TWinDialogs& dialogs, ISettingsStore& settings);
    ~TMainForm() override;
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // The floppy, the writers found on this host, the removable drives and the image recorder;
    // built by the splash, the removable drives followed from then on.
    void BuildMediaKinds();
    // Creates the window (hidden) with the saved option states.
    bool Create();
    void Show();
    HWND Window() const { return window_; }

    // IWizardView
    void ShowPage(TPage page) override;
    void ShowButton(TRole button, const TButton& state) override;
    void SetEnabled(TRole control, bool enabled) override;
    void ShowBootPanels(bool cd, bool floppy) override;
    void ShowKinds(const std::vector<TMediaKind>& kinds) override { rows_.ShowKinds(kinds); }
    void ShowRows(const std::vector<TCreateListRow>& rows, std::optional<std::size_t> selected) override {
        rows_.Show(rows, selected);
    }
    void ShowSelection(std::optional<std::size_t> selected) override { rows_.ShowSelection(selected); }
    void ShowQuantity(std::size_t row, const std::string& text) override { rows_.ShowQuantity(row, text); }
    void ScrollIntoView(std::size_t row) override { rows_.ScrollIntoView(row); }
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

private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void FormCreate();
    void MakeCreateOptionsPage();
    void MakeProgramOptionsPage();
    void MakePageStartPage();
    void MakeProgressPage();
    void MakeFinishPage();
    void MakeFooter();
    HWND PageControl(TPage page, const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x, int y,
                     int width, int height, DWORD exStyle = 0);
    HWND Link(TPage page, const std::string& text, int id, int x, int y, int width, int height);
    HWND Item(int id) const { return GetDlgItem(window_, id); }

    void OnCommand(int id, int code);
    void OnNotify(const NMHDR& header);
    void PaintBackground(HDC dc);

    TAppContext& app_;
    TWinDialogs& dialogs_;
    THelp help_;
    TMediaSources sources_;
    std::unique_ptr<TWizardPresenter> presenter_;
    TCreateListPanel rows_;
    TPage page_ = TPage::CreateOptions;
    bool cdPanel_ = false, floppyPanel_ = false;

    HWND window_ = nullptr;
    HFONT titleFont_ = nullptr;
    HFONT headerFont_ = nullptr;
    HMENU PopupHelp = nullptr;
    std::vector<HWND> pages_[5];
};

}  // namespace bootdisk::win
