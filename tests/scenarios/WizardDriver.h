// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a scenario does with a wizard, as a user would: keys, clicks, typing, and what the window and
// its boxes show. Each front end's test implements it over its own toolkit: the Qt wizard in the
// test's process, the Win32 wizard from outside its process under wine.
#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Wizard.h"
#include "app/WizardView.h"

namespace bootdisk::test {

enum class TKey { Tab, Space, Return, Escape, F1, Up, Down, End, Delete };
enum class TBoxButton { Left, Mid, Right, Frame };
// The texts that are no controls.
enum class TLabel { DrivesNotice, Copy, FinishTitle, Made };

// What Dialog() finds open.
inline const std::string kSaveDialog = "<save dialog>";
inline const std::string kFolderDialog = "<folder dialog>";
inline const std::string kTextViewer = "<text viewer>";

class IWizardDriver {
public:
    virtual ~IWizardDriver() = default;

    // A wizard started afresh on its first page, with option states of its own; in language when
    // one is given (its code, as --language takes it).
    virtual void Start(const std::string& language = {}) = 0;
    // Ends it, if it still runs.
    virtual void Stop() = 0;
    // The wizard's window has closed (and, for a wizard in a process of its own, the process ended).
    virtual bool Ended() = 0;
    // Whether Yes to the stop question may end the wizard (it must not end the test itself).
    virtual bool OwnProcess() const = 0;
    // Whether this host has a floppy drive, and whether a CD asks for the MS-DOS folder here.
    virtual bool HasFloppyDrive() = 0;
    virtual bool CdAsksMsDosFolder() = 0;
    // A folder the test may write into, and the MS-DOS system files' folder.
    virtual std::string ScratchFolder() = 0;
    virtual std::string MsDosFolder() = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // The folder the wizard takes its language files from, with a trailing separator.
    virtual std::string LanguageFolder() = 0;
    // A file of a FAT floppy image as mtools reads it; empty when it cannot.
    virtual std::string FloppyImageFile(const std::string& image, const std::string& name) = 0;
    // An 8 MB stick plugged in through the drive ports' stand-in, mounted at mountPoint (UTF-8) or,
    // when it is empty, not mounted; false where this front end has no stand-in for sticks.
    virtual bool PlugStick(const std::string& name, const std::string& mountPoint) = 0;
    virtual void PullStick(const std::string& name) = 0;

    // To whatever has the keyboard focus (a box's or a dialog's too).
    virtual void Press(TKey key) = 0;
    virtual void Type(const std::string& text) = 0;
    virtual void Click(TControlRef control) = 0;
    virtual void Wheel(TControlRef control, int notches) = 0;
    // The close button of the main window's frame.
    virtual void CloseMainWindow() = 0;
    // The user's session ends (log-off) while the wizard runs; false where this front end is not told.
    virtual bool EndSession() { return false; }

    virtual TPage Page() = 0;
    // The main window's control that has the keyboard focus; None when no control of it has.
    virtual TControlRef Focus() = 0;
    virtual bool Enabled(TControlRef control) = 0;
    // Shown on its page, and for a row's control inside the list's view.
    virtual bool Shown(TControlRef control) = 0;
    // A button's caption, an edit's text, a list's chosen item; the options list's check states
    // as twelve "0"/"1".
    virtual std::string Text(TControlRef control) = 0;
    virtual std::string Label(TLabel label) = 0;
    // The entries of a list.
    virtual std::vector<std::string> Items(TControlRef control) = 0;
    virtual std::size_t Rows() = 0;
    // Every text the wizard's own windows show now (the main window and any box or dialog of its
    // own): titles, captions, labels, links, list and menu entries, hints and the names a screen
    // reader says. The system's and the toolkit's own dialogs speak their own language and are left
    // out.
    virtual std::vector<std::string> ShownTexts() = 0;
    virtual bool MainWindowEnabled() = 0;

    // The message box's text, kSaveDialog, kFolderDialog or kTextViewer (the wizard's own viewer
    // of a licence or help topic), waiting up to a while for one to open;
    // empty when none did.
    virtual std::string Dialog(int waitMilliseconds = 10000) = 0;
    virtual void Answer(TBoxButton button) = 0;
    virtual void AnswerSave(const std::string& path) = 0;
    // The folder dialog: folder named (empty: none) and OK pressed; or Cancel pressed.
    virtual void AnswerFolder(const std::string& folder) = 0;
    virtual void AnswerFolderCancel() = 0;
};

// A scenario's failed expectation; the runner reports it and goes on with the next scenario.
struct TScenarioFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// A scenario that cannot be played on this front end or host.
struct TScenarioSkipped : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct TScenario {
    const char* name;
    std::function<void(IWizardDriver&)> play;
};

// Every scenario, each written once for every front end.
const std::vector<TScenario>& WizardScenarios();

// Plays each scenario on a fresh wizard and prints what failed; the count of failures.
int PlayScenarios(IWizardDriver& driver, const std::string& frontEnd, const std::string& only = {});

}  // namespace bootdisk::test
