// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The control IDs of the main window, for its own code and for whatever drives it from outside
// (the scenario driver), with the role each stands for.
#include "app/WizardView.h"

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
inline constexpr int kIdDrivesNotice = 24;

inline constexpr int kIdChkOptions = 30;
inline constexpr int kIdCommandLine = 31;
inline constexpr int kIdComboBoxOS = 32;
inline constexpr int kIdHyperLink1 = 33;
inline constexpr int kIdPanelCDBoot = 34;
inline constexpr int kIdPanelFloppyBoot = 35;
inline constexpr int kIdLabelCommandLine = 36;

inline constexpr int kIdHyperLink2 = 40;
inline constexpr int kIdProgressBar = 50;
inline constexpr int kIdLabelCopy = 51;

inline constexpr int kIdFinishTitle = 60;
inline constexpr int kIdHyperLink4 = 61;
inline constexpr int kIdChkMoreDisks = 62;
inline constexpr int kIdChkExit = 63;
inline constexpr int kIdLabelMade = 64;

// The help menu's items, in menu order.
inline constexpr int kIdHelpContents = 70;
inline constexpr int kIdHelpPage = 71;
inline constexpr int kIdHelpFaq = 72;
inline constexpr int kIdHelpSupport = 73;
inline constexpr int kIdHelpAbout = 74;
inline constexpr int kIdHelpWeb = 75;

// The text of the wizard's own viewer (a licence, a help topic).
inline constexpr int kIdViewerText = 311;

// The row controls, children of the list panel: row r's part has the ID kIdFirstRow +
// r * kIdsPerRow + the part's offset.
inline constexpr int kIdFirstRow = 1000;
inline constexpr int kIdsPerRow = 4;
inline constexpr int kRowEditNrDisks = 0;
inline constexpr int kRowUpDown = 1;
inline constexpr int kRowComboBox = 2;

// The main window's controls by role; row controls are the list panel's.
inline constexpr int ControlId(TControlRef control) {
    switch (control.role) {
        case TRole::None: return 0;
        case TRole::BtnClose: return kIdBtnClose;
        case TRole::BtnBack: return kIdBtnBack;
        case TRole::BtnNext: return kIdBtnNext;
        case TRole::BtnHelp: return kIdBtnHelp;
        case TRole::BtnAdd: return kIdBtnAdd;
        case TRole::BtnRemove: return kIdBtnRemove;
        case TRole::BtnClear: return kIdBtnClear;
        case TRole::EditNrDisks: return kIdFirstRow + int(control.row) * kIdsPerRow + kRowEditNrDisks;
        case TRole::ComboBox: return kIdFirstRow + int(control.row) * kIdsPerRow + kRowComboBox;
        case TRole::ChkOptions: return kIdChkOptions;
        case TRole::CommandLine: return kIdCommandLine;
        case TRole::HyperLink1: return kIdHyperLink1;
        case TRole::ComboBoxCdOS: return 0;  // a Windows CD always boots MS-DOS
        case TRole::ComboBoxOS: return kIdComboBoxOS;
        case TRole::HyperLink2: return kIdHyperLink2;
        case TRole::HyperLink4: return kIdHyperLink4;
        case TRole::ChkMoreDisks: return kIdChkMoreDisks;
        case TRole::ChkExit: return kIdChkExit;
    }
    return 0;
}

inline constexpr bool IsRowId(int id) { return id >= kIdFirstRow; }

inline constexpr TControlRef RoleOfId(int id) {
    if (IsRowId(id)) {
        const auto row = std::size_t((id - kIdFirstRow) / kIdsPerRow);
        switch ((id - kIdFirstRow) % kIdsPerRow) {
            case kRowEditNrDisks: return {TRole::EditNrDisks, row};
            case kRowComboBox: return {TRole::ComboBox, row};
            default: return {};
        }
    }
    for (int role = int(TRole::BtnClose); role <= int(TRole::ChkExit); ++role)
        if (id != 0 && ControlId({TRole(role)}) == id) return {TRole(role)};
    return {};
}

}  // namespace bootdisk::win
