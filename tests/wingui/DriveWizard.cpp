// SPDX-License-Identifier: GPL-3.0-or-later
// Drives bootdisk-wizard.exe through its windows as a user would, from outside its process: the
// scenarios every wizard plays, or a whole run to an ISO file with a picture of every page and the
// option states across a restart, each link of the pages standing out 4.5:1 on the screen.
// Usage: drive_wizard scenarios WIZARD.exe SCRATCH-FOLDER MSDOS-FOLDER [SCENARIO]
//        drive_wizard pictures WIZARD.exe SHOTS-FOLDER ISO-FILE MSDOS-FOLDER [LANGUAGE]   (Windows paths)
//        drive_wizard installed WIZARD.exe PICTURE.bmp
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/StrBase.h"
#include "base/StrConst.h"
#include "support/AreaColours.h"
#include "wingui/ControlIds.h"
#include "wingui/CoolMsg.h"
#include "wingui/SearchSys.h"
#include "wingui/WinDriver.h"

using namespace bootdisk;
using namespace bootdisk::test;
using namespace bootdisk::win;

namespace {

void Check(bool condition, const std::string& what) {
    if (!condition) Fail(what);
}

void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool Shown(HWND main, int id) { return IsWindowVisible(GetDlgItem(main, id)) != 0; }

// What the screen shows in r, as 0xRRGGBB pixels from the top row down.
std::vector<std::uint32_t> ScreenPixels(const RECT& r) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + std::size_t(width) * std::size_t(height));
    for (auto& pixel : pixels) pixel &= 0xFFFFFF;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Saves what the screen shows around window (its frame, the boxes over it) as a 32-bit BMP.
void Screenshot(HWND window, const std::wstring& path, DWORD settle = 700) {
    Sleep(settle);  // let it finish painting
    RECT r;
    GetWindowRect(window, &r);
    InflateRect(&r, 8, 8);
    const auto pixels = ScreenPixels(r);
    const DWORD size = DWORD(pixels.size() * sizeof pixels[0]);
    BITMAPINFOHEADER header{sizeof header, r.right - r.left, -(r.bottom - r.top), 1, 32, BI_RGB, size, 0, 0, 0, 0};
    BITMAPFILEHEADER file{0x4D42, DWORD(sizeof file + sizeof header + size), 0, 0, DWORD(sizeof file + sizeof header)};
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    Check(out != INVALID_HANDLE_VALUE, "cannot write the screenshot");
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &header, sizeof header, &written, nullptr);
    WriteFile(out, pixels.data(), size, &written, nullptr);
    CloseHandle(out);
}

// A link must stand out from its page as every other text does: 4.5:1, on the screen as drawn.
void CheckLinkStandsOut(HWND main, int id, const std::string& name) {
    RECT r;
    GetWindowRect(GetDlgItem(main, id), &r);
    std::map<std::uint32_t, int> counts;
    for (const auto pixel : ScreenPixels(r)) ++counts[pixel];
    const double contrast = MeasureArea(counts).contrast;
    Check(contrast >= 4.5, name + " reads at " + std::to_string(contrast) + ":1, under 4.5:1");
}

struct TWizardProcess {
    PROCESS_INFORMATION info{};
    HWND main = nullptr;

    // In language when one is given; with a picture of the splash when shots is given (if it is
    // caught: it shows for half a second).
    TWizardProcess(const std::wstring& exe, const std::wstring& language, const std::wstring& shots = {}) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + exe + L"\"";
        if (!language.empty()) command += L" --language " + language;
        Check(CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info),
              "cannot start the wizard");
        for (int i = 0; !shots.empty() && i < 100; ++i, Sleep(20))
            if (HWND splash = FindWindowW(L"BootdiskSplash", nullptr); splash && IsWindowVisible(splash)) {
                Screenshot(splash, shots + L"\\0-Splash.bmp", 150);
                break;
            }
        main = WaitFor([this] { return WindowWithChild(info.dwProcessId, kIdBtnNext); }, "the main window");
        // The first row is there once the window has been activated.
        WaitFor([this] { return FindWindowExW(Panel(), nullptr, L"COMBOBOX", nullptr); }, "the first row");
    }
    HWND Panel() const { return GetDlgItem(main, kIdScrollCreateList); }
    HWND Item(int id) const { return GetDlgItem(main, id); }
    DWORD ExitCode() {
        Check(WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0, "the wizard did not end");
        DWORD code = 1;
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        return code;
    }
};

