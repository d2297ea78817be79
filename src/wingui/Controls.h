// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few helpers every window of the wizard shares: dialogs from an empty template, controls
// placed in pixels of a 96 dpi screen and scaled to this one, the system's message font.
#include <windows.h>

#include <string>
#include <vector>

namespace bootdisk::win {

// Pixels of a 96 dpi screen on this screen.
int Scaled(int pixels);

// The system's message font (the theme's dialog font).
HFONT MessageFont();
HFONT BoldFont(int pointsMore);

// Registers a window class of the wizard's own, with the given cursor (an IDC_ value); a class
// already registered stays as it is.
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, LPCWSTR cursor);

// The title bar and task bar show the application icon (resource 1) of this executable.
void SetApplicationIcon(HWND window);

// A child control in logical pixels, with the message font. id may be 0.
HWND MakeControl(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x, int y,
                 int width, int height, DWORD exStyle = 0);
// A label no one sees, just before a control with no label of its own next to it: a screen
// reader names the control by it.
HWND HiddenLabel(HWND parent, const std::wstring& caption);

// Puts procedure in front of a control's own window procedure; it hands on what it does not take
// with CallSubclassed.
using TSubclassProc = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM, void* data);
void Subclass(HWND control, TSubclassProc procedure, void* data);
LRESULT CallSubclassed(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// The width of text in the control's font, in logical pixels.
int TextWidth(HWND control, const std::wstring& text);
// The height of text in the control's font, broken into lines width logical pixels wide, in
// logical pixels; format adds DrawText flags (DT_CENTER, DT_NOPREFIX).
int TextHeight(HWND control, const std::wstring& text, int width, UINT format = 0);

// A link's colour on the face colour: the system's link colour moved towards the text colour
// until it reads 4.5:1, as a dark scheme's blue links may not.
COLORREF LinkColour();

// Gives the window a client area of width x height logical pixels, keeping its position.
void SetClientSize(HWND window, int width, int height);
// Centres window over owner, or over the desktop's work area without one.
void CentreOver(HWND window, HWND owner);

// A dialog with no controls of its own (the procedure makes them in WM_INITDIALOG): modal, or
// modeless for the main window. style adds to WS_POPUP | WS_CAPTION | WS_SYSMENU.
INT_PTR RunDialog(HWND owner, DLGPROC procedure, LPARAM parameter, DWORD style = DS_MODALFRAME);
HWND CreateDialogWindow(HWND owner, DLGPROC procedure, LPARAM parameter, DWORD style);

// Keeps count of the dialogs open, innermost last; see OwnerDialog.
void TrackDialog(HWND window, UINT message);
// The dialog a new box belongs to: the innermost one open, whose question it is.
HWND OwnerDialog();

// The object handed to RunDialog or CreateDialogWindow, stored with the window at WM_INITDIALOG.
template <class T>
T* DialogObject(HWND window, UINT message, LPARAM lParam) {
    TrackDialog(window, message);
    if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, DWLP_USER));
}

// Handles every pending window message, the main window's dialog keys included.
void PumpMessages();
// The modeless window whose keys (Tab, Return, Escape) the message loops pass on.
void SetDialogKeysWindow(HWND window);
bool IsDialogKey(MSG& message);

}  // namespace bootdisk::win
