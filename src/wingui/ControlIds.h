// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The control IDs of the main window, for its own code and for whatever drives it from outside
// (the end-to-end check).
namespace bootdisk::win {

inline constexpr int kIdBtnClose = 10;
inline constexpr int kIdBtnBack = 11;
inline constexpr int kIdBtnNext = 12;
inline constexpr int kIdBtnHelp = 13;
inline constexpr int kIdHeaderTitle = 14;

inline constexpr int kIdBtnAdd = 20;
inline constexpr int kIdBtnRemove = 21;
inline constexpr int kIdBtnClear = 22;
inline constexpr int kIdScrollCreateList = 23;

inline constexpr int kIdChkOptions = 30;
inline constexpr int kIdCommandLine = 31;
inline constexpr int kIdComboBoxOS = 32;
inline constexpr int kIdHyperLink1 = 33;
inline constexpr int kIdPanelCDBoot = 34;
inline constexpr int kIdPanelFloppyBoot = 35;

inline constexpr int kIdHyperLink2 = 40;
inline constexpr int kIdProgressBar = 50;

inline constexpr int kIdFinishTitle = 60;
inline constexpr int kIdHyperLink4 = 61;
inline constexpr int kIdChkMoreDisks = 62;
inline constexpr int kIdChkExit = 63;

// The help menu's items, in menu order.
inline constexpr int kIdHelpContents = 70;
inline constexpr int kIdHelpPage = 71;
inline constexpr int kIdHelpFaq = 72;
inline constexpr int kIdHelpSupport = 73;
inline constexpr int kIdHelpAbout = 74;
inline constexpr int kIdHelpWeb = 75;

}  // namespace bootdisk::win
