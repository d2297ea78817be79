// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/Gui.h"

#include <commctrl.h>
#include <dbt.h>

#include "app/HelpTopicText.h"
#include "app/Interruption.h"
#include "app/LicenseText.h"
#include "app/Options.h"
#include "base/PendingFile.h"
#include "base/Text.h"
#include "platform/HostSystem.h"
#include "platform/RecordFile.h"
#include "wingui/About.h"
#include "wingui/ControlIds.h"
#include "wingui/Controls.h"
#include "wingui/CoolMsg.h"
#include "wingui/TextViewer.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

namespace {

constexpr UINT_PTR kTimer1 = 1;

// The common controls keep their own copy of the system colours and hear of a change only from
// their window.
BOOL CALLBACK ForwardColourChange(HWND child, LPARAM) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

}  // namespace

TMainForm::TMainForm(TAppContext& app, TWinDialogs& dialogs, ISettingsStore& settings)
    : app_(app), dialogs_(dialogs) {
    presenter_ = std::make_unique<TWizardPresenter>(
        TWizardPorts{app_, dialogs_, RealHost(), settings, sources_, [] { EndInterruptedRun(kClosedMidRunStatus); }, DefaultRecordPath()},
        *this);
}

TMainForm::~TMainForm() {
    if (window_) DestroyWindow(window_);
    if (PopupHelp) DestroyMenu(PopupHelp);
    if (titleFont_) DeleteObject(titleFont_);
    if (headerFont_) DeleteObject(headerFont_);
}

void TMainForm::BuildMediaKinds() { sources_.Build(app_.texts, dialogs_); }

bool TMainForm::Create() {
    window_ = CreateDialogWindow(nullptr, Proc, reinterpret_cast<LPARAM>(this), WS_MINIMIZEBOX);
    if (window_ != nullptr) SetApplicationIcon(window_);
    return window_ != nullptr;
}

void TMainForm::Show() {
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    presenter_->Activate();
    SetTimer(window_, kTimer1, 50, nullptr);
}

void TMainForm::FormCreate() {
    const auto& texts = app_.texts;
    help_.SetOwner(window_);
    dialogs_.SetMainWindow(window_);
    SetWindowTextW(window_, Ui(texts[StrId::PRODUCTTXT]).c_str());
    SetClientSize(window_, kClientWidth, kClientHeight);
    CentreOver(window_, nullptr);

    headerFont_ = BoldFont(6);
    titleFont_ = BoldFont(2);
    HWND header = MakeControl(window_, L"STATIC", Ui(texts[StrId::PRODUCTTXT]), SS_NOPREFIX, kIdHeaderTitle, 20, 14,
                              400, 30);
    SendMessageW(header, WM_SETFONT, reinterpret_cast<WPARAM>(headerFont_), FALSE);

    MakeCreateOptionsPage();
    MakeProgramOptionsPage();
    MakePageStartPage();
    MakeProgressPage();
    MakeFinishPage();
    MakeFooter();
    ShowPage(TPage::CreateOptions);
}

void TMainForm::ShowPage(TPage page) {
    page_ = page;
    for (int p = 0; p < 5; ++p)
        for (HWND control : pages_[p]) ShowWindow(control, p == int(page) ? SW_SHOW : SW_HIDE);
    ShowBootPanels(cdPanel_, floppyPanel_);
}

void TMainForm::ShowButton(TRole button, const TButton& state) {
    HWND control = Item(ControlId({button}));
    SetWindowTextW(control, Ui(state.caption).c_str());
    SetEnabled(button, state.enabled);
}

void TMainForm::SetEnabled(TRole control, bool enabled) {
    HWND item = Item(ControlId({control}));
    if (item && bool(IsWindowEnabled(item)) != enabled) EnableWindow(item, enabled);
}

