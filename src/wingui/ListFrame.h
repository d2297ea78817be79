// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The creation list's rows in a scrolling panel: per row the quantity cell with its up and down
// buttons and the list of media kinds. The panel draws what the presenter shows and forwards every
// edit, step, choice and focus change to it.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/CreateList.h"

namespace bootdisk {
class TWizardPresenter;
}

namespace bootdisk::win {

// What a screen reader calls a row's controls (their value is no name).
struct TRowCaptions {
    std::wstring quantity, kind;
};

class TCreateListPanel {
public:
    static constexpr int kRowWidth = 433;
    static constexpr int kRowHeight = 24;

    // The panel as a child of parent, in logical pixels.
    void Create(HWND parent, int id, int x, int y, int width, int height, TWizardPresenter& presenter,
                TRowCaptions captions);
    HWND Window() const { return window_; }

    void ShowKinds(const std::vector<TMediaKind>& kinds);
    void Show(const std::vector<TCreateListRow>& rows, std::optional<std::size_t> selected);
    void ShowSelection(std::optional<std::size_t> selected);
    void ShowQuantity(std::size_t row, const std::string& text);
    void ScrollIntoView(std::size_t row);

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK QuantityProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, void* data);
    static LRESULT CALLBACK KindProc(HWND combo, UINT message, WPARAM wParam, LPARAM lParam, void* data);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void AddRowControls(std::size_t row);
    void FillKinds(HWND combo) const;
    void Place();
    void Repaint();
    void OnCommand(int id, int code, HWND control);
    void Scroll(int position);
    int MaxScroll() const;
    void Paint(HDC dc);

    TWizardPresenter* presenter_ = nullptr;
    HWND window_ = nullptr;
    struct TRowControls {
        HWND edit, upDown, combo;
        HWND labels[3];
    };
    std::vector<TRowControls> rows_;
    std::vector<std::wstring> kindLabels_;
    std::optional<std::size_t> selected_;
    int scroll_ = 0;  // in screen pixels
    TRowCaptions captions_;
    HBRUSH line_ = nullptr;
};

}  // namespace bootdisk::win
