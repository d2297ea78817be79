// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folder dialog that asks where the MS-DOS system files are when the host has none.
#include <QDialog>
#include <string>

class QFileSystemModel;
class QTreeView;

namespace bootdisk {

class IDialogs;
class IHostSystem;
class TStringTable;

inline constexpr int kSearchConfirmed = 1;
inline constexpr int kSearchCancelled = 2;

class TSearchSysForm : public QDialog {
    Q_OBJECT
public:
    TSearchSysForm(IDialogs& dialogs, const TStringTable& texts, const IHostSystem& host, QWidget* parent);

    // The last confirmed folder, ending in the path separator.
    std::string Folder;

    // Closing through the frame or with Escape asks like Cancel.
    void reject() override { BtnCancelClick(); }

private:
    void BtnOKClick();
    void BtnCancelClick();

    IDialogs& dialogs_;
    const TStringTable& texts_;
    const IHostSystem& host_;
    QFileSystemModel* model_;
    QTreeView* ShellTreeView;
};

}  // namespace bootdisk
