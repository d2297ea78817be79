// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/WinDriver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "base/StrConst.h"
#include "platform/HostDrives.h"
#include "wingui/ControlIds.h"
#include "wingui/CoolMsg.h"
#include "wingui/SearchSys.h"

namespace bootdisk::test {

using namespace bootdisk::win;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "drive_wizard: %s\n", what.c_str());
    std::exit(1);
}

HWND WaitFor(const std::function<HWND()>& found, const std::string& what, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (HWND window = found()) return window;
        Sleep(100);
    }
    Fail("timed out waiting for " + what);
}

void WaitUntil(const std::function<bool()>& condition, const std::string& what, int seconds) {
    WaitFor([&] { return condition() ? GetDesktopWindow() : nullptr; }, what, seconds);
}

std::vector<HWND> WindowsOf(DWORD process) {
    struct TSearch {
        DWORD process;
        std::vector<HWND> found;
    } search{process, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<TSearch*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.process && IsWindowVisible(window)) s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WindowWithChild(DWORD process, int childId) {
    for (HWND window : WindowsOf(process))
        if (GetDlgItem(window, childId)) return window;
    return nullptr;
}

// Asked of the control itself: GetWindowText reads only a caption from another process.
std::wstring TextOf(HWND window) {
    std::wstring text(std::size_t(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(std::size_t(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::string Narrowed(const std::wstring& text) {
    std::string narrow(std::size_t(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr,
                                                       nullptr)),
                       '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), narrow.data(), int(narrow.size()), nullptr, nullptr);
    return narrow;
}

std::wstring Widened(const std::string& text) {
    std::wstring wide(std::size_t(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), int(text.size()), wide.data(), int(wide.size()));
    return wide;
}

void TWinDriver::Start(const std::string& language) {
    // Option states of its own: the ones a scenario ticks do not reach the next.
    RegDeleteKeyA(HKEY_CURRENT_USER, TStringTable()[StrId::GUI_CONFIGKEY].c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + exe_ + L"\"";
    if (!language.empty()) command += L" --language " + Widened(language);
    if (!CreateProcessW(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
        Fail("cannot start the wizard");
    main_ = WaitFor([this] { return WindowWithChild(info_.dwProcessId, kIdBtnNext); }, "the main window");
    // The first row is there once the window has been activated.
    WaitFor([this] { return Control({TRole::ComboBox, 0}); }, "the first row");
    Settle();
}

void TWinDriver::Stop() {
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 10000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
    info_ = {};
    main_ = nullptr;
}

bool TWinDriver::Ended() { return WaitForSingleObject(info_.hProcess, 3000) == WAIT_OBJECT_0; }

// As the wizard, in the same prefix, finds it.
bool TWinDriver::HasFloppyDrive() { return DescribeHostDrive(DefaultFloppyDevice()).has_value(); }

bool TWinDriver::FileExists(const std::string& path) {
    return GetFileAttributesW(Widened(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// The host's path of a file on wine's Z: drive, which is the host's root.
std::string HostPath(const std::string& windowsPath) {
    auto path = windowsPath.substr(windowsPath.rfind(':') + 1);
    for (auto& c : path)
        if (c == '\\') c = '/';
    return path;
}

}  // namespace

// Wine starts the host's mtools as it starts a Windows program, but does not wait for a host
// program to end: the copy is renamed into place when it is whole, and waited for.
std::string TWinDriver::FloppyImageFile(const std::string& image, const std::string& name) {
    const auto copy = ScratchFolder() + "mcopy.out";
    DeleteFileW(Widened(copy).c_str());
    const auto host = "'" + HostPath(copy) + "'";
    std::wstring command = Widened("/bin/sh -c \"mcopy -n -i '" + HostPath(image) + "' ::" + name + " " + host +
                                   ".part && mv " + host + ".part " + host + "\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION shell{};
    if (!CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &shell))
        return {};
    CloseHandle(shell.hProcess);
    CloseHandle(shell.hThread);
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int i = 0; i < 100 && file == INVALID_HANDLE_VALUE; ++i, Sleep(100))
        file = CreateFileW(Widened(copy).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

HWND TWinDriver::Control(TControlRef control) const {
    const int id = ControlId(control);
    if (id == 0) return nullptr;
    return IsRowId(id) ? GetDlgItem(GetDlgItem(main_, kIdScrollCreateList), id) : GetDlgItem(main_, id);
}

// A marker posted behind the last message comes out only after it: the command line's length
// limit, which nothing else sets, carries it.
void TWinDriver::Settle() {
    HWND marker = GetDlgItem(main_, kIdCommandLine);
    for (int round = 0; round < 2; ++round) {
        const WPARAM value = WPARAM(40000 + (++marker_ % 1000));
        PostMessageW(marker, EM_SETLIMITTEXT, value, 0);
        for (int i = 0; i < 200 && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; ++i) {
            DWORD_PTR limit = 0;
            SendMessageTimeoutW(marker, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 1000, &limit);
            if (limit == value) break;
            Sleep(50);
        }
    }
}

void TWinDriver::PostAndSettle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageW(window, message, wParam, lParam);
    Settle();
}

HWND TWinDriver::KeyTarget() const {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (GetGUIThreadInfo(info_.dwThreadId, &thread) && thread.hwndFocus) return thread.hwndFocus;
    if (thread.hwndActive) return thread.hwndActive;
    return main_;
}

void TWinDriver::Press(TKey key) {
    HWND target = KeyTarget();
    if (key == TKey::F1) {
        // The system makes F1 a WM_KEYF1 for the focused window, which turns it into WM_HELP.
        PostAndSettle(target, 0x004D, 0, 0);
        return;
    }
    static const std::pair<TKey, WPARAM> keys[] = {{TKey::Tab, VK_TAB},     {TKey::Space, VK_SPACE},
                                                   {TKey::Return, VK_RETURN}, {TKey::Escape, VK_ESCAPE},
                                                   {TKey::Up, VK_UP},         {TKey::Down, VK_DOWN},
                                                   {TKey::End, VK_END},       {TKey::Delete, VK_DELETE}};
    WPARAM code = 0;
    for (const auto& [k, vk] : keys)
        if (k == key) code = vk;
    const LPARAM scan = LPARAM(MapVirtualKeyW(UINT(code), 0)) << 16;
    PostMessageW(target, WM_KEYDOWN, code, scan | 1);
    PostMessageW(target, WM_KEYUP, code, scan | 1 | (LPARAM(3) << 30));
    Settle();
}

void TWinDriver::Type(const std::string& text) {
    HWND target = KeyTarget();
    for (const wchar_t c : Widened(text)) PostMessageW(target, WM_CHAR, WPARAM(c), 1);
    Settle();
}

void TWinDriver::Click(TControlRef control) {
    HWND item = Control(control);
    PostAndSettle(GetParent(item), WM_COMMAND, MAKEWPARAM(ControlId(control), BN_CLICKED), reinterpret_cast<LPARAM>(item));
}

void TWinDriver::Wheel(TControlRef control, int notches) {
    HWND item = Control(control);
    RECT box;
    GetWindowRect(item, &box);
    PostAndSettle(item, WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA),
                  MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2));
}

void TWinDriver::CloseMainWindow() { PostAndSettle(main_, WM_CLOSE, 0, 0); }

// As Windows tells a log-off: the question first, then the end, each sent to every top-level window.
bool TWinDriver::EndSession() {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(main_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    SendMessageTimeoutW(main_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    return true;
}

TPage TWinDriver::Page() {
    const std::pair<int, TPage> markers[] = {{kIdScrollCreateList, TPage::CreateOptions},
                                             {kIdChkOptions, TPage::ProgramOptions},
                                             {kIdHyperLink2, TPage::PageStart},
                                             {kIdProgressBar, TPage::Progress},
                                             {kIdChkExit, TPage::Finish}};
    for (const auto& [id, page] : markers)
        if (IsWindowVisible(GetDlgItem(main_, id))) return page;
    Fail("no page is shown");
}

TControlRef TWinDriver::Focus() {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (!GetGUIThreadInfo(info_.dwThreadId, &thread) || !thread.hwndFocus) return {};
    HWND parent = GetParent(thread.hwndFocus);
    if (parent != main_ && parent != GetDlgItem(main_, kIdScrollCreateList)) return {};
    return RoleOfId(GetDlgCtrlID(thread.hwndFocus));
}

bool TWinDriver::Shown(TControlRef control) {
    HWND item = Control(control);
    if (!item || !IsWindowVisible(item)) return false;
    if (control.role != TRole::EditNrDisks && control.role != TRole::ComboBox) return true;
    RECT panel, box;
    GetClientRect(GetParent(item), &panel);
    GetWindowRect(item, &box);
    MapWindowPoints(nullptr, GetParent(item), reinterpret_cast<POINT*>(&box), 2);
    return box.top >= panel.top && box.bottom <= panel.bottom;
}

std::string TWinDriver::Text(TControlRef control) {
    HWND item = Control(control);
    if (control.role != TRole::ChkOptions) return Narrowed(TextOf(item));
    std::string states;
    for (int i = 0; i < 12; ++i)
        states += (SendMessageW(item, LVM_GETITEMSTATE, WPARAM(i), LVIS_STATEIMAGEMASK) >> 12) == 2 ? '1' : '0';
    return states;
}

std::string TWinDriver::Label(TLabel label) {
    static const std::map<TLabel, int> ids = {{TLabel::DrivesNotice, kIdDrivesNotice},
                                              {TLabel::Copy, kIdLabelCopy},
                                              {TLabel::FinishTitle, kIdFinishTitle},
                                              {TLabel::Made, kIdLabelMade}};
    const int id = ids.at(label);
    return Narrowed(TextOf(GetDlgItem(main_, id)));
}

std::vector<std::string> TWinDriver::Items(TControlRef control) {
    HWND list = Control(control);
    std::vector<std::string> items;
    const auto count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(std::size_t(SendMessageW(list, CB_GETLBTEXTLEN, WPARAM(i), 0)) + 1, L'\0');
        item.resize(std::size_t(SendMessageW(list, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(item.data()))));
        items.push_back(Narrowed(item));
    }
    return items;
}

std::string TWinDriver::LanguageFolder() { return Narrowed(exe_.substr(0, exe_.rfind(L'\\') + 1)); }

namespace {

// The entries of a list view of another process, read through memory lent in that process.
std::vector<std::string> ListViewItems(HWND list, DWORD process) {
    std::vector<std::string> items;
    HANDLE owner = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
    if (!owner) return items;
    constexpr int kChars = 512;
    auto* remote = static_cast<char*>(
        VirtualAllocEx(owner, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
    const auto count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT i = 0; remote && i < count; ++i) {
        LVITEMW item{};
        item.cchTextMax = kChars;
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof item);
        WriteProcessMemory(owner, remote, &item, sizeof item, nullptr);
        const auto length = SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(i), reinterpret_cast<LPARAM>(remote));
        std::wstring text(std::size_t(std::clamp<LRESULT>(length, 0, kChars)), L'\0');
        ReadProcessMemory(owner, item.pszText, text.data(), text.size() * sizeof(wchar_t), nullptr);
        items.push_back(Narrowed(text));
    }
    if (remote) VirtualFreeEx(owner, remote, 0, MEM_RELEASE);
    CloseHandle(owner);
    return items;
}

struct TShownTexts {
    DWORD process;
    std::vector<std::string> texts;
};

BOOL CALLBACK AddShownTexts(HWND control, LPARAM data) {
    auto& shown = *reinterpret_cast<TShownTexts*>(data);
    if (!IsWindowVisible(control)) return TRUE;
    auto text = Narrowed(TextOf(control));
    // A link's text carries its markup.
    for (const char* tag : {"<a>", "</a>"})
        for (auto at = text.find(tag); at != std::string::npos; at = text.find(tag)) text.erase(at, std::strlen(tag));
    if (!text.empty()) shown.texts.push_back(text);
    wchar_t cls[64];
    GetClassNameW(control, cls, 64);
    if (std::wstring(cls) == WC_LISTVIEWW)
        for (auto& item : ListViewItems(control, shown.process)) shown.texts.push_back(std::move(item));
    if (std::wstring(cls) == L"ComboBox") {
        const auto count = SendMessageW(control, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::wstring item(std::size_t(SendMessageW(control, CB_GETLBTEXTLEN, WPARAM(i), 0)) + 1, L'\0');
            item.resize(std::size_t(SendMessageW(control, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(item.data()))));
            shown.texts.push_back(Narrowed(item));
        }
    }
    return TRUE;
}

}  // namespace

// The wizard's own windows: the main window, its message boxes and its folder dialog; the common
// save dialog is the system's.
std::vector<std::string> TWinDriver::ShownTexts() {
    TShownTexts shown{Process(), {}};
    for (HWND window : WindowsOf(Process())) {
        if (window != main_ && !GetDlgItem(window, kIdLabelMsg) && !GetDlgItem(window, kIdFolderTree)) continue;
        shown.texts.push_back(Narrowed(TextOf(window)));
        EnumChildWindows(window, AddShownTexts, reinterpret_cast<LPARAM>(&shown));
    }
    return shown.texts;
}

std::size_t TWinDriver::Rows() {
    std::size_t rows = 0;
    while (Control({TRole::ComboBox, rows})) ++rows;
    return rows;
}

HWND TWinDriver::EnabledWindowWith(int childId) const {
    for (HWND window : WindowsOf(info_.dwProcessId))
        if (IsWindowEnabled(window) && GetDlgItem(window, childId)) return window;
    return nullptr;
}

std::string TWinDriver::Dialog(int waitMilliseconds) {
    for (int waited = 0;; waited += 100) {
        if (HWND box = EnabledWindowWith(kIdLabelMsg)) return Narrowed(TextOf(GetDlgItem(box, kIdLabelMsg)));
        if (EnabledWindowWith(kIdFolderTree)) return kFolderDialog;
        if (EnabledWindowWith(kIdViewerText)) return kTextViewer;
        for (HWND window : WindowsOf(info_.dwProcessId)) {
            wchar_t cls[64];
            GetClassNameW(window, cls, 64);
            if (std::wstring(cls) == L"#32770" && IsWindowEnabled(window) && window != main_) return kSaveDialog;
        }
        if (waited >= waitMilliseconds || WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0) return {};
        Sleep(100);
    }
}

void TWinDriver::Answer(TBoxButton button) {
    HWND box = EnabledWindowWith(kIdLabelMsg);
    if (!box) Fail("no message box to answer");
    if (button == TBoxButton::Frame) return PostAndSettle(box, WM_CLOSE, 0, 0);
    const int id = button == TBoxButton::Left ? kIdBtnLeft : button == TBoxButton::Mid ? kIdBtnMid : kIdBtnRight;
    PostAndSettle(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

void TWinDriver::AnswerSave(const std::string& path) {
    for (HWND window : WindowsOf(info_.dwProcessId)) {
        wchar_t cls[64];
        GetClassNameW(window, cls, 64);
        if (std::wstring(cls) != L"#32770" || window == main_) continue;
        if (path.empty()) return PostAndSettle(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        HWND name = GetDlgItem(window, 0x47C);  // cmb13: the file name box of the explorer-style dialog
        if (!name) name = GetDlgItem(window, 0x480);  // edt1
        const auto wide = Widened(path);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        return PostAndSettle(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    Fail("no save dialog to answer");
}

void TWinDriver::AnswerFolder(const std::string& folder) {
    HWND dialog = EnabledWindowWith(kIdFolderTree);
    if (!dialog) Fail("no folder dialog to answer");
    const auto wide = Widened(folder);
    SendMessageW(GetDlgItem(dialog, kIdFolder), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    PostAndSettle(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void TWinDriver::AnswerFolderCancel() {
    HWND dialog = EnabledWindowWith(kIdFolderTree);
    if (!dialog) Fail("no folder dialog to answer");
    PostAndSettle(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

}  // namespace bootdisk::test