// A hidden panel leaves no gap: the floppy one takes the CD one's place.
void TMainForm::ShowBootPanels(bool cd, bool floppy) {
    cdPanel_ = cd;
    floppyPanel_ = floppy;
    const bool shown = page_ == TPage::ProgramOptions;
    const int top = Scaled(kHeaderHeight + 186), step = Scaled(28);
    HWND cdLabel = Item(kIdPanelCDBoot), floppyLabel = Item(kIdPanelFloppyBoot), os = Item(kIdComboBoxOS);
    SetWindowPos(cdLabel, nullptr, Scaled(272), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const int floppyTop = top + (cd ? step : 0);
    RECT label;
    GetWindowRect(floppyLabel, &label);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&label), 2);
    SetWindowPos(floppyLabel, nullptr, label.left, floppyTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(os, nullptr, label.right + Scaled(5), floppyTop - Scaled(3), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(cdLabel, shown && cd ? SW_SHOW : SW_HIDE);
    ShowWindow(floppyLabel, shown && floppy ? SW_SHOW : SW_HIDE);
    ShowWindow(os, shown && floppy ? SW_SHOW : SW_HIDE);
}

void TMainForm::ShowDrivesNotice(const std::string& text) { SetDlgItemTextW(window_, kIdDrivesNotice, LabelText(text).c_str()); }
void TMainForm::ShowCopy(const std::string& text) { SetDlgItemTextW(window_, kIdLabelCopy, Ui(text).c_str()); }
void TMainForm::ShowGauge(int percent) { SendMessageW(Item(kIdProgressBar), PBM_SETPOS, WPARAM(percent), 0); }
void TMainForm::ShowFinishTitle(const std::string& text) { SetDlgItemTextW(window_, kIdFinishTitle, Ui(text).c_str()); }

void TMainForm::ShowMade(const std::string& text) { SetDlgItemTextW(window_, kIdLabelMade, LabelText(text).c_str()); }

void TMainForm::ShowExitChoice(bool exit) {
    CheckRadioButton(window_, kIdChkMoreDisks, kIdChkExit, exit ? kIdChkExit : kIdChkMoreDisks);
}

void TMainForm::SelectParameters(std::size_t first, std::size_t count) {
    HWND box = Item(kIdCommandLine);
    const auto units = WindowTextUtf16(box);
    SendMessageW(box, EM_SETSEL, Utf16Offset(units, first), LPARAM(Utf16Offset(units, first + count)));
}

TControlRef TMainForm::Focus() const {
    HWND focus = GetFocus();
    if (!focus || (focus != window_ && !IsChild(window_, focus))) return {};
    return RoleOfId(GetDlgCtrlID(focus));
}

void TMainForm::SetFocus(TControlRef control) {
    const int id = ControlId(control);
    HWND target = IsRowId(id) ? GetDlgItem(rows_.Window(), id) : Item(id);
    // Through the dialog manager, so that the default button follows the focus.
    if (target) SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void TMainForm::PopUpHelpMenu() {
    RECT button;
    GetWindowRect(Item(kIdBtnHelp), &button);
    TrackPopupMenu(PopupHelp, TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0, window_, nullptr);
}

void TMainForm::ShowAbout(const TAboutTexts& texts) {
    win::ShowAbout(window_, texts,
                   {[this] { presenter_->AboutSupport(); }, [this] { presenter_->AboutLicense(); },
                    [this] { presenter_->AboutFreeSoftware(); }});
}

std::optional<std::string> TMainForm::Open(const THelpTarget& target) {
    switch (target.kind) {
        case THelpTarget::TKind::Keyword: return help_.OpenKeyword(target.name);
        case THelpTarget::TKind::Contents: return help_.OpenContents();
        case THelpTarget::TKind::File: return help_.OpenFile(target.name);
    }
    return std::nullopt;
}

void TMainForm::ShowText(const std::string& title, const std::string& text) {
    // Over the innermost dialog open (the About box), whose button asked for it.
    win::ShowTextViewer(OwnerDialog() ? OwnerDialog() : window_, window_, title, text, app_.texts[StrId::GENERIC_OK]);
}

bool TMainForm::ShowTopic(const THelpTarget& target) {
    const auto html = ReadViewerText(THelp::TopicFile(target.kind == THelpTarget::TKind::Contents ? std::string()
                                                                                                  : target.name));
    if (!html) return false;
    const auto topic = HelpTopicText(*html);
    ShowText(topic.title, topic.text);
    return true;
}

void TMainForm::Beep() { MessageBeep(MB_OK); }

// The window or one of its boxes is in front.
bool TMainForm::Active() const {
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(foreground, &process);
    return foreground && process == GetCurrentProcessId();
}

// A window in the background flashes until it is brought to the front.
void TMainForm::Attention(const std::string&) {
    FLASHWINFO flash{sizeof flash, window_, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void TMainForm::Repaint() {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TMainForm::CloseWindow() { PostMessageW(window_, WM_CLOSE, 0, 0); }

void TMainForm::OnCommand(int id, int code) {
    if (id >= kIdHelpContents && id <= kIdHelpWeb) {
        // The items are numbered in menu order, the separators left out.
        int item = kIdHelpContents;
        for (const auto& entry : presenter_->HelpMenuEntries())
            if (entry.item != THelpMenuEntry::TItem::Separator && item++ == id) presenter_->HelpMenu(entry.item);
        return;
    }
    switch (id) {
        case IDCANCEL: presenter_->Key(TWindowKey::Escape); return;
        case kIdCommandLine:
            if (code == EN_CHANGE) presenter_->ParametersTyped(WindowTextUtf16(Item(id)));
            return;
        case kIdComboBoxOS:
            if (code == CBN_SELCHANGE)
                presenter_->OsChosen(TRole::ComboBoxOS, std::size_t(SendMessageW(Item(id), CB_GETCURSEL, 0, 0)));
            return;
        case kIdChkMoreDisks:
        case kIdChkExit:
            if (code == BN_CLICKED) presenter_->ExitChosen(IsDlgButtonChecked(window_, kIdChkExit) == BST_CHECKED);
            return;
        default:
            break;
    }
    const auto role = RoleOfId(id);
    if (role.role != TRole::None && code == BN_CLICKED) presenter_->Click(role.role);
}

void TMainForm::OnNotify(const NMHDR& header) {
    const int id = int(header.idFrom);
    if ((header.code == NM_CLICK || header.code == NM_RETURN) &&
        (id == kIdHyperLink1 || id == kIdHyperLink2 || id == kIdHyperLink4)) {
        presenter_->Click(RoleOfId(id).role);
    } else if (id == kIdChkOptions && header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_STATEIMAGEMASK))
            presenter_->OptionToggled(std::size_t(change.iItem),
                                      (change.uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2));
    }
}

void TMainForm::PaintBackground(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT header{0, 0, client.right, Scaled(kHeaderHeight)};
    FillRect(dc, &header, GetSysColorBrush(COLOR_WINDOW));
    DrawEdge(dc, &header, EDGE_ETCHED, BF_BOTTOM);
    RECT footer{0, client.bottom - Scaled(kFooterHeight), client.right, client.bottom};
    DrawEdge(dc, &footer, EDGE_ETCHED, BF_TOP);
}

INT_PTR TMainForm::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            FormCreate();
            return FALSE;
        case WM_ERASEBKGND:
            PaintBackground(reinterpret_cast<HDC>(wParam));
            SetWindowLongPtrW(window_, DWLP_MSGRESULT, 1);
            return TRUE;
        case WM_CTLCOLORSTATIC:
            if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kIdHeaderTitle) {
                // The header is drawn in the window colours, its text too: a dark palette keeps it readable.
                SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
                SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
            }
            // Every other text stands on the face colour, in the face's text colour.
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNTEXT));
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_TIMER:
            if (wParam == kTimer1) presenter_->Tick();
            return TRUE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
            return FALSE;
        case WM_HELP:
            presenter_->Key(TWindowKey::F1);
            return TRUE;
        case WM_SYSCOLORCHANGE:
            // The desktop turned dark or light.
            EnumChildWindows(window_, ForwardColourChange, 0);
            Repaint();
            return TRUE;
        case WM_DEVICECHANGE:
            // A stick plugged in or taken away; the timer's rescan catches what this misses.
            if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) presenter_->DrivesChanged();
            return TRUE;
        case WM_ENDSESSION:
            // Windows ends the process at any time once this returns, a dialog of the run open or
            // not: the scratch files in hand go first, and the run goes no further.
            if (wParam) {
                AbandonScratchFiles();
                ExitProcess(0);
            }
            return TRUE;
        case WM_CLOSE:
            if (presenter_->CloseRequested()) DestroyWindow(window_);
            return TRUE;
        case WM_DESTROY:
            KillTimer(window_, kTimer1);
            presenter_->Closed();
            window_ = nullptr;
            PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK TMainForm::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = DialogObject<TMainForm>(window, message, lParam);
    if (!form) return FALSE;
    if (message == WM_INITDIALOG) form->window_ = window;
    return form->Handle(message, wParam, lParam);
}

}  // namespace bootdisk::win
