// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/ListFrame.h"

#include <commctrl.h>

#include <algorithm>

#include "app/WizardPresenter.h"
#include "wingui/ControlIds.h"
#include "wingui/Controls.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

namespace {

constexpr wchar_t kClassName[] = L"BootdiskCreateList";
constexpr COLORREF kSkyBlue = RGB(0xA6, 0xCA, 0xF0);
constexpr int kQuantityCell = 65;

std::size_t RowOf(HWND control) { return RoleOfId(GetDlgCtrlID(control)).row; }

}  // namespace

void TCreateListPanel::Create(HWND parent, int id, int x, int y, int width, int height, TWizardPresenter& presenter,
                              TRowCaptions captions) {
    presenter_ = &presenter;
    captions_ = std::move(captions);
    RegisterWindowClass(kClassName, Proc, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    line_ = CreateSolidBrush(kSkyBlue);
    window_ = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT, kClassName, L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN, Scaled(x), Scaled(y), Scaled(width),
                              Scaled(height), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), this);
}

// The arrow keys step the quantity, as its up and down buttons do.
LRESULT CALLBACK TCreateListPanel::QuantityProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, void* data) {
    auto* panel = static_cast<TCreateListPanel*>(data);
    if (message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
        panel->presenter_->Step(RowOf(edit), wParam == VK_UP ? +1 : -1);
        return 0;
    }
    return CallSubclassed(edit, message, wParam, lParam);
}

// A closed kind list passes the wheel on to the panel, which scrolls; Delete takes its row.
LRESULT CALLBACK TCreateListPanel::KindProc(HWND combo, UINT message, WPARAM wParam, LPARAM lParam, void* data) {
    if (message == WM_KEYDOWN && wParam == VK_DELETE && !SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) {
        static_cast<TCreateListPanel*>(data)->presenter_->Key(TWindowKey::Delete);
        return 0;
    }
    if (message == WM_MOUSEWHEEL &&
        !TWizardPresenter::WheelTurnsKind(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0))
        return SendMessageW(GetParent(combo), message, wParam, lParam);
    return CallSubclassed(combo, message, wParam, lParam);
}

void TCreateListPanel::FillKinds(HWND combo) const {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& label : kindLabels_) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
}

void TCreateListPanel::AddRowControls(std::size_t row) {
    const int base = ControlId({TRole::EditNrDisks, row}) - kRowEditNrDisks;
    TRowControls controls{};
    // The row's labels are the list's headings, above it.
    controls.labels[0] = HiddenLabel(window_, captions_.quantity);
    controls.edit = MakeControl(window_, L"EDIT", L"", WS_TABSTOP | ES_NUMBER | ES_CENTER, base + kRowEditNrDisks, 0, 0,
                                36, 16);
    SendMessageW(controls.edit, EM_SETLIMITTEXT, 2, 0);
    Subclass(controls.edit, QuantityProc, this);
    controls.labels[1] = HiddenLabel(window_, captions_.quantity);
    controls.upDown = MakeControl(window_, UPDOWN_CLASSW, L"", 0, base + kRowUpDown, 0, 0, 16, 22);
    SendMessageW(controls.upDown, UDM_SETRANGE32, 1, 99);
    controls.labels[2] = HiddenLabel(window_, captions_.kind);
    controls.combo = MakeControl(window_, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                                 base + kRowComboBox, 0, 0, kRowWidth - kQuantityCell - 2, 200);
    FillKinds(controls.combo);
    Subclass(controls.combo, KindProc, this);
    rows_.push_back(controls);
}

void TCreateListPanel::ShowKinds(const std::vector<TMediaKind>& kinds) {
    kindLabels_.clear();
    for (const auto& kind : kinds) kindLabels_.push_back(Ui(kind.label));
    for (const auto& row : rows_) FillKinds(row.combo);
}

void TCreateListPanel::Show(const std::vector<TCreateListRow>& rows, std::optional<std::size_t> selected) {
    while (rows_.size() > rows.size()) {
        DestroyWindow(rows_.back().edit);
        DestroyWindow(rows_.back().upDown);
        DestroyWindow(rows_.back().combo);
        for (HWND label : rows_.back().labels) DestroyWindow(label);
        rows_.pop_back();
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i == rows_.size()) AddRowControls(i);
        ShowQuantity(i, rows[i].quantity);
        if (SendMessageW(rows_[i].combo, CB_GETCURSEL, 0, 0) != LRESULT(rows[i].kind))
            SendMessageW(rows_[i].combo, CB_SETCURSEL, rows[i].kind, 0);
    }
    selected_ = selected;
    Scroll(scroll_);
}

void TCreateListPanel::ShowSelection(std::optional<std::size_t> selected) {
    selected_ = selected;
    Repaint();
}

// The rows' quantity cells paint their own background in the selection's colours: they are redrawn
// with the panel, or a row that lost the selection still looks selected.
void TCreateListPanel::Repaint() { RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN); }

void TCreateListPanel::ShowQuantity(std::size_t row, const std::string& text) {
    if (row < rows_.size() && WindowTextUtf8(rows_[row].edit) != text)
        SetWindowTextW(rows_[row].edit, Widen(text).c_str());
}

