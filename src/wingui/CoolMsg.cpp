// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/CoolMsg.h"

#include <algorithm>

#include "wingui/Controls.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

namespace {

struct TCoolBox {
    HWND owner;
    const TStringTable& texts;
    const std::string& text;
    TCoolLayout layout;
    const std::string& leftCaption;
    const std::string& rightCaption;
    TDefaultChoice defaultChoice;
    HFONT bold = nullptr;

    // The window that owns the box's owner, or the owner itself.
    HWND MainWindow() const { return owner ? GetAncestor(owner, GA_ROOTOWNER) : nullptr; }

    ~TCoolBox() {
        if (bold) DeleteObject(bold);
    }
};

void Build(HWND box, TCoolBox& cool) {
    SetWindowTextW(box, Ui(cool.texts[StrId::PRODUCTTXT]).c_str());
    const auto message = LabelText(cool.text);
    HWND label = MakeControl(box, L"STATIC", message, SS_CENTER | SS_NOPREFIX, kIdLabelMsg, 24, 12, 260, 44);
    cool.bold = BoldFont(0);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(cool.bold), FALSE);
    // A message longer than three lines (a long file path) makes the box taller instead of being cut.
    const int extra = std::max(0, TextHeight(label, message, 260, DT_CENTER | DT_NOPREFIX) - 44);
    SetWindowPos(label, nullptr, 0, 0, Scaled(260), Scaled(44 + extra), SWP_NOMOVE | SWP_NOZORDER);
    SetClientSize(box, 306, 106 + extra);

    const bool information = cool.layout == TCoolLayout::Information;
    const auto button = [&](int id, const std::wstring& caption, int left, bool isDefault) {
        MakeControl(box, L"BUTTON", caption, WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), id, left,
                    69 + extra, 89, 25);
    };
    const bool right = cool.defaultChoice == TDefaultChoice::Right;
    if (information) {
        button(kIdBtnMid, Ui(cool.texts[StrId::GENERIC_OK]), 112, true);
    } else {
        const bool retry = cool.layout == TCoolLayout::RetryAbort;
        button(kIdBtnLeft, Ui(retry ? cool.texts[StrId::GENERIC_RETRY] : cool.leftCaption), 64, !right);
        button(kIdBtnRight, Ui(retry ? cool.texts[StrId::GENERIC_ABORT] : cool.rightCaption), 160, right);
    }
    SetFocus(GetDlgItem(box, information ? kIdBtnMid : right ? kIdBtnRight : kIdBtnLeft));
}

INT_PTR CALLBACK CoolProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* cool = DialogObject<TCoolBox>(box, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            Build(box, *cool);
            CentreOver(box, cool->MainWindow());
            return FALSE;  // the focus is set
        case WM_ACTIVATE:
            // Whenever it is activated it places itself over the main window.
            if (LOWORD(wParam) != WA_INACTIVE) CentreOver(box, cool->MainWindow());
            return FALSE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            // The system's face colour with its text colour, whatever scheme the desktop has.
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNTEXT));
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kIdBtnLeft: EndDialog(box, INT_PTR(TBoxClose::Left)); return TRUE;
                case kIdBtnMid: EndDialog(box, INT_PTR(TBoxClose::Mid)); return TRUE;
                case kIdBtnRight: EndDialog(box, INT_PTR(TBoxClose::Right)); return TRUE;
                case IDCANCEL: EndDialog(box, INT_PTR(TBoxClose::Frame)); return TRUE;
                default: return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

std::wstring LabelText(const std::string& text) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        lines += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) lines += '\n';
    }
    return Ui(lines);
}

TBoxClose ShowCoolBox(HWND owner, const TStringTable& texts, const std::string& text, TCoolLayout layout,
                      const std::string& leftCaption, const std::string& rightCaption, TDefaultChoice defaultChoice) {
    TCoolBox cool{owner, texts, text, layout, leftCaption, rightCaption, defaultChoice};
    const auto result = RunDialog(owner, CoolProc, reinterpret_cast<LPARAM>(&cool));
    // The main window repaints what the box covered before the caller goes on.
    PumpMessages();
    PumpMessages();
    return result < 0 ? TBoxClose::Frame : TBoxClose(result);
}

}  // namespace bootdisk::win
