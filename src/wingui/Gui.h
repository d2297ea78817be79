// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wizard's main window: header, five pages, footer buttons and the help menu. It draws the
// app layer's wizard and forwards every click to it.
#include <windows.h>

#include <vector>

#include "app/CreateList.h"
#include "app/MediaSources.h"
#include "app/Startup.h"
#include "app/Wizard.h"
#include "image/BootConfig.h"
#include "platform/Settings.h"
#include "wingui/Help.h"
#include "wingui/ListFrame.h"
#include "wingui/WinDialogs.h"

namespace bootdisk::win {

class TMainForm {
public:
    static constexpr int kClientWidth = 572;
    static constexpr int kClientHeight = 364;
    static constexpr int kHeaderHeight = 58;
    static constexpr int kFooterHeight = 44;

    TMainForm(TAppContext& app, TWinDialogs& dialogs, ISettingsStore& settings);
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // The floppy, the writers found on this host and the image recorder; built once by the splash.
    void BuildMediaKinds();
    // Creates the window (hidden) with the saved option states.
    bool Create();
    void Show();
    HWND Window() const { return window_; }

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

    void FormActivate();
    void FormDestroy();
    void BtnNextClick();
    void BtnBackClick();
    void BtnHelpClick();
    void BtnAddClick();
    void BtnRemoveClick();
    void BtnClearClick();
    void Timer1Timer();
    void RunCreation();
    void OnCommand(int id, int code);
    void OnLink(int id);
    void PagesPageChanged();
    void PaintBackground(HDC dc);
    TOptionStates CheckedOptions() const;
    bool UseMsDos() const;

    TAppContext& app_;
    TWinDialogs& dialogs_;
    ISettingsStore& settings_;
    THelp help_;
    TMediaSources sources_;
    std::vector<TMediaKind> kinds_;
    TCreationList list_;
    TWizard wizard_;
    TCreateListPanel rows_{list_, kinds_};
    TOptionStates options_ = kDefaultOptions;
    bool activated_ = false;
    bool running_ = false;

    HWND window_ = nullptr;
    HFONT titleFont_ = nullptr;
    HFONT headerFont_ = nullptr;
    HMENU PopupHelp = nullptr;
    std::vector<HWND> pages_[5];
};

}  // namespace bootdisk::win
