// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything the wizard decides that is not drawing: the page flow, where the focus goes, the rules
// of the creation list's rows, the media kinds and their following of drives, the boot OS choice,
// the help menu and topics, the About box's texts, the creation run and the stop question when the
// window is closed during one. A front end draws through IWizardView and forwards its events here.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "app/MediaSources.h"
#include "app/Startup.h"
#include "app/Wizard.h"
#include "app/WizardView.h"
#include "platform/Settings.h"

namespace bootdisk {

struct TWizardPorts {
    TAppContext& app;
    IDialogs& dialogs;
    const IHostSystem& host;
    ISettingsStore& settings;
    IWizardMedia& media;
    // Ends the program after Yes to the stop question asked when the window is closed mid-run.
    std::function<void()> endRun;
    // Where the record of media made is kept; empty: nothing is recorded.
    std::string recordPath = {};
};

class TWizardPresenter {
public:
    static constexpr int kTicksPerDriveScan = 20;  // of the 50 ms timer: once a second

    // Loads the saved option states.
    TWizardPresenter(TWizardPorts ports, IWizardView& view);

    // The window's first activation: the first row, the first page, the notices.
    void Activate();

    // A click on a button or a link, or the focused one pressed from the keyboard.
    void Click(TRole control);
    void HelpMenu(THelpMenuEntry::TItem item);
    void AboutSupport();
    void AboutLicense();
    void AboutFreeSoftware();
    // F1, Escape, Return and Delete as the window gets them.
    void Key(TWindowKey key);

    // The rows. The quantity as typed; its editing ended; the up and down steps (the buttons or
    // the arrow keys); a kind chosen; a mouse press on the row.
    void QuantityTyped(std::size_t row, const std::string& text);
    void QuantityEdited(std::size_t row);
    void Step(std::size_t row, int delta);
    void KindChosen(std::size_t row, std::size_t kind);
    void RowPressed(std::size_t row);
    // The wheel turns a kind list only when it is opened: scrolling the list past a closed one must
    // not change its row's medium.
    static bool WheelTurnsKind(bool listOpened) { return listOpened; }

    void FocusChanged(TControlRef focus);
    void OptionToggled(std::size_t option, bool checked);
    // The parameters box's text as the toolkit holds it, unconverted: it is checked as typed.
    void ParametersTyped(std::u16string text) { parameters_ = std::move(text); }
    void OsChosen(TRole list, std::size_t index);
    void ExitChosen(bool exit) { exitChosen_ = exit; }

    // The 50 ms timer; the system's word that drives came or went.
    void Tick();
    void DrivesChanged();

    // The window is asked to close (its frame, the system): false while it must stay open.
    bool CloseRequested();
    // The window closes: the option states are saved.
    void Closed();

    // What the view draws from.
    const TWizard& Wizard() const { return wizard_; }
    const std::vector<TMediaKind>& Kinds() const { return kinds_; }
    const TCreationList& List() const { return list_; }
    const TOptionStates& Options() const { return options_; }
    const std::vector<std::string>& OsList() const { return osChoices_; }
    bool CdOffersOsChoice() const { return cdOffersOs_; }
    std::vector<THelpMenuEntry> HelpMenuEntries() const;
    TAboutTexts AboutTexts() const;
    // The finish page's radio buttons, with their mnemonics.
    std::string MoreDisksCaption() const;
    std::string ExitCaption() const;
    bool Running() const { return running_; }

private:
    void Next();
    void Back();
    void Add();
    void Remove();
    void Clear();
    // Asks question, Return meaning No; true on Yes.
    bool Confirm(const std::string& question);
    void RunCreation();
    void FollowDrives();
    void SaveOptionStates();
    void OpenHelp(const THelpTarget& target);
    void OpenLicense(const std::string& file, const std::string& title);
    void ShowNotice();
    // Why a row cannot be made on this computer (a floppy without a floppy drive, a drive the program
    // lacks the rights to write); empty when all can.
    std::string RowsRefusal() const;
    // A medium is wanted, or the run ended: a window in the background calls the user.
    void CallUser(const std::string& text);

    void ShowWizard();
    void ShowListButtons();
    void ShowRows();
    void Select(std::size_t row);
    // A page change puts the focus on the page's first control.
    TControlRef FirstFocus() const;
    bool Usable(TControlRef control) const;
    // Moves the focus off a control of the window that was disabled or hidden.
    void KeepFocusUsable();
    std::size_t DefaultKind() const;
    bool UsesMsDos(std::size_t choice) const;
    std::vector<std::string> FooterCaptions() const;

    TWizardPorts ports_;
    IWizardView& view_;
    const TStringTable& texts_;
    std::vector<TMediaKind> kinds_;
    TCreationList list_;
    TWizard wizard_;
    TOptionStates options_ = kDefaultOptions;
    std::vector<std::string> osChoices_;
    bool cdOffersOs_ = false;
    std::size_t floppyOs_ = 0, cdOs_ = 0;
    std::u16string parameters_;
    bool exitChosen_ = false;
    bool activated_ = false;
    bool running_ = false;
    const TCreationDriver* driver_ = nullptr;  // of the run in hand
    int ticksToDriveScan_ = 0;
};

// The captions with an "&" before a letter no earlier caption took, in order; an "&" of a text
// is doubled so that it shows as itself.
std::vector<std::string> WithMnemonics(const std::vector<std::string>& captions);

}  // namespace bootdisk