bool OptionChecked(HWND main, int index) {
    const auto state = SendMessageW(GetDlgItem(main, kIdChkOptions), LVM_GETITEMSTATE, WPARAM(index), LVIS_STATEIMAGEMASK);
    return (state >> 12) == 2;
}

void Next(TWizardProcess& wizard) {
    WaitUntil([&] { return IsWindowEnabled(wizard.Item(kIdBtnNext)) != 0; }, "Next to be enabled");
    Click(wizard.main, kIdBtnNext);
}

// The common save dialog of the process, pictured, its name field filled and confirmed.
bool AnswerSaveDialog(DWORD process, const std::wstring& iso, const std::wstring& picture) {
    for (HWND window : WindowsOf(process)) {
        wchar_t cls[64];
        GetClassNameW(window, cls, 64);
        if (std::wstring(cls) != L"#32770") continue;
        HWND name = GetDlgItem(window, 0x47C);  // cmb13: the file name box of the explorer-style dialog
        if (!name) name = GetDlgItem(window, 0x480);  // edt1
        if (!name) continue;
        Screenshot(window, picture);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(iso.c_str()));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    }
    return false;
}

// The texts the wizard shows in language: its language file beside it, else the built-in ones.
TStringTable TextsOf(const std::wstring& exe, const std::wstring& language) {
    TStringTable texts;
    if (!language.empty())
        LoadStringTable(texts, Narrowed(exe.substr(0, exe.rfind(L'\\') + 1) + L"quellmark." + language + L".lng"));
    return texts;
}