void TCreateListPanel::ScrollIntoView(std::size_t row) {
    RECT client;
    GetClientRect(window_, &client);
    const int top = int(row) * Scaled(kRowHeight), bottom = top + Scaled(kRowHeight);
    if (top < scroll_) Scroll(top);
    else if (bottom > scroll_ + int(client.bottom)) Scroll(bottom - int(client.bottom));
}

int TCreateListPanel::MaxScroll() const {
    RECT client;
    GetClientRect(window_, &client);
    return std::max(0, int(rows_.size()) * Scaled(kRowHeight) - int(client.bottom));
}

void TCreateListPanel::Scroll(int position) {
    RECT client;
    GetClientRect(window_, &client);
    scroll_ = std::clamp(position, 0, MaxScroll());
    const int content = int(rows_.size()) * Scaled(kRowHeight);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, std::max(0, content - 1),
                    UINT(client.bottom), scroll_, 0};
    SetScrollInfo(window_, SB_VERT, &info, TRUE);
    Place();
}

void TCreateListPanel::Place() {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const int top = int(i) * Scaled(kRowHeight) - scroll_;
        SetWindowPos(rows_[i].edit, nullptr, Scaled(14), top + Scaled(4), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetWindowPos(rows_[i].upDown, nullptr, Scaled(46), top + Scaled(1), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetWindowPos(rows_[i].combo, nullptr, Scaled(kQuantityCell + 2), top + Scaled(1), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    Repaint();
}

void TCreateListPanel::OnCommand(int id, int code, HWND control) {
    // A row going away still tells of its quantity cell losing the focus.
    const auto role = RoleOfId(id);
    if (role.role == TRole::None || role.row >= rows_.size()) return;
    if (role.role == TRole::EditNrDisks) {
        if (code == EN_CHANGE) presenter_->QuantityTyped(role.row, WindowTextUtf8(control));
        if (code == EN_SETFOCUS) presenter_->FocusChanged(role);
        if (code == EN_KILLFOCUS) presenter_->QuantityEdited(role.row);
    } else if (role.role == TRole::ComboBox) {
        if (code == CBN_SETFOCUS) presenter_->FocusChanged(role);
        if (code == CBN_DROPDOWN) presenter_->RowPressed(role.row);
        if (code == CBN_SELCHANGE) {
            const auto chosen = SendMessageW(control, CB_GETCURSEL, 0, 0);
            if (chosen >= 0) presenter_->KindChosen(role.row, std::size_t(chosen));
        }
    }
}

void TCreateListPanel::Paint(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const int height = Scaled(kRowHeight);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const int top = int(i) * height - scroll_;
        RECT row{0, top, Scaled(kRowWidth), top + height};
        if (selected_ == i) FillRect(dc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
        RECT bottom{0, top + height - 1, Scaled(kRowWidth), top + height};
        FillRect(dc, &bottom, line_);
        RECT separator{Scaled(kQuantityCell), top, Scaled(kQuantityCell) + 1, top + height};
        FillRect(dc, &separator, line_);
    }
}

LRESULT TCreateListPanel::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            Paint(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window_, &paint);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            const auto role = RoleOfId(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            const bool chosen = role.role != TRole::None && selected_ == role.row;
            // The system's colours in pairs, so a dark or a high-contrast scheme keeps the quantity readable.
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(chosen ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(chosen ? COLOR_HIGHLIGHT : COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(chosen ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        }
        case WM_LBUTTONDOWN: {
            const int y = short(HIWORD(lParam)) + scroll_;
            if (y >= 0 && std::size_t(y / Scaled(kRowHeight)) < rows_.size())
                presenter_->RowPressed(std::size_t(y / Scaled(kRowHeight)));
            return 0;
        }
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == UDN_DELTAPOS) {
                const auto row = RowOf(header->hwndFrom);
                const int delta = reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta;
                // The up button steps alone; the down button also selects its row.
                if (delta < 0) presenter_->RowPressed(row);
                presenter_->Step(row, delta);
                return 1;  // the quantity is the list's, not the control's position
            }
            return 0;
        }
        case WM_VSCROLL: {
            SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
            GetScrollInfo(window_, SB_VERT, &info);
            int position = scroll_;
            switch (LOWORD(wParam)) {
                case SB_LINEUP: position -= Scaled(kRowHeight); break;
                case SB_LINEDOWN: position += Scaled(kRowHeight); break;
                case SB_PAGEUP: position -= int(info.nPage); break;
                case SB_PAGEDOWN: position += int(info.nPage); break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION: position = info.nTrackPos; break;
                default: break;
            }
            Scroll(position);
            return 0;
        }
        case WM_MOUSEWHEEL:
            Scroll(scroll_ - short(HIWORD(wParam)) / WHEEL_DELTA * Scaled(kRowHeight));
            return 0;
        case WM_DESTROY:
            DeleteObject(line_);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

LRESULT CALLBACK TCreateListPanel::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* panel = static_cast<TCreateListPanel*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        panel->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(panel));
    }
    auto* panel = reinterpret_cast<TCreateListPanel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return panel ? panel->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace bootdisk::win
