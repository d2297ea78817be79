// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/Gui.h"

#include <commctrl.h>

#include "app/Interruption.h"
#include "app/Options.h"
#include "app/SavedOptions.h"
#include "platform/HostSystem.h"
#include "wingui/About.h"
#include "wingui/Controls.h"
#include "wingui/ControlIds.h"
#include "wingui/CoolMsg.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

namespace {

constexpr UINT_PTR kTimer1 = 1;

}  // namespace

TMainForm::TMainForm(TAppContext& app, TWinDialogs& dialogs, ISettingsStore& settings)
    : app_(app), dialogs_(dialogs), settings_(settings), wizard_(app.texts, list_, kinds_) {}

TMainForm::~TMainForm() {
    if (window_) DestroyWindow(window_);
    if (PopupHelp) DestroyMenu(PopupHelp);
    if (titleFont_) DeleteObject(titleFont_);
    if (headerFont_) DeleteObject(headerFont_);
}

void TMainForm::BuildMediaKinds() {
    sources_.Build(app_.texts, dialogs_);
    kinds_ = sources_.Kinds();
}

bool TMainForm::Create() {
    window_ = CreateDialogWindow(nullptr, Proc, reinterpret_cast<LPARAM>(this), WS_MINIMIZEBOX);
    if (window_ != nullptr) SetApplicationIcon(window_);
    return window_ != nullptr;
}

void TMainForm::Show() {
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    FormActivate();
    SetFocus(GetDlgItem(window_, kIdBtnNext));
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

    LoadOptions(settings_, texts[StrId::GUI_CONFIGKEY], options_);
    HWND list = GetDlgItem(window_, kIdChkOptions);
    for (std::size_t i = 0; i < kOptionCount; ++i) ListView_SetCheckState(list, int(i), options_[i] ? TRUE : FALSE);
    PagesPageChanged();
}

void TMainForm::FormActivate() {
    if (activated_) return;
    activated_ = true;
    wizard_.FirstActivation();
    rows_.Sync();
    PagesPageChanged();
    SetTimer(window_, kTimer1, 50, nullptr);
    if (const auto notice = sources_.UnopenedNotice(app_.texts); !notice.empty()) dialogs_.ShowCoolMessage(notice);
}

void TMainForm::FormDestroy() {
    KillTimer(window_, kTimer1);
    options_ = CheckedOptions();
    // A store that cannot be written keeps whatever it held; nothing else depends on it.
    SaveOptions(settings_, app_.texts[StrId::GUI_CONFIGKEY], options_);
}

void TMainForm::PagesPageChanged() {
    for (int page = 0; page < 5; ++page)
        for (HWND control : pages_[page]) ShowWindow(control, page == int(wizard_.Page()) ? SW_SHOW : SW_HIDE);
    const auto button = [this](int id, const TButton& state) {
        HWND control = GetDlgItem(window_, id);
        SetWindowTextW(control, Ui(state.caption).c_str());
        if (bool(IsWindowEnabled(control)) != state.enabled) EnableWindow(control, state.enabled);
    };
    button(kIdBtnNext, wizard_.NextButton());
    button(kIdBtnBack, wizard_.BackButton());
    button(kIdBtnClose, wizard_.CloseButton());
    EnableWindow(GetDlgItem(window_, kIdBtnHelp), wizard_.HelpEnabled());
    if (wizard_.Page() == TPage::ProgramOptions) {
        ShowWindow(GetDlgItem(window_, kIdPanelCDBoot), wizard_.CdBootPanel() ? SW_SHOW : SW_HIDE);
        const int floppy = wizard_.FloppyBootPanel() ? SW_SHOW : SW_HIDE;
        ShowWindow(GetDlgItem(window_, kIdPanelFloppyBoot), floppy);
        ShowWindow(GetDlgItem(window_, kIdComboBoxOS), floppy);
    }
}

TOptionStates TMainForm::CheckedOptions() const {
    TOptionStates states = options_;
    HWND list = GetDlgItem(window_, kIdChkOptions);
    for (std::size_t i = 0; i < kOptionCount; ++i) states[i] = ListView_GetCheckState(list, int(i)) != 0;
    return states;
}

bool TMainForm::UseMsDos() const {
    return WindowTextUtf8(GetDlgItem(window_, kIdComboBoxOS)) == Cp1252ToUtf8(app_.texts[StrId::GUI_MSDOS]);
}

