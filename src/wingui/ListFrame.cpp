// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/ListFrame.h"

#include <commctrl.h>

#include <algorithm>

#include "wingui/Controls.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

namespace {

constexpr wchar_t kClassName[] = L"BootdiskCreateList";
constexpr COLORREF kSkyBlue = RGB(0xA6, 0xCA, 0xF0);
constexpr int kQuantityCell = 65;

}  // namespace

void TCreateListPanel::Create(HWND parent, int id, int x, int y, int width, int height) {
    RegisterWindowClass(kClassName, Proc, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    white_ = CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF));
    selected_ = CreateSolidBrush(kSkyBlue);
    line_ = CreateSolidBrush(kSkyBlue);
    window_ = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT, kClassName, L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN, Scaled(x), Scaled(y), Scaled(width),
                              Scaled(height), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), this);
}

void TCreateListPanel::AddRowControls(std::size_t row) {
    const int base = kIdFirstRow + int(row) * kIdsPerRow;
    TRowControls controls{};
    controls.edit = MakeControl(window_, L"EDIT", L"", WS_TABSTOP | ES_NUMBER | ES_CENTER, base + kEditNrDisks, 0, 0, 36, 16);
    SendMessageW(controls.edit, EM_SETLIMITTEXT, 2, 0);
    controls.upDown = MakeControl(window_, UPDOWN_CLASSW, L"", 0, base + kUpDown, 0, 0, 16, 22);
    SendMessageW(controls.upDown, UDM_SETRANGE32, 1, 99);
    controls.combo = MakeControl(window_, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, base + kComboBox,
                                 0, 0, kRowWidth - kQuantityCell - 2, 200);
    for (const auto& kind : kinds_)
        SendMessageW(controls.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Ui(kind.label).c_str()));
    rows_.push_back(controls);
}

void TCreateListPanel::Sync(bool showLast) {
    const auto& rows = list_.Rows();
    while (rows_.size() > rows.size()) {
        DestroyWindow(rows_.back().edit);
        DestroyWindow(rows_.back().upDown);
        DestroyWindow(rows_.back().combo);
        rows_.pop_back();
    }
    while (rows_.size() < rows.size()) AddRowControls(rows_.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (WindowTextUtf8(rows_[i].edit) != rows[i].quantity) SetWindowTextW(rows_[i].edit, Widen(rows[i].quantity).c_str());
        if (SendMessageW(rows_[i].combo, CB_GETCURSEL, 0, 0) != LRESULT(rows[i].kind))
            SendMessageW(rows_[i].combo, CB_SETCURSEL, rows[i].kind, 0);
    }
    RECT client;
    GetClientRect(window_, &client);
    const int content = int(rows.size()) * Scaled(kRowHeight);
    const int maxScroll = std::max(0, content - int(client.bottom));
    scroll_ = showLast ? maxScroll : std::min(scroll_, maxScroll);
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
    InvalidateRect(window_, nullptr, TRUE);
}

void TCreateListPanel::Scroll(int position) {
    RECT client;
    GetClientRect(window_, &client);
    const int content = int(rows_.size()) * Scaled(kRowHeight);
    scroll_ = std::clamp(position, 0, std::max(0, content - int(client.bottom)));
    SetScrollPos(window_, SB_VERT, scroll_, TRUE);
    Place();
}

void TCreateListPanel::Select(std::size_t row) {
    if (row >= rows_.size() || list_.Selected() == row) return;
    list_.Select(row);
    InvalidateRect(window_, nullptr, TRUE);
}

void TCreateListPanel::OnCommand(int id, int code, HWND control) {
    if (id < kIdFirstRow) return;
    // A row going away still tells of its quantity cell losing the focus.
    const auto row = std::size_t((id - kIdFirstRow) / kIdsPerRow);
    if (row >= rows_.size() || row >= list_.Rows().size()) return;
    switch ((id - kIdFirstRow) % kIdsPerRow) {
        case kEditNrDisks:
            // The model follows every keystroke; the cell shows the tidied value only when editing
            // ends, so clearing it to type another number does not put a "1" in the way.
            if (code == EN_CHANGE) list_.Row(row).quantity = FilterQuantity(WindowTextUtf8(control));
            if (code == EN_SETFOCUS) Select(row);
            if (code == EN_KILLFOCUS) SetWindowTextW(control, Widen(list_.Row(row).quantity).c_str());
            break;
        case kComboBox:
            if (code == CBN_SETFOCUS || code == CBN_DROPDOWN) Select(row);
            if (code == CBN_SELCHANGE) {
                const auto chosen = SendMessageW(control, CB_GETCURSEL, 0, 0);
                if (chosen >= 0 && std::size_t(chosen) < kinds_.size()) list_.Row(row).kind = std::size_t(chosen);
                Select(row);
            }
            break;
        default:
            break;
    }
}

// The up button steps alone; the down button also selects its row.
bool TCreateListPanel::OnStep(int id, int delta) {
    const auto row = std::size_t((id - kIdFirstRow) / kIdsPerRow);
    if (id < kIdFirstRow || row >= rows_.size() || row >= list_.Rows().size()) return false;
    auto& model = list_.Row(row);
    model.quantity = delta > 0 ? QuantityUp(model.quantity) : QuantityDown(model.quantity);
    SetWindowTextW(rows_[row].edit, Widen(model.quantity).c_str());
    if (delta < 0) Select(row);
    return true;
}

void TCreateListPanel::Paint(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, white_);
    const int height = Scaled(kRowHeight);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const int top = int(i) * height - scroll_;
        RECT row{0, top, Scaled(kRowWidth), top + height};
        if (list_.Selected() == i) FillRect(dc, &row, selected_);
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
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
            const bool chosen = id >= kIdFirstRow && list_.Selected() == std::size_t((id - kIdFirstRow) / kIdsPerRow);
            SetBkColor(reinterpret_cast<HDC>(wParam), chosen ? kSkyBlue : RGB(0xFF, 0xFF, 0xFF));
            return reinterpret_cast<LRESULT>(chosen ? selected_ : white_);
        }
        case WM_LBUTTONDOWN: {
            const int y = short(HIWORD(lParam)) + scroll_;
            if (y >= 0) Select(std::size_t(y / Scaled(kRowHeight)));
            return 0;
        }
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == UDN_DELTAPOS) {
                OnStep(int(header->idFrom), reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta);
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
            DeleteObject(white_);
            DeleteObject(selected_);
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
