// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The creation list's rows in a scrolling panel: per row the quantity cell with its up and down
// buttons and the list of media kinds. The panel draws the list and feeds every edit to it; the
// rules are the list's.
#include <windows.h>

#include <vector>

#include "app/CreateList.h"

namespace bootdisk::win {

class TCreateListPanel {
public:
    static constexpr int kRowWidth = 433;
    static constexpr int kRowHeight = 24;
    // Control IDs of row r: kIdFirstRow + r * kIdsPerRow + the part's offset.
    static constexpr int kIdFirstRow = 1000;
    static constexpr int kIdsPerRow = 4;
    static constexpr int kEditNrDisks = 0;
    static constexpr int kUpDown = 1;
    static constexpr int kComboBox = 2;

    TCreateListPanel(TCreationList& list, const std::vector<TMediaKind>& kinds) : list_(list), kinds_(kinds) {}

    // The panel as a child of parent, in logical pixels.
    void Create(HWND parent, int id, int x, int y, int width, int height);
    HWND Window() const { return window_; }
    // Makes the rows shown match the list's, and brings the last row into view when asked.
    void Sync(bool showLast = false);

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void AddRowControls(std::size_t row);
    void Place();
    void Select(std::size_t row);
    void OnCommand(int id, int code, HWND control);
    bool OnStep(int id, int delta);
    void Scroll(int position);
    void Paint(HDC dc);

    TCreationList& list_;
    const std::vector<TMediaKind>& kinds_;
    HWND window_ = nullptr;
    struct TRowControls {
        HWND edit, upDown, combo;
    };
    std::vector<TRowControls> rows_;
    int scroll_ = 0;  // in screen pixels
    HBRUSH white_ = nullptr;
    HBRUSH selected_ = nullptr;
    HBRUSH line_ = nullptr;
};

}  // namespace bootdisk::win
