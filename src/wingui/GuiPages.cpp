// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the main window's five pages and of its footer; a page's controls are shown
// only while it is the page shown.
#include "wingui/Gui.h"

#include <commctrl.h>

#include "app/Options.h"
#include "wingui/ControlIds.h"
#include "wingui/Controls.h"
#include "wingui/CoolMsg.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

HWND TMainForm::PageControl(TPage page, const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x,
                            int y, int width, int height, DWORD exStyle) {
    HWND control = MakeControl(window_, cls, text, style, id, x, kHeaderHeight + y, width, height, exStyle);
    ShowWindow(control, SW_HIDE);
    pages_[int(page)].push_back(control);
    return control;
}

namespace {

// A link control draws its link in the system's link colour, which a dark scheme may leave
// unreadable on the face colour: the link is drawn here, where the control draws it, in
// LinkColour. Clicks, keys and what a screen reader says stay the control's.
LRESULT CALLBACK PaintLink(HWND link, UINT message, WPARAM wParam, LPARAM lParam, void*) {
    if (message != WM_PAINT) return CallSubclassed(link, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(link, &paint);
    RECT client;
    GetClientRect(link, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    auto text = WindowTextWide(link);
    for (const std::wstring tag : {L"<a>", L"</a>"})
        for (auto at = text.find(tag); at != std::wstring::npos; at = text.find(tag)) text.erase(at, tag.size());
    LOGFONTW underlined{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)), sizeof underlined, &underlined);
    underlined.lfUnderline = TRUE;
    HFONT font = CreateFontIndirectW(&underlined);
    auto* old = SelectObject(dc, font);
    SetTextColor(dc, LinkColour());
    SetBkMode(dc, TRANSPARENT);
    RECT drawn = client;
    DrawTextW(dc, text.c_str(), int(text.size()), &drawn, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    DrawTextW(dc, text.c_str(), int(text.size()), &drawn, DT_WORDBREAK | DT_NOPREFIX);
    if (GetFocus() == link) DrawFocusRect(dc, &drawn);
    SelectObject(dc, old);
    DeleteObject(font);
    EndPaint(link, &paint);
    return 0;
}

}  // namespace

HWND TMainForm::Link(TPage page, const std::string& text, int id, int x, int y, int width, int height) {
    HWND link = PageControl(page, WC_LINK, L"<a>" + Ui(text) + L"</a>", WS_TABSTOP, id, x, y, width, height);
    Subclass(link, PaintLink, nullptr);
    return link;
}

void TMainForm::MakeCreateOptionsPage() {
    const auto& texts = app_.texts;
    constexpr auto page = TPage::CreateOptions;
    HWND title = PageControl(page, L"STATIC", Ui(texts[StrId::GUI_TEXT1PAGE3]), SS_NOPREFIX, 0, 24, 10, 520, 22);
    SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
    PageControl(page, L"STATIC", Ui(texts[StrId::GUI_TEXTPAGE3QUANTITY]), SS_NOPREFIX, 0, 26, 40, 65, 16);
    PageControl(page, L"STATIC", Ui(texts[StrId::GUI_TEXTPAGE3DISKTYPE]), SS_NOPREFIX, 0, 96, 40, 300, 16);
    rows_.Create(window_, kIdScrollCreateList, 24, kHeaderHeight + 58, TCreateListPanel::kRowWidth + 24, 152,
                 *presenter_, {Ui(texts[StrId::GUI_TEXTPAGE3QUANTITY]), Ui(texts[StrId::GUI_TEXTPAGE3DISKTYPE])});
    ShowWindow(rows_.Window(), SW_HIDE);
    pages_[int(page)].push_back(rows_.Window());
    const int left = 24 + TCreateListPanel::kRowWidth + 36;
    PageControl(page, L"BUTTON", L"+", WS_TABSTOP, kIdBtnAdd, left, 58, 28, 28);
    PageControl(page, L"BUTTON", L"\u2212", WS_TABSTOP, kIdBtnRemove, left, 92, 28, 28);
    PageControl(page, L"BUTTON", L"\u00D7", WS_TABSTOP, kIdBtnClear, left, 126, 28, 28);
    PageControl(page, L"STATIC", L"", SS_NOPREFIX, kIdDrivesNotice, 24, 214, 524, 44);
}

void TMainForm::MakeProgramOptionsPage() {
    const auto& texts = app_.texts;
    constexpr auto page = TPage::ProgramOptions;
    PageControl(page, L"STATIC", Ui(texts[StrId::GUI_TEXT2OPTIONS]), SS_NOPREFIX, 0, 24, 8, 520, 18);
    HWND list = PageControl(page, WC_LISTVIEWW, L"",
                            WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                            kIdChkOptions, 24, 28, 524, 124, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = Scaled(524) - GetSystemMetrics(SM_CXVSCROLL) - 4;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    // Inserting an item tells of it unticked: the saved states go on afterwards.
    const auto options = presenter_->Options();
    for (std::size_t i = 0; i < kOptionCount; ++i) {
        auto label = Ui(texts[kOptionInfo[i].label]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = int(i);
        item.pszText = label.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    for (std::size_t i = 0; i < kOptionCount; ++i) ListView_SetCheckState(list, int(i), options[i] ? TRUE : FALSE);
    // The first Space after tabbing in ticks the first option: an item holds the focus from the start.
    ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);

    // The link stands 5 pixels right of its label, however long the label's text is.
    const auto caption = Ui(texts[StrId::GUI_TEXT3OPTIONS]);
    HWND commandLabel = PageControl(page, L"STATIC", caption, SS_NOPREFIX, kIdLabelCommandLine, 24, 162, 230, 18);
    const int linkLeft = 24 + TextWidth(commandLabel, caption) + 5;
    Link(page, texts[StrId::GUI_MORE_INFO], kIdHyperLink1, linkLeft, 162, 262 - linkLeft, 18);
    HiddenLabel(window_, caption);
    PageControl(page, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, kIdCommandLine, 24, 182, 226, 22, WS_EX_CLIENTEDGE);

    PageControl(page, L"STATIC", Ui(texts[StrId::GUI_TEXT2BOOT]), SS_NOPREFIX, 0, 266, 162, 282, 18);
    PageControl(page, L"STATIC", Ui(texts[StrId::GUI_OPERATING_SYSTEM_CD] + texts[StrId::GUI_MSDOS]), SS_NOPREFIX,
                kIdPanelCDBoot, 272, 186, 276, 18);
    // The combo box stands 5 pixels right of its label, whatever the font and the screen's dpi.
    const auto floppyCaption = Ui(texts[StrId::GUI_OPERATING_SYSTEM_FLOPPY]);
    HWND floppyLabel = PageControl(page, L"STATIC", floppyCaption, SS_NOPREFIX, kIdPanelFloppyBoot, 272, 214, 200, 18);
    const int labelWidth = TextWidth(floppyLabel, floppyCaption);
    SetWindowPos(floppyLabel, nullptr, 0, 0, Scaled(labelWidth), Scaled(18), SWP_NOMOVE | SWP_NOZORDER);
    const int osLeft = 272 + labelWidth + 5;
    HWND os = PageControl(page, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kIdComboBoxOS, osLeft,
                          211, std::max(80, 548 - osLeft), 120);
    for (const auto& choice : presenter_->OsList())
        SendMessageW(os, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Ui(choice).c_str()));
    SendMessageW(os, CB_SETCURSEL, 0, 0);
}

void TMainForm::MakePageStartPage() {
    const auto& texts = app_.texts;
    PageControl(TPage::PageStart, L"STATIC", LabelText(texts[StrId::GUI_TEXT1PAGE6]), SS_NOPREFIX, 0, 24, 14, 524, 130);
    Link(TPage::PageStart, texts[StrId::GUI_WHAT_SHOULD_I_DO], kIdHyperLink2, 24, 160, 524, 36);
}

void TMainForm::MakeProgressPage() {
    constexpr auto page = TPage::Progress;
    HWND title = PageControl(page, L"STATIC", Ui(app_.texts[StrId::GUI_TEXT1PAGE7]), SS_NOPREFIX, 0, 24, 40, 524, 22);
    SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
    // Below the prompts, which stand centred over the window, so the copy in hand stays in sight.
    PageControl(page, L"STATIC", L"", SS_NOPREFIX, kIdLabelCopy, 24, 186, 524, 18);
    HiddenLabel(window_, Ui(app_.texts[StrId::GUI_TEXT1PAGE7]));
    HWND bar = PageControl(page, PROGRESS_CLASSW, L"", 0, kIdProgressBar, 24, 208, 524, 22);
    SendMessageW(bar, PBM_SETRANGE32, 0, 100);
}

void TMainForm::MakeFinishPage() {
    const auto& texts = app_.texts;
    constexpr auto page = TPage::Finish;
    HWND title = PageControl(page, L"STATIC", Ui(texts[StrId::GUI_TEXT1PAGE8]), SS_NOPREFIX, kIdFinishTitle, 24, 14,
                             524, 22);
    SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
    Link(page, texts[StrId::GUI_WHAT_SHOULD_I_DO_NEXT], kIdHyperLink4, 24, 44, 524, 20);
    HWND more = PageControl(page, L"BUTTON", Ui(presenter_->MoreDisksCaption()), WS_TABSTOP | BS_AUTORADIOBUTTON,
                            kIdChkMoreDisks, 24, 90, 524, 22);
    PageControl(page, L"BUTTON", Ui(presenter_->ExitCaption()), BS_AUTORADIOBUTTON, kIdChkExit, 24, 116, 524, 22);
    // A group of its own: Down from the last radio comes back to the first, never onto this text.
    PageControl(page, L"STATIC", L"", WS_GROUP | SS_NOPREFIX, kIdLabelMade, 24, 148, 524, 100);
    SendMessageW(more, BM_SETCHECK, BST_CHECKED, 0);
}

void TMainForm::MakeFooter() {
    const int top = kClientHeight - kFooterHeight;
    MakeControl(window_, L"BUTTON", L"?", WS_TABSTOP, kIdBtnHelp, 12, top + 9, 26, 26);
    MakeControl(window_, L"BUTTON", L"", WS_TABSTOP, kIdBtnBack, 290, top + 10, 84, 25);
    MakeControl(window_, L"BUTTON", L"", WS_TABSTOP | BS_DEFPUSHBUTTON, kIdBtnNext, 380, top + 10, 84, 25);
    MakeControl(window_, L"BUTTON", L"", WS_TABSTOP, kIdBtnClose, 476, top + 10, 84, 25);
    SendMessageW(window_, DM_SETDEFID, kIdBtnNext, 0);

    PopupHelp = CreatePopupMenu();
    int id = kIdHelpContents;
    for (const auto& entry : presenter_->HelpMenuEntries()) {
        if (entry.item == THelpMenuEntry::TItem::Separator) AppendMenuW(PopupHelp, MF_SEPARATOR, 0, nullptr);
        else AppendMenuW(PopupHelp, MF_STRING, UINT_PTR(id++), Ui(entry.caption).c_str());
    }
}

}  // namespace bootdisk::win