void WholeRun(const std::wstring& exe, const std::wstring& language, const std::wstring& shots,
              const std::wstring& iso, const std::wstring& dos) {
    const auto texts = TextsOf(exe, language);
    const auto cancel = Widened(texts[StrId::GENERIC_CANCEL]), no = Widened(texts[StrId::GENERIC_NO]);
    TWizardProcess wizard(exe, language, shots);
    const DWORD process = wizard.info.dwProcessId;
    WaitUntil([&] { return !IsWindowEnabled(wizard.Item(kIdBtnRemove)); }, "Remove to be disabled with no row picked");
    // A second row becomes the image recorder, the last kind of its list; the first row (the
    // floppy) is then picked by a click on its background and removed: the image recorder row
    // remains, alone.
    const auto rowControl = [&](int row, int part) {
        return GetDlgItem(wizard.Panel(), kIdFirstRow + row * kIdsPerRow + part);
    };
    Click(wizard.main, kIdBtnAdd);
    HWND second = WaitFor([&] { return rowControl(1, kRowComboBox); }, "the second row");
    const auto kinds = SendMessageW(second, CB_GETCOUNT, 0, 0);
    Check(kinds >= 2, "a row offers fewer than two kinds");
    SendMessageW(second, CB_SETCURSEL, WPARAM(kinds - 1), 0);
    SendMessageW(wizard.Panel(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(second), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(second));
    Screenshot(wizard.main, shots + L"\\1-CreateOptions.bmp");
    PostMessageW(wizard.Panel(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(wizard.Panel(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    // The 50 ms timer enables Remove once a row is picked.
    WaitUntil([&] { return IsWindowEnabled(wizard.Item(kIdBtnRemove)) && IsWindowEnabled(wizard.Item(kIdBtnClear)); },
              "Remove and Clear to be enabled");
    // The selection is drawn where it is: on the first row's quantity cell, no longer on the second's.
    Sleep(500);
    const auto drawnSelected = [&](int row) {
        RECT cell;
        GetWindowRect(rowControl(row, kRowEditNrDisks), &cell);
        const COLORREF colour = GetSysColor(COLOR_HIGHLIGHT);
        const std::uint32_t highlight = GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
        const auto pixels = ScreenPixels(cell);
        return std::size_t(std::count(pixels.begin(), pixels.end(), highlight)) * 2 > pixels.size();
    };
    Check(drawnSelected(0), "the row picked is not drawn selected");
    Check(!drawnSelected(1), "the row added before it is still drawn selected");
    Click(wizard.main, kIdBtnRemove);
    WaitUntil([&] { return rowControl(1, kRowComboBox) == nullptr; }, "a row to be removed");
    Check(SendMessageW(rowControl(0, kRowComboBox), CB_GETCURSEL, 0, 0) == kinds - 1,
          "Remove took the wrong row, or the rows shown no longer match the list");
    Next(wizard);

    WaitUntil([&] { return Shown(wizard.main, kIdChkOptions); }, "the options page");
    Check(Shown(wizard.main, kIdPanelCDBoot) && !Shown(wizard.main, kIdPanelFloppyBoot),
          "an image recorder row alone must show the CD panel only");
    Check(OptionChecked(wizard.main, 3), "the log option starts checked");
    // Untick "Generate sanitizing log (report) file" from the keyboard: Home, three down, space.
    HWND options = wizard.Item(kIdChkOptions);
    for (WPARAM key : {WPARAM(VK_HOME), WPARAM(VK_DOWN), WPARAM(VK_DOWN), WPARAM(VK_DOWN), WPARAM(VK_SPACE)}) {
        PostMessageW(options, WM_KEYDOWN, key, 1);
        PostMessageW(options, WM_KEYUP, key, 0xC0000001);
    }
    WaitUntil([&] { return !OptionChecked(wizard.main, 3); }, "the log option to be unticked");
    Screenshot(wizard.main, shots + L"\\2-ProgramOptions.bmp");
    CheckLinkStandsOut(wizard.main, kIdHyperLink1, "the options page's link");
    Next(wizard);

    WaitUntil([&] { return Shown(wizard.main, kIdHyperLink2); }, "the ready page");
    Screenshot(wizard.main, shots + L"\\3-PageStart.bmp");
    CheckLinkStandsOut(wizard.main, kIdHyperLink2, "the ready page's link");
    Next(wizard);

    // The run. The prompt is closed through its frame, which must not start a write but ask whether
    // to stop; No goes ahead. Then the file name and the MS-DOS folder, until the Finish page.
    bool closedOnce = false, stopAsked = false, folderGiven = false, saved = false;
    WaitUntil(
        [&] {
            if (HWND box = WindowWithChild(process, kIdLabelMsg)) {
                const auto right = TextOf(GetDlgItem(box, kIdBtnRight));
                if (right == cancel && !closedOnce) {
                    Screenshot(wizard.main, shots + L"\\4-Progress.bmp");
                    closedOnce = true;
                    PostMessageW(box, WM_CLOSE, 0, 0);
                } else if (right == no && closedOnce && !stopAsked) {
                    Screenshot(wizard.main, shots + L"\\4-StopQuestion.bmp");
                    stopAsked = true;
                    Click(box, kIdBtnRight);
                } else if (right == cancel && stopAsked && !saved) {
                    // No to the stop question brings the prompt back; OK on it goes on.
                    Click(box, kIdBtnLeft);
                } else {
                    const auto text = TextOf(GetDlgItem(box, kIdLabelMsg));
                    Fail("unexpected message: " + std::string(text.begin(), text.end()));
                }
                WaitUntil([&] { return !IsWindow(box); }, "the message box to close");
            } else if (HWND search = WindowWithChild(process, kIdFolder)) {
                Check(saved && !folderGiven, "the MS-DOS folder was asked for out of turn");
                Screenshot(wizard.main, shots + L"\\7-SearchSys.bmp");
                SendMessageW(GetDlgItem(search, kIdFolder), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dos.c_str()));
                Click(search, IDOK);
                folderGiven = true;
                WaitUntil([&] { return !IsWindow(search); }, "the folder dialog to close");
            } else if (!saved && AnswerSaveDialog(process, iso, shots + L"\\4-SaveDialog.bmp")) {
                Check(stopAsked, "the file name was asked for before the prompt was answered");
                saved = true;
            }
            Sleep(200);
            return Shown(wizard.main, kIdChkExit);
        },
        "the Finish page");
    Check(stopAsked && folderGiven && saved, "the run skipped a question");
    Check(SendMessageW(wizard.Item(kIdProgressBar), PBM_GETPOS, 0, 0) == 100, "the gauge did not reach its end");
    Screenshot(wizard.main, shots + L"\\5-Finish.bmp");
    CheckLinkStandsOut(wizard.main, kIdHyperLink4, "the finish page's link");

    SendMessageW(wizard.Item(kIdChkMoreDisks), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(wizard.Item(kIdChkExit), BM_SETCHECK, BST_CHECKED, 0);
    Click(wizard.main, kIdChkExit);
    Next(wizard);
    Check(wizard.ExitCode() == 0, "Exit on the Finish page did not end the wizard cleanly");
}

void Restart(const std::wstring& exe, const std::wstring& language, const std::wstring& shots) {
    TWizardProcess wizard(exe, language);
    // One floppy image row: a floppy row would keep the list on its page where there is no floppy drive.
    HWND kind = GetDlgItem(wizard.Panel(), kIdFirstRow + kRowComboBox);
    const auto image = Widened(TextsOf(exe, language)[StrId::GUI_TEXTFLOPPYIMAGE]);
    const auto index = SendMessageW(kind, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(image.c_str()));
    Check(index != CB_ERR, "no floppy image kind is offered");
    SendMessageW(kind, CB_SETCURSEL, WPARAM(index), 0);
    SendMessageW(wizard.Panel(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(kind), CBN_SELCHANGE), reinterpret_cast<LPARAM>(kind));
    Next(wizard);
    WaitUntil([&] { return Shown(wizard.main, kIdChkOptions); }, "the options page after the restart");
    Check(!OptionChecked(wizard.main, 3), "the unticked log option came back ticked after a restart");
    Check(OptionChecked(wizard.main, 0), "a ticked option came back unticked after a restart");
    Check(Shown(wizard.main, kIdPanelFloppyBoot) && !Shown(wizard.main, kIdPanelCDBoot),
          "a floppy image row alone must show the floppy panel only");
    Screenshot(wizard.main, shots + L"\\2-ProgramOptionsFloppy.bmp");

    Click(wizard.main, kIdHelpAbout);
    HWND about = WaitFor([&] { return WindowWithChild(wizard.info.dwProcessId, IDOK); }, "the About box");
    Screenshot(about, shots + L"\\6-About.bmp");
    Click(about, IDOK);
    WaitUntil([&] { return WindowWithChild(wizard.info.dwProcessId, IDOK) == nullptr; }, "the About box to close");
    PostMessageW(wizard.main, WM_CLOSE, 0, 0);
    Check(wizard.ExitCode() == 0, "Close did not end the wizard cleanly");
}

// The states the first run left in the registry: all twelve, the log option off.
void CheckRegistry() {
    const TStringTable texts;
    HKEY key;
    Check(RegOpenKeyExA(HKEY_CURRENT_USER, texts[StrId::GUI_CONFIGKEY].c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS,
          "no configuration key after the wizard ended");
    for (int n = 0; n < 12; ++n) {
        DWORD value = 99, size = sizeof value, type = 0;
        const auto name = "opt" + std::to_string(n);
        Check(RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
                  type == REG_DWORD,
              name + " was not saved");
        if (n == 3) Check(value == 0, "opt3 was saved ticked");
    }
    RegCloseKey(key);
}

// An installed wizard starts with the language file beside it: German, which no text built in
// stands for.
void StartsInstalled(const std::wstring& exe, const std::wstring& picture) {
    TWizardProcess wizard(exe, L"de");
    WaitUntil(
        [&] {
            wchar_t caption[64]{};
            GetWindowTextW(wizard.Item(kIdBtnNext), caption, 64);
            std::wstring next(caption);
            std::erase(next, L'&');
            return next == L"Weiter";
        },
        "the installed wizard's Next button to say Weiter");
    Screenshot(wizard.main, picture);
    PostMessageW(wizard.main, WM_CLOSE, 0, 0);
    Check(wizard.ExitCode() == 0, "the installed wizard did not end cleanly");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"scenarios" && (argc == 5 || argc == 6)) {
        TWinDriver driver(argv[2], argv[3], argv[4]);
        return PlayScenarios(driver, "Win32", argc == 6 ? Narrowed(argv[5]) : std::string()) == 0 ? 0 : 1;
    }
    if (mode == L"installed" && argc == 4) {
        StartsInstalled(argv[2], argv[3]);
        std::puts("drive_wizard: the installed wizard starts in German and ends");
        return 0;
    }
    if (mode != L"pictures" || (argc != 6 && argc != 7))
        Fail("usage: drive_wizard scenarios WIZARD.exe SCRATCH-FOLDER MSDOS-FOLDER [SCENARIO]\n"
             "       drive_wizard pictures WIZARD.exe SHOTS-FOLDER ISO-FILE MSDOS-FOLDER [LANGUAGE]\n"
             "       drive_wizard installed WIZARD.exe PICTURE.bmp");
    const std::wstring language = argc == 7 ? argv[6] : L"";
    const TStringTable texts;
    RegDeleteKeyA(HKEY_CURRENT_USER, texts[StrId::GUI_CONFIGKEY].c_str());
    WholeRun(argv[2], language, argv[3], argv[4], argv[5]);
    CheckRegistry();
    Restart(argv[2], language, argv[3]);
    std::puts("drive_wizard: whole run to an ISO file, options kept across a restart");
    return 0;
}