void TMainForm::BtnNextClick() {
    if (!IsWindowEnabled(GetDlgItem(window_, kIdBtnNext))) return;
    wizard_.parameters = WindowTextUtf8(GetDlgItem(window_, kIdCommandLine));
    wizard_.exitChosen = SendDlgItemMessageW(window_, kIdChkExit, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const auto action = wizard_.Next();
    PagesPageChanged();
    switch (action) {
        case TNextAction::RunCreation: RunCreation(); break;
        case TNextAction::CloseWindow: DestroyWindow(window_); break;
        case TNextAction::RefuseParameters:
            dialogs_.ShowCoolMessage(ParametersRefusalText(app_.texts, wizard_.CheckedParameters()));
            break;
        case TNextAction::None: break;
    }
}

void TMainForm::BtnBackClick() {
    wizard_.Back();
    PagesPageChanged();
}

void TMainForm::BtnHelpClick() {
    RECT button;
    GetWindowRect(GetDlgItem(window_, kIdBtnHelp), &button);
    TrackPopupMenu(PopupHelp, TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0, window_, nullptr);
}

void TMainForm::BtnAddClick() {
    if (!list_.Add()) {
        MessageBeep(MB_OK);
        return;
    }
    rows_.Sync(true);
}

void TMainForm::BtnRemoveClick() {
    if (!list_.Selected()) return;
    list_.Remove();
    rows_.Sync();
}

void TMainForm::BtnClearClick() {
    list_.Clear();
    rows_.Sync();
}

void TMainForm::Timer1Timer() {
    if (wizard_.Page() != TPage::CreateOptions) return;
    const auto wanted = list_.Buttons();
    const auto keep = [this](int id, bool enabled) {
        HWND control = GetDlgItem(window_, id);
        if (bool(IsWindowEnabled(control)) != enabled) EnableWindow(control, enabled);
    };
    keep(kIdBtnRemove, wanted.remove);
    keep(kIdBtnClear, wanted.clear);
    wizard_.OnTimer();
    keep(kIdBtnNext, wizard_.NextButton().enabled);
}

void TMainForm::RunCreation() {
    running_ = true;
    options_ = CheckedOptions();
    HWND bar = GetDlgItem(window_, kIdProgressBar);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    dialogs_.ProcessMessages();
    TCreationDriver driver(dialogs_, app_.texts);
    driver.onGauge = [bar](int value) { SendMessageW(bar, PBM_SETPOS, WPARAM(value), 0); };
    auto handlers = sources_.Handlers(TJobEnv{app_, dialogs_, RealHost()},
                                      TCreationSettings{options_, wizard_.CheckedParameters().text, UseMsDos()});
    const auto outcome = driver.RunCreation(list_.Rows(), kinds_, handlers);
    running_ = false;
    wizard_.CreationFinished(outcome, driver.DoneCopies(), driver.TotalCopies());
    SetDlgItemTextW(window_, kIdFinishTitle, Ui(wizard_.FinishTitle()).c_str());
    PagesPageChanged();
    // The focus was on a button the run disabled.
    SetFocus(GetDlgItem(window_, kIdBtnNext));
}

void TMainForm::OnLink(int id) {
    if (id == kIdHyperLink1) help_.OpenKeyword("Coomand_lineparameters");
    else help_.OpenKeyword("RunningQuellmark");
}

void TMainForm::OnCommand(int id, int code) {
    if (code != BN_CLICKED && code != 0) return;
    switch (id) {
        case kIdBtnNext: BtnNextClick(); break;
        case kIdBtnBack: BtnBackClick(); break;
        case kIdBtnClose: PostMessageW(window_, WM_CLOSE, 0, 0); break;
        case kIdBtnHelp: BtnHelpClick(); break;
        case kIdBtnAdd: BtnAddClick(); break;
        case kIdBtnRemove: BtnRemoveClick(); break;
        case kIdBtnClear: BtnClearClick(); break;
        case kIdHelpContents: help_.OpenContents(); break;
        case kIdHelpPage: help_.OpenKeyword(wizard_.HelpKeyword()); break;
        case kIdHelpFaq: help_.OpenKeyword("FAQ"); break;
        case kIdHelpSupport: help_.OpenKeyword("ContactingHalvexLabs"); break;
        case kIdHelpAbout: ShowAbout(window_, app_.texts, help_); break;
        case kIdHelpWeb: help_.OpenFile("info.url"); break;
        default: break;
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
                SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
            }
            return FALSE;
        case WM_TIMER:
            if (wParam == kTimer1) Timer1Timer();
            return TRUE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == NM_CLICK || header->code == NM_RETURN) {
                if (header->idFrom == kIdHyperLink1 || header->idFrom == kIdHyperLink2 || header->idFrom == kIdHyperLink4)
                    OnLink(int(header->idFrom));
            }
            return FALSE;
        }
        case WM_HELP:
            if (wizard_.HelpEnabled()) help_.OpenKeyword(wizard_.HelpKeyword());
            return TRUE;
        case WM_CLOSE:
            // Closed by the system in the middle of a run (the window's close button, a logout): the
            // run ends as an interrupted one, leaving no half-written file.
            if (running_) EndInterruptedRun(kClosedMidRunStatus);
            DestroyWindow(window_);
            return TRUE;
        case WM_DESTROY:
            FormDestroy();
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
