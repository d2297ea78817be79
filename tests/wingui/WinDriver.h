// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scenarios' driver for the Win32 wizard, from outside its process: a new process per
// scenario, keys and clicks posted to its windows, what they show read through their messages and
// the focus through GetGUIThreadInfo.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "scenarios/WizardDriver.h"

namespace bootdisk::test {

[[noreturn]] void Fail(const std::string& what);
// Waits up to seconds for found to answer something other than nullptr.
HWND WaitFor(const std::function<HWND()>& found, const std::string& what, int seconds = 60);
void WaitUntil(const std::function<bool()>& condition, const std::string& what, int seconds = 60);
// The visible top-level windows of the process.
std::vector<HWND> WindowsOf(DWORD process);
HWND WindowWithChild(DWORD process, int childId);
std::wstring TextOf(HWND window);
std::string Narrowed(const std::wstring& text);
std::wstring Widened(const std::string& text);

class TWinDriver : public IWizardDriver {
public:
    // The wizard's executable and a folder beside it for the scenarios' files (Windows paths).
    TWinDriver(std::wstring exe, std::wstring scratch, std::wstring msDos)
        : exe_(std::move(exe)), scratch_(std::move(scratch)), msDos_(std::move(msDos)) {}
    ~TWinDriver() override { Stop(); }

    void Start(const std::string& language) override;
    void Stop() override;
    bool Ended() override;
    bool OwnProcess() const override { return true; }
    bool HasFloppyDrive() override;
    bool CdAsksMsDosFolder() override { return true; }
    std::string ScratchFolder() override { return Narrowed(scratch_) + "\\"; }
    std::string MsDosFolder() override { return Narrowed(msDos_); }
    bool FileExists(const std::string& path) override;
    std::string LanguageFolder() override;
    std::string FloppyImageFile(const std::string& image, const std::string& name) override;
    // The drive ports' stand-in for Windows is yet to come.
    bool PlugStick(const std::string&, const std::string&) override { return false; }
    void PullStick(const std::string&) override {}

    void Press(TKey key) override;
    void Type(const std::string& text) override;
    void Click(TControlRef control) override;
    void Wheel(TControlRef control, int notches) override;
    void CloseMainWindow() override;
    bool EndSession() override;

    TPage Page() override;
    TControlRef Focus() override;
    bool Enabled(TControlRef control) override { return IsWindowEnabled(Control(control)) != 0; }
    bool Shown(TControlRef control) override;
    std::string Text(TControlRef control) override;
    std::string Label(TLabel label) override;
    std::vector<std::string> Items(TControlRef control) override;
    std::size_t Rows() override;
    std::vector<std::string> ShownTexts() override;
    bool MainWindowEnabled() override { return IsWindowEnabled(main_) != 0; }

    std::string Dialog(int waitMilliseconds) override;
    void Answer(TBoxButton button) override;
    void AnswerSave(const std::string& path) override;
    void AnswerFolder(const std::string& folder) override;
    void AnswerFolderCancel() override;

    HWND Main() const { return main_; }
    DWORD Process() const { return info_.dwProcessId; }
    HWND Control(TControlRef control) const;
    // Waits until the wizard has handled every message posted to it so far.
    void Settle();

private:
    // The window that takes the keys now: the focused one of the wizard's thread.
    HWND KeyTarget() const;
    // The enabled window of the process with the given child: the innermost dialog.
    HWND EnabledWindowWith(int childId) const;
    void PostAndSettle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::wstring exe_, scratch_, msDos_;
    PROCESS_INFORMATION info_{};
    HWND main_ = nullptr;
    int marker_ = 0;
};

}  // namespace bootdisk::test
