// SPDX-License-Identifier: GPL-3.0-or-later
// The wizard's scenarios, written once and played on the Qt and the Win32 wizard: keyboard and focus,
// the rows' rules, the stop question, the boxes of the folder dialog, and whole runs.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>
#include <thread>

#include "app/StrBase.h"
#include "scenarios/WizardDriver.h"

namespace bootdisk::test {

namespace {

using namespace std::chrono_literals;

const std::string kImageRecorder = "Image recorder (Save CD image as ISO file)";
const std::string kFloppyImage = "Image recorder (Save floppy image as IMG file)";
const std::string kStopQuestion = "Do you want to stop the process ?";
const std::string kFileLocation = "Please select the location for the image file";

void Expect(bool condition, const std::string& what) {
    if (!condition) throw TScenarioFailure(what);
}

std::string Describe(TControlRef control) {
    static const char* const names[] = {"nothing", "BtnClose", "BtnBack", "BtnNext", "BtnHelp", "BtnAdd",
                                        "BtnRemove", "BtnClear", "EditNrDisks", "ComboBox", "ChkOptions",
                                        "CommandLine", "HyperLink1", "ComboBoxCdOS", "ComboBoxOS", "HyperLink2",
                                        "HyperLink4", "ChkMoreDisks", "ChkExit"};
    std::string name = names[int(control.role)];
    if (control.role == TRole::EditNrDisks || control.role == TRole::ComboBox) name += " " + std::to_string(control.row);
    return name;
}

// The focus comes back to the main window only once a box has gone, so it is given a moment.
TControlRef SettledFocus(IWizardDriver& wizard, TControlRef wanted = {}) {
    auto focus = wizard.Focus();
    for (int i = 0; i < 40 && (focus.role == TRole::None || focus != wanted); ++i) {
        if (focus.role != TRole::None && wanted.role == TRole::None) break;
        std::this_thread::sleep_for(50ms);
        focus = wizard.Focus();
    }
    return focus;
}

void ExpectFocus(IWizardDriver& wizard, TControlRef wanted, const std::string& when) {
    const auto focus = SettledFocus(wizard, wanted);
    Expect(focus == wanted, when + ": the focus is on " + Describe(focus) + ", not on " + Describe(wanted));
}

// The focus is on a control of the window that is shown and enabled, so keys go on from it.
void ExpectUsableFocus(IWizardDriver& wizard, const std::string& when) {
    const auto focus = SettledFocus(wizard);
    Expect(focus.role != TRole::None, when + ": the focus is nowhere");
    Expect(wizard.Shown(focus) && wizard.Enabled(focus),
           when + ": the focus is on " + Describe(focus) + ", which is hidden or disabled");
}

// Presses Tab until the focus is on control.
void TabTo(IWizardDriver& wizard, TControlRef control) {
    for (int i = 0; i < 40; ++i) {
        if (wizard.Focus() == control) return;
        wizard.Press(TKey::Tab);
    }
    Expect(false, "Tab never reaches " + Describe(control) + "; the focus is on " + Describe(wizard.Focus()));
}

void ExpectDialog(IWizardDriver& wizard, const std::string& wanted, const std::string& when) {
    const auto shown = wizard.Dialog();
    Expect(shown.rfind(wanted, 0) == 0, when + ": \"" + wanted + "\" was expected, not \"" + shown + "\"");
}

void ChooseImageRecorder(IWizardDriver& wizard, std::size_t row = 0) {
    TabTo(wizard, {TRole::ComboBox, row});
    wizard.Press(TKey::End);
    Expect(wizard.Text({TRole::ComboBox, row}) == kImageRecorder, "End in a kind list does not choose the last kind");
}

// From the first page to the first prompt of a run of the rows.
void StartRun(IWizardDriver& wizard) {
    wizard.Click({TRole::BtnNext});
    wizard.Click({TRole::BtnNext});
    wizard.Click({TRole::BtnNext});
    Expect(wizard.Page() == TPage::Progress, "Create did not start the run");
}

// Cancel, then Yes: the run ends at once.
void StopRun(IWizardDriver& wizard) {
    ExpectDialog(wizard, kFileLocation, "the run's first prompt");
    wizard.Answer(TBoxButton::Right);
    ExpectDialog(wizard, kStopQuestion, "Cancel on a prompt");
    wizard.Answer(TBoxButton::Left);
    Expect(wizard.Page() == TPage::Finish, "the finish page did not follow a stop");
}

// Faults 1 and 14: Remove and Clear pressed from the keyboard disable themselves; the focus must go
// on to a control that takes Tab and Return, and Remove must remove the row just added.
void RemoveAndClearFromTheKeyboard(IWizardDriver& wizard) {
    wizard.Click({TRole::BtnAdd});
    TabTo(wizard, {TRole::EditNrDisks, 0});
    wizard.Type("5");
    // A row costs two tab stops, and nothing hidden sits between the last row and Add.
    TabTo(wizard, {TRole::EditNrDisks, 1});
    wizard.Press(TKey::Tab);
    ExpectFocus(wizard, {TRole::ComboBox, 1}, "Tab from the second row's quantity");
    wizard.Press(TKey::Tab);
    ExpectFocus(wizard, {TRole::BtnAdd}, "Tab from the last row's kind list");
    TabTo(wizard, {TRole::BtnRemove});
    wizard.Press(TKey::Space);
    Expect(wizard.Rows() == 1 && wizard.Text({TRole::EditNrDisks, 0}) == "5",
           "Remove did not remove the row just added");
    ExpectUsableFocus(wizard, "after Remove");
    // Clear asks first; Return, out of habit, keeps the list.
    TabTo(wizard, {TRole::BtnClear});
    wizard.Press(TKey::Space);
    ExpectDialog(wizard, "Remove every row of the list?", "Clear");
    wizard.Press(TKey::Return);
    Expect(wizard.Rows() == 1, "Return on Clear's question cleared the list");
    ExpectFocus(wizard, {TRole::BtnClear}, "after Clear's question");
    wizard.Press(TKey::Space);
    ExpectDialog(wizard, "Remove every row of the list?", "Clear");
    wizard.Answer(TBoxButton::Left);
    Expect(wizard.Rows() == 0 && !wizard.Enabled({TRole::BtnNext}), "Clear left rows or Next enabled");
    ExpectUsableFocus(wizard, "after Clear");
    TabTo(wizard, {TRole::BtnAdd});
    wizard.Press(TKey::Space);
    TabTo(wizard, {TRole::EditNrDisks, 0});
    wizard.Press(TKey::Return);
    Expect(wizard.Page() == TPage::ProgramOptions, "Return in a quantity did not go on to the options page");
    TabTo(wizard, {TRole::BtnBack});
    wizard.Press(TKey::Space);
    Expect(wizard.Page() == TPage::CreateOptions, "Back did not go back");
    ExpectUsableFocus(wizard, "after Back");
    wizard.Press(TKey::Return);
    Expect(wizard.Page() == TPage::ProgramOptions, "Return after Back did nothing");
}

// Fault 2: a page change hides the controls of the page left; keys must not reach them.
void KeysNeverReachAHiddenPage(IWizardDriver& wizard) {
    TabTo(wizard, {TRole::EditNrDisks, 0});
    wizard.Type("7");
    wizard.Press(TKey::Return);
    Expect(wizard.Page() == TPage::ProgramOptions, "Return in a quantity did not go on");
    wizard.Type("3");
    Expect(wizard.Text({TRole::EditNrDisks, 0}) == "7", "typing on the options page changed the hidden quantity to " +
                                                           wizard.Text({TRole::EditNrDisks, 0}));
    wizard.Click({TRole::BtnBack});
    ChooseImageRecorder(wizard);
    wizard.Press(TKey::Return);
    wizard.Press(TKey::Up);
    Expect(wizard.Text({TRole::ComboBox, 0}) == kImageRecorder, "Up on the options page changed the hidden row");
}

// Fault 3: on the ready page Return runs Create, so the focus shows on Create.
void TheReadyPageFocusesCreate(IWizardDriver& wizard) {
    wizard.Press(TKey::Return);
    TabTo(wizard, {TRole::CommandLine});
    wizard.Type("/x");
    wizard.Press(TKey::Return);
    Expect(wizard.Page() == TPage::PageStart, "Return in the parameters did not go on");
    ExpectFocus(wizard, {TRole::BtnNext}, "the ready page");
    TabTo(wizard, {TRole::HyperLink2});
}

// Fault 4: a row tabbed into is scrolled into sight, so Remove never takes a row out of sight.
void ARowTabbedIntoIsScrolledIntoSight(IWizardDriver& wizard) {
    for (int i = 0; i < 8; ++i) wizard.Click({TRole::BtnAdd});
    Expect(wizard.Shown({TRole::ComboBox, 8}), "the row added last is out of sight");
    TabTo(wizard, {TRole::EditNrDisks, 0});
    Expect(wizard.Shown({TRole::EditNrDisks, 0}), "the first row, tabbed into, is out of sight");
}

// Fault 5: Up and Down step the quantity; the wheel leaves a closed kind list alone.
void ArrowsStepTheQuantityAndTheWheelLeavesTheKind(IWizardDriver& wizard) {
    TabTo(wizard, {TRole::EditNrDisks, 0});
    wizard.Press(TKey::Up);
    wizard.Press(TKey::Up);
    wizard.Press(TKey::Down);
    Expect(wizard.Text({TRole::EditNrDisks, 0}) == "2", "Up, Up, Down left the quantity at " +
                                                            wizard.Text({TRole::EditNrDisks, 0}));
    TabTo(wizard, {TRole::ComboBox, 0});
    const auto kind = wizard.Text({TRole::ComboBox, 0});
    wizard.Wheel({TRole::ComboBox, 0}, -1);
    wizard.Wheel({TRole::ComboBox, 0}, 1);
    wizard.Wheel({TRole::ComboBox, 0}, -1);
    Expect(wizard.Text({TRole::ComboBox, 0}) == kind, "the wheel changed a closed kind list");
}

// Fault 6: the first Space ticks the first option; the arrows stay in the finish page's choice.
void OptionsAndTheFinishChoiceFromTheKeyboard(IWizardDriver& wizard) {
    ChooseImageRecorder(wizard);
    wizard.Press(TKey::Return);
    ExpectFocus(wizard, {TRole::ChkOptions}, "the options page");
    const auto before = wizard.Text({TRole::ChkOptions});
    wizard.Press(TKey::Space);
    const auto after = wizard.Text({TRole::ChkOptions});
    Expect(after.size() == 12 && after[0] != before[0] && after.substr(1) == before.substr(1),
           "the first Space did not tick the first option: " + before + " -> " + after);
    wizard.Press(TKey::Return);
    wizard.Press(TKey::Return);
    StopRun(wizard);
    ExpectFocus(wizard, {TRole::ChkMoreDisks}, "the finish page");
    for (int i = 0; i < 3; ++i) {
        wizard.Press(TKey::Down);
        const auto focus = wizard.Focus();
        Expect(focus.role == TRole::ChkMoreDisks || focus.role == TRole::ChkExit,
               "Down left the finish page's choice for " + Describe(focus));
    }
}

// Fault 8: help that nothing on the desktop opens, the wizard shows itself; Escape closes it.
void HelpOpensWithoutAHelpViewer(IWizardDriver& wizard) {
    wizard.Press(TKey::F1);
    ExpectDialog(wizard, kTextViewer, "F1 with nothing on the desktop that opens help");
    wizard.Press(TKey::Escape);
    Expect(wizard.Dialog(1000).empty(), "Escape left the help viewer open");
    Expect(!wizard.Ended(), "Escape in the help viewer ended the wizard");
}

// Faults 9 and 17: closing the window mid-run asks first; No goes on with the run.
void ClosingMidRunAsksFirst(IWizardDriver& wizard) {
    ChooseImageRecorder(wizard);
    StartRun(wizard);
    ExpectDialog(wizard, kFileLocation, "the run's first prompt");
    wizard.CloseMainWindow();
    ExpectDialog(wizard, kStopQuestion, "the window closed mid-run");
    wizard.Answer(TBoxButton::Right);
    Expect(!wizard.Ended(), "No to the stop question ended the wizard");
    ExpectDialog(wizard, kFileLocation, "No to the stop question");
    wizard.Answer(TBoxButton::Left);
    ExpectDialog(wizard, kSaveDialog, "OK on the prompt");
    if (!wizard.OwnProcess()) {
        wizard.AnswerSave({});
        wizard.Answer(TBoxButton::Right);
        wizard.Answer(TBoxButton::Left);
        return;
    }
    wizard.CloseMainWindow();
    ExpectDialog(wizard, kStopQuestion, "the window closed at the save dialog");
    wizard.Answer(TBoxButton::Left);
    for (int i = 0; i < 100 && !wizard.Ended(); ++i) std::this_thread::sleep_for(100ms);
    Expect(wizard.Ended(), "Yes to the stop question did not end the wizard");
}

// Fault 10: the boxes the folder dialog asks belong to it; the main window stays out of reach.
void TheFolderDialogsBoxesBelongToIt(IWizardDriver& wizard) {
    if (!wizard.CdAsksMsDosFolder()) throw TScenarioSkipped("a CD asks no MS-DOS folder here");
    ChooseImageRecorder(wizard);
    StartRun(wizard);
    ExpectDialog(wizard, kFileLocation, "the run's first prompt");
    wizard.Answer(TBoxButton::Left);
    ExpectDialog(wizard, kSaveDialog, "OK on the prompt");
    wizard.AnswerSave(wizard.ScratchFolder() + "boot.iso");
    ExpectDialog(wizard, kFolderDialog, "a CD without MS-DOS files");
    wizard.AnswerFolder({});
    ExpectDialog(wizard, "There is no system files.", "OK with no folder");
    Expect(!wizard.MainWindowEnabled(), "the main window is enabled under the folder dialog's box");
    wizard.Answer(TBoxButton::Mid);
    ExpectDialog(wizard, kFolderDialog, "OK on the folder dialog's box");
    Expect(!wizard.MainWindowEnabled(), "the main window is enabled under the folder dialog");
    wizard.AnswerFolderCancel();
    ExpectDialog(wizard, "Are you sure?", "Cancel on the folder dialog");
    wizard.Answer(TBoxButton::Right);
    ExpectDialog(wizard, kFolderDialog, "No to \"Are you sure?\"");
    Expect(!wizard.MainWindowEnabled(), "the main window is enabled under the folder dialog");
    wizard.AnswerFolder(wizard.MsDosFolder());
    Expect(wizard.Page() == TPage::Finish, "the run did not end on the finish page");
    Expect(wizard.FileExists(wizard.ScratchFolder() + "boot.iso"), "the run made no ISO file");
}

// Fault 11: the notice under the list, the copy in hand on the progress page, mnemonics, Escape.
void NoticeCopyLabelMnemonicsAndEscape(IWizardDriver& wizard) {
    const auto notice = wizard.Label(TLabel::DrivesNotice);
    Expect(!notice.empty(), "no notice says why no removable drive is offered");
    Expect(notice.find("bootdisk devices") == std::string::npos, "the notice sends a desktop user to a terminal");
    Expect(wizard.Text({TRole::BtnNext}).find('&') != std::string::npos, "Next has no mnemonic");
    ChooseImageRecorder(wizard);
    StartRun(wizard);
    ExpectDialog(wizard, kFileLocation, "the run's first prompt");
    Expect(wizard.Label(TLabel::Copy) == "copy 1 of 1: " + kImageRecorder,
           "the progress page names no copy: \"" + wizard.Label(TLabel::Copy) + "\"");
    wizard.Answer(TBoxButton::Right);
    wizard.Answer(TBoxButton::Left);
    ExpectFocus(wizard, {TRole::ChkMoreDisks}, "the finish page");
    wizard.Press(TKey::Escape);
    Expect(wizard.Ended(), "Escape did not close the window");
}

// Fault 12: only OK on a prompt leads to a write; Cancel, then No, asks for the medium again.
void CancelThenNoAsksAgain(IWizardDriver& wizard) {
    ChooseImageRecorder(wizard);
    StartRun(wizard);
    ExpectDialog(wizard, kFileLocation, "the run's first prompt");
    wizard.Answer(TBoxButton::Right);
    ExpectDialog(wizard, kStopQuestion, "Cancel on the prompt");
    wizard.Answer(TBoxButton::Right);
    ExpectDialog(wizard, kFileLocation, "No to the stop question");
    StopRun(wizard);
    Expect(wizard.Label(TLabel::FinishTitle) == "Stopped: no copy was made.",
           "the finish page says \"" + wizard.Label(TLabel::FinishTitle) + "\"");
}

// Fault 15: without a floppy drive, a row starts on a medium this computer can make.
void ARowStartsOnAMediumThatCanBeMade(IWizardDriver& wizard) {
    if (wizard.HasFloppyDrive()) throw TScenarioSkipped("this computer has a floppy drive");
    const auto kind = wizard.Text({TRole::ComboBox, 0});
    Expect(kind.rfind("Floppy", 0) != 0, "the first row starts on \"" + kind + "\"");
}

// Fault 16: a quantity takes digits only, and never makes zero copies.
void AQuantityIsOneToNinetyNine(IWizardDriver& wizard) {
    TabTo(wizard, {TRole::EditNrDisks, 0});
    wizard.Type("00");
    wizard.Press(TKey::Tab);
    Expect(wizard.Text({TRole::EditNrDisks, 0}) == "1", "\"00\" stayed " + wizard.Text({TRole::EditNrDisks, 0}));
    TabTo(wizard, {TRole::EditNrDisks, 0});
    wizard.Type("4a");
    Expect(wizard.Text({TRole::EditNrDisks, 0}) == "4", "a letter was taken: " + wizard.Text({TRole::EditNrDisks, 0}));
}

void ChooseFloppyImage(IWizardDriver& wizard) {
    TabTo(wizard, {TRole::ComboBox, 0});
    wizard.Press(TKey::End);
    wizard.Press(TKey::Up);
    Expect(wizard.Text({TRole::ComboBox, 0}) == kFloppyImage,
           "the kind above the image recorder is \"" + wizard.Text({TRole::ComboBox, 0}) + "\"");
}

// From Create on the ready page to the finish page: the floppy image saved as image.
void SaveFloppyImage(IWizardDriver& wizard, const std::string& image) {
    ExpectDialog(wizard, kFileLocation, "the floppy image's prompt");
    wizard.Answer(TBoxButton::Left);
    ExpectDialog(wizard, kSaveDialog, "OK on the prompt");
    wizard.AnswerSave(image);
    if (wizard.Dialog(2000) == kFolderDialog) wizard.AnswerFolder(wizard.MsDosFolder());
    for (int i = 0; i < 100 && wizard.Page() != TPage::Finish; ++i) std::this_thread::sleep_for(100ms);
    Expect(wizard.Page() == TPage::Finish, "the run did not reach the finish page");
    Expect(wizard.FileExists(image), "the run made no floppy image");
}

// The floppy image kind asks for a file as the ISO's does, makes it, and the finish page names it.
void AFloppyImageIsMadeAndNamedOnTheFinishPage(IWizardDriver& wizard) {
    ChooseFloppyImage(wizard);
    StartRun(wizard);
    const auto image = wizard.ScratchFolder() + "boot.img";
    SaveFloppyImage(wizard, image);
    const auto made = wizard.Label(TLabel::Made);
    Expect(made.find("File " + image) != std::string::npos, "the finish page lists \"" + made + "\"");
}

// A floppy image row, and on the options page the parameters typed into their box and Return.
void TypeParameters(IWizardDriver& wizard, const std::string& parameters) {
    ChooseFloppyImage(wizard);
    wizard.Press(TKey::Return);
    TabTo(wizard, {TRole::CommandLine});
    wizard.Type(parameters);
    wizard.Press(TKey::Return);
}

// Parameters typed into the wizard's own box reach AUTOEXEC.BAT as the sanitizer reads them, in
// Windows-1252: "/café" is the bytes 2F 63 61 66 E9, whatever the toolkit holds the text in.
void ParametersReachAutoexecInWindows1252(IWizardDriver& wizard) {
    TypeParameters(wizard, "/caf\u00E9");
    Expect(wizard.Page() == TPage::PageStart, "\"/caf\u00E9\" was not taken");
    wizard.Press(TKey::Return);
    const auto image = wizard.ScratchFolder() + "cafe.img";
    SaveFloppyImage(wizard, image);
    const auto autoexec = wizard.FloppyImageFile(image, "AUTOEXEC.BAT");
    const std::string line = "\r\nKorvane /caf\xE9\r\n";
    Expect(autoexec.size() > line.size() && autoexec.ends_with(line),
           "AUTOEXEC.BAT does not end with the parameters in Windows-1252: \"" + autoexec + "\"");
}

// A character Windows-1252 lacks is refused by what it is and where it is, before anything is made;
// the box keeps it as typed, never turned into "?".
void ACharacterOutsideWindows1252IsRefusedByName(IWizardDriver& wizard) {
    TypeParameters(wizard, "/x \u03A9");
    const auto shown = wizard.Dialog();
    Expect(shown.find("Refused: the character \u03A9 (U+03A9) at position 4") != std::string::npos,
           "the refusal says \"" + shown + "\"");
    wizard.Answer(TBoxButton::Mid);
    Expect(wizard.Page() == TPage::ProgramOptions, "the refused parameters left the options page");
    ExpectFocus(wizard, {TRole::CommandLine}, "after the refusal");
    Expect(wizard.Text({TRole::CommandLine}) == "/x \u03A9",
           "the parameters box holds \"" + wizard.Text({TRole::CommandLine}) + "\"");
}

// The words of a text, in lower case: runs of ASCII letters, three or more.
std::set<std::string> Words(const std::string& text) {
    std::set<std::string> words;
    std::string word;
    for (const char c : text + " ") {
        if (std::isalpha(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80) {
            word += char(std::tolower(static_cast<unsigned char>(c)));
            continue;
        }
        if (word.size() >= 3) words.insert(word);
        word.clear();
    }
    return words;
}

// The words only the English texts have: a German text holds none of them.
std::set<std::string> EnglishOnlyWords(const TStringTable& german) {
    std::set<std::string> english, both;
    TStringTable().ForEachEntry([&](std::string_view, const std::string& text) { english.merge(Words(text)); });
    german.ForEachEntry([&](std::string_view, const std::string& text) { both.merge(Words(text)); });
    for (const auto& word : both) english.erase(word);
    return english;
}

// The German language file covers every text the wizard shows: a walk through its pages and boxes
// in German meets no word that only the English texts have, as a text compiled into the wizard
// would show.
void AGermanWalkMeetsNoEnglish(IWizardDriver& wizard) {
    TStringTable german;
    Expect(LoadStringTable(german, wizard.LanguageFolder() + "quellmark.de.lng").empty(), "the German file is damaged");
    const auto english = EnglishOnlyWords(german);
    wizard.Stop();
    wizard.Start("de");
    std::string found;
    const auto look = [&](const std::string& where) {
        for (const auto& text : wizard.ShownTexts())
            for (const auto& word : Words(text))
                if (english.count(word)) {
                    found += where + ": \"" + text + "\" (" + word + ")\n";
                    break;
                }
    };
    look("the first page");
    TabTo(wizard, {TRole::ComboBox, 0});
    wizard.Press(TKey::End);
    wizard.Press(TKey::Return);
    Expect(wizard.Page() == TPage::ProgramOptions, "Return did not go on to the options page");
    look("the options page");
    wizard.Press(TKey::Return);
    look("the ready page");
    wizard.Press(TKey::Return);
    Expect(!wizard.Dialog().empty(), "Create asked for no medium");
    look("the prompt");
    wizard.Answer(TBoxButton::Right);
    Expect(!wizard.Dialog().empty(), "Cancel did not ask whether to stop");
    look("the stop question");
    wizard.Answer(TBoxButton::Left);
    Expect(wizard.Page() == TPage::Finish, "the finish page did not follow a stop");
    look("the finish page");
    Expect(found.empty(), "English in the German wizard:\n" + found);
}

// The network boot folder is named in the save dialog, made with the loaders this computer has, and
// the finish page names it with the way to serve it: the `bootdisk serve` line, or on a system
// without dnsmasq the README.TXT inside.
void ANetbootFolderIsMadeAndNamedOnTheFinishPage(IWizardDriver& wizard) {
    TabTo(wizard, {TRole::ComboBox, 0});
    wizard.Press(TKey::End);
    wizard.Press(TKey::Up);
    wizard.Press(TKey::Up);
    Expect(wizard.Text({TRole::ComboBox, 0}) == "Network boot folder (PXE)",
           "the kind above the floppy image is \"" + wizard.Text({TRole::ComboBox, 0}) + "\"");
    StartRun(wizard);
    ExpectDialog(wizard, "Please name the network boot folder to create", "the network boot folder's prompt");
    wizard.Answer(TBoxButton::Left);
    ExpectDialog(wizard, kSaveDialog, "OK on the prompt");
    const auto scratch = wizard.ScratchFolder();
    const auto folder = scratch + "pxe";
    wizard.AnswerSave(folder);
    if (wizard.Dialog(2000) == kFolderDialog) wizard.AnswerFolder(wizard.MsDosFolder());
    for (int i = 0; i < 100 && wizard.Page() != TPage::Finish; ++i) std::this_thread::sleep_for(100ms);
    Expect(wizard.Page() == TPage::Finish, "the run did not reach the finish page");
    const auto made = wizard.Label(TLabel::Made);
    Expect(wizard.FileExists(folder + scratch.back() + "boot.img"), "the run made no folder; the finish page says \"" + made + "\"");
    Expect(made.find("Folder " + folder) != std::string::npos, "the finish page lists \"" + made + "\"");
    Expect(made.find("bootdisk serve " + folder + " --interface ") != std::string::npos ||
               made.find("README.TXT") != std::string::npos,
           "the finish page does not say how to serve it: \"" + made + "\"");
}

// A full list shows Add disabled and says why under the list; a row removed gives Add back.
void AFullListSaysWhyAddIsDisabled(IWizardDriver& wizard) {
    for (int i = 1; i < 51; ++i) wizard.Click({TRole::BtnAdd});
    Expect(wizard.Rows() == 51, "the list holds " + std::to_string(wizard.Rows()) + " rows, not 51");
    Expect(!wizard.Enabled({TRole::BtnAdd}), "Add is enabled at 51 rows");
    const auto notice = wizard.Label(TLabel::DrivesNotice);
    Expect(notice.find("at most 51 rows") != std::string::npos, "the notice under a full list says \"" + notice + "\"");
    ExpectUsableFocus(wizard, "Add disabled");
    wizard.Click({TRole::BtnRemove});
    Expect(wizard.Enabled({TRole::BtnAdd}), "Add stays disabled after a row was removed");
    Expect(wizard.Label(TLabel::DrivesNotice).find("at most") == std::string::npos, "the full list's notice stays");
}

// A whole run to an ISO file with the keyboard alone.
void AKeyboardOnlyRunToAnIso(IWizardDriver& wizard) {
    ChooseImageRecorder(wizard);
    wizard.Press(TKey::Return);
    wizard.Press(TKey::Return);
    ExpectFocus(wizard, {TRole::BtnNext}, "the ready page");
    wizard.Press(TKey::Return);
    ExpectDialog(wizard, kFileLocation, "Create");
    wizard.Press(TKey::Return);
    ExpectDialog(wizard, kSaveDialog, "OK on the prompt");
    const auto iso = wizard.ScratchFolder() + "keyboard.iso";
    wizard.Type(iso);
    wizard.Press(TKey::Return);
    if (wizard.CdAsksMsDosFolder()) {
        ExpectDialog(wizard, kFolderDialog, "a CD without MS-DOS files");
        wizard.Press(TKey::Tab);
        wizard.Type(wizard.MsDosFolder());
        wizard.Press(TKey::Return);
    }
    for (int i = 0; i < 100 && wizard.Page() != TPage::Finish; ++i) std::this_thread::sleep_for(100ms);
    Expect(wizard.Page() == TPage::Finish, "the run did not reach the finish page");
    Expect(wizard.FileExists(iso), "the run made no ISO file");
    ExpectFocus(wizard, {TRole::ChkMoreDisks}, "the finish page");
    wizard.Press(TKey::Down);
    wizard.Press(TKey::Return);
    Expect(wizard.Ended(), "Exit did not end the wizard");
}

// Waits a few seconds for what the list offers to follow the drives.
bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 50; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

std::size_t IndexOf(const std::vector<std::string>& items, const std::string& prefix) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].rfind(prefix, 0) == 0) return i;
    return items.size();
}

const std::string kStick = "Removable storage device (Standin Stick sdx";

// From the recorders at the list's end up to the stick, from the keyboard.
void ChooseStick(IWizardDriver& wizard, std::size_t row = 0, const std::string& stick = kStick) {
    TabTo(wizard, {TRole::ComboBox, row});
    wizard.Press(TKey::End);
    for (int i = 0; i < 5 && wizard.Text({TRole::ComboBox, row}).rfind(stick, 0) != 0; ++i) wizard.Press(TKey::Up);
    Expect(wizard.Text({TRole::ComboBox, row}).rfind(stick, 0) == 0, "Up from the recorders never reaches " + stick);
}

// A mounted stick plugged in is offered in every row, named with its mount point as the system
// gives it (UTF-8), and the notice goes; taken away while a row has it chosen, the row says so and
// is never turned to another drive, and no new row takes it.
void AStickComesAndGoes(IWizardDriver& wizard) {
    const std::string mountPoint = "/media/user/M\u00FCll";
    if (!wizard.PlugStick("sdx", mountPoint)) throw TScenarioSkipped("no stand-in for sticks here");
    Expect(Eventually([&] { return IndexOf(wizard.Items({TRole::ComboBox, 0}), kStick) < wizard.Items({TRole::ComboBox, 0}).size(); }),
           "the stick plugged in is not offered");
    const auto items = wizard.Items({TRole::ComboBox, 0});
    const auto& offered = items.at(IndexOf(items, kStick));
    Expect(offered.find("mounted at " + mountPoint + ")") != std::string::npos, "the stick is offered as \"" + offered + "\"");
    Expect(wizard.Label(TLabel::DrivesNotice).empty(), "the notice stays with a stick offered");
    ChooseStick(wizard);
    wizard.PullStick("sdx");
    Expect(Eventually([&] { return wizard.Text({TRole::ComboBox, 0}).rfind("Removed: " + kStick, 0) == 0; }),
           "the row of a stick taken away says \"" + wizard.Text({TRole::ComboBox, 0}) + "\"");
    Expect(!wizard.Label(TLabel::DrivesNotice).empty(), "no notice once the stick is gone");
    wizard.Click({TRole::BtnAdd});
    TabTo(wizard, {TRole::ComboBox, 1});
    wizard.Press(TKey::End);
    // Up from the image recorder, past the floppy image, onto the stick taken away.
    wizard.Press(TKey::Up);
    wizard.Press(TKey::Up);
    Expect(wizard.Text({TRole::ComboBox, 1}).rfind("Removed: ", 0) != 0, "a new row took the stick taken away");
}

// Fault 13: a stick taken away while its prompt is shown is said to be gone and skipped; the user
// stopped nothing.
void AStickPulledDuringItsPromptIsSkipped(IWizardDriver& wizard) {
    if (!wizard.PlugStick("sdx", "")) throw TScenarioSkipped("no stand-in for sticks here");
    Expect(Eventually([&] { return IndexOf(wizard.Items({TRole::ComboBox, 0}), kStick) < wizard.Items({TRole::ComboBox, 0}).size(); }),
           "the stick plugged in is not offered");
    ChooseStick(wizard);
    StartRun(wizard);
    ExpectDialog(wizard, "Please insert the removable disk", "the stick's prompt");
    wizard.PullStick("sdx");
    wizard.Answer(TBoxButton::Left);
    ExpectDialog(wizard, "The drive of this row is no longer there", "OK on the prompt of a stick taken away");
    wizard.Answer(TBoxButton::Mid);
    Expect(wizard.Page() == TPage::Finish, "the run did not end on the finish page");
    Expect(wizard.Label(TLabel::FinishTitle).rfind("Stopped", 0) != 0,
           "the finish page says the user stopped: " + wizard.Label(TLabel::FinishTitle));
}

// Two sticks in consecutive rows: one prompt names both, they are written at once, and the finish
// page lists each and where the record of media made is kept.
void TwoSticksAreWrittenAtOnce(IWizardDriver& wizard) {
    if (!wizard.PlugStick("sdx", "") || !wizard.PlugStick("sdy", "")) throw TScenarioSkipped("no stand-in for sticks here");
    const std::string second = "Removable storage device (Standin Stick sdy";
    Expect(Eventually([&] { return IndexOf(wizard.Items({TRole::ComboBox, 0}), second) < wizard.Items({TRole::ComboBox, 0}).size(); }),
           "the sticks plugged in are not offered");
    ChooseStick(wizard);
    wizard.Click({TRole::BtnAdd});
    ChooseStick(wizard, 1, second);
    StartRun(wizard);
    const auto prompt = wizard.Dialog();
    Expect(prompt.rfind("Please check the 2 removable disks", 0) == 0 && prompt.find("/dev/sdx") != std::string::npos &&
               prompt.find("/dev/sdy") != std::string::npos,
           "the one prompt for both sticks reads \"" + prompt + "\"");
    wizard.Answer(TBoxButton::Left);
    Expect(Eventually([&] { return wizard.Page() == TPage::Finish; }), "the run did not reach the finish page");
    const auto made = wizard.Label(TLabel::Made);
    Expect(made.find("Standin Stick sdx") != std::string::npos && made.find("Standin Stick sdy") != std::string::npos &&
               made.find("Record of media made: ") != std::string::npos,
           "the finish page lists \"" + made + "\"");
}

// Escape, the window's close button and Return out of habit never stop a run: the stop question
// asked when the window is closed goes on with Return and with Escape, and Escape on a prompt and
// on its stop question asks for the medium again.
void HabitsOnTheStopQuestionGoOn(IWizardDriver& wizard) {
    ChooseImageRecorder(wizard);
    StartRun(wizard);
    for (const auto key : {TKey::Return, TKey::Escape}) {
        ExpectDialog(wizard, kFileLocation, "the run's prompt");
        wizard.CloseMainWindow();
        ExpectDialog(wizard, kStopQuestion, "the window closed mid-run");
        wizard.Press(key);
        Expect(!wizard.Ended(), std::string(key == TKey::Return ? "Return" : "Escape") +
                                    " on the stop question ended the wizard");
    }
    ExpectDialog(wizard, kFileLocation, "the stop question answered");
    wizard.Press(TKey::Escape);
    ExpectDialog(wizard, kStopQuestion, "Escape on the prompt");
    wizard.Press(TKey::Escape);
    ExpectDialog(wizard, kFileLocation, "Escape on the stop question");
    StopRun(wizard);
}

// A keyboard user holding Return through a run: the ISO of the first row is made, the stick's
// erase prompt answers Return with Cancel, and the stop question's Return ends the run on the
// finish page, which says that nothing was written to the stick.
void ReturnHeldThroughARunNeverErasesTheStick(IWizardDriver& wizard) {
    if (!wizard.PlugStick("sdx", "")) throw TScenarioSkipped("no stand-in for sticks here");
    Expect(Eventually([&] { return IndexOf(wizard.Items({TRole::ComboBox, 0}), kStick) < wizard.Items({TRole::ComboBox, 0}).size(); }),
           "the stick plugged in is not offered");
    ChooseImageRecorder(wizard);
    wizard.Click({TRole::BtnAdd});
    ChooseStick(wizard, 1);
    wizard.Click({TRole::BtnAdd});
    ChooseImageRecorder(wizard, 2);
    for (int i = 0; i < 3; ++i) wizard.Press(TKey::Return);
    ExpectDialog(wizard, kFileLocation, "Create");
    wizard.Press(TKey::Return);
    ExpectDialog(wizard, kSaveDialog, "Return on the first prompt");
    wizard.Type(wizard.ScratchFolder() + "habit.iso");
    wizard.Press(TKey::Return);
    if (wizard.CdAsksMsDosFolder()) {
        ExpectDialog(wizard, kFolderDialog, "a CD without MS-DOS files");
        wizard.AnswerFolder(wizard.MsDosFolder());
    }
    ExpectDialog(wizard, "Please insert the removable disk", "the second row");
    wizard.Press(TKey::Return);
    ExpectDialog(wizard, kStopQuestion, "Return on the stick's prompt");
    wizard.Press(TKey::Return);
    Expect(wizard.Page() == TPage::Finish, "Return on the stop question did not end the run");
    Expect(wizard.Label(TLabel::FinishTitle) == "Stopped: 1 of 3 copies made.",
           "the finish page says \"" + wizard.Label(TLabel::FinishTitle) + "\"");
    Expect(wizard.Label(TLabel::Made).rfind("Nothing was written to " + kStick, 0) == 0,
           "the finish page does not say the stick is untouched: " + wizard.Label(TLabel::Made));
    Expect(wizard.FileExists(wizard.ScratchFolder() + "habit.iso"), "the first row made no ISO file");
}

// A floppy row on a computer without a floppy drive could only fail at Create: the list keeps to its
// page, Next disabled, and the notice under it says why; another kind lets it go on.
void AFloppyRowWithoutAFloppyDriveKeepsToThePage(IWizardDriver& wizard) {
    if (wizard.HasFloppyDrive()) throw TScenarioSkipped("this computer has a floppy drive");
    TabTo(wizard, {TRole::ComboBox, 0});
    for (int i = 0; i < 20 && wizard.Text({TRole::ComboBox, 0}).rfind("Floppy disk", 0) != 0; ++i)
        wizard.Press(TKey::Up);
    Expect(wizard.Text({TRole::ComboBox, 0}).rfind("Floppy disk", 0) == 0, "Up never reaches the floppy");
    Expect(Eventually([&] { return !wizard.Enabled({TRole::BtnNext}); }), "Next is enabled with a floppy row");
    Expect(wizard.Label(TLabel::DrivesNotice).rfind("No floppy drive was found", 0) == 0,
           "the notice says \"" + wizard.Label(TLabel::DrivesNotice) + "\"");
    wizard.Press(TKey::Return);
    Expect(wizard.Page() == TPage::CreateOptions, "Return left the page with a floppy row");
    ChooseImageRecorder(wizard);
    Expect(Eventually([&] { return wizard.Enabled({TRole::BtnNext}); }), "Next stays disabled without a floppy row");
    wizard.Press(TKey::Return);
    Expect(wizard.Page() == TPage::ProgramOptions, "Return did not go on");
}

// Tabbing past rows on the way to Remove does not change the row it takes; Delete on a kind list
// takes the focused row; Escape on a page with rows asks before the list is lost.
void RemoveTakesTheRowChosenDeleteTheRowFocusedEscapeAsks(IWizardDriver& wizard) {
    wizard.Click({TRole::BtnAdd});
    wizard.Click({TRole::BtnAdd});
    TabTo(wizard, {TRole::EditNrDisks, 1});
    wizard.Type("7");
    ChooseImageRecorder(wizard, 0);
    wizard.Press(TKey::Up);  // the user chooses another kind for the first row
    TabTo(wizard, {TRole::BtnRemove});  // past the second and third rows
    wizard.Press(TKey::Space);
    Expect(wizard.Rows() == 2 && wizard.Text({TRole::EditNrDisks, 0}) == "7",
           "Remove took another row than the one chosen");
    TabTo(wizard, {TRole::ComboBox, 0});
    wizard.Press(TKey::Delete);
    Expect(wizard.Rows() == 1 && wizard.Text({TRole::EditNrDisks, 0}) == "1", "Delete did not take the focused row");
    ExpectUsableFocus(wizard, "after Delete");
    for (const auto key : {TKey::Escape, TKey::Return}) {
        wizard.Press(TKey::Escape);
        ExpectDialog(wizard, "Close the wizard? The list of media you made is lost.", "Escape with a list");
        wizard.Press(key);
        Expect(!wizard.Ended() && wizard.Rows() == 1, "Escape, then a habit's key, closed the wizard");
    }
    wizard.Press(TKey::Escape);
    ExpectDialog(wizard, "Close the wizard?", "Escape with a list");
    wizard.Answer(TBoxButton::Left);
    Expect(wizard.Ended(), "Yes did not close the wizard");
}

// A log-off while the MS-DOS folder is asked for, the ISO file's scratch file already made: the
// wizard ends, and no scratch file stays beside the ISO it was to become.
void ALogOffLeavesNoScratchFile(IWizardDriver& wizard) {
    if (!wizard.CdAsksMsDosFolder()) throw TScenarioSkipped("a CD asks no MS-DOS folder here");
    const auto root = wizard.ScratchFolder();
    const auto folder = root + "logoff";
    std::filesystem::create_directories(folder);
    ChooseImageRecorder(wizard);
    StartRun(wizard);
    ExpectDialog(wizard, kFileLocation, "the run's first prompt");
    wizard.Answer(TBoxButton::Left);
    ExpectDialog(wizard, kSaveDialog, "OK on the prompt");
    wizard.AnswerSave(folder + root.back() + "boot.iso");  // the scratch folder's own separator
    ExpectDialog(wizard, kFolderDialog, "a CD without MS-DOS files");
    if (!wizard.EndSession()) throw TScenarioSkipped("this wizard is not told of a log-off");
    for (int i = 0; i < 100 && !wizard.Ended(); ++i) std::this_thread::sleep_for(100ms);
    Expect(wizard.Ended(), "the wizard went on after the session ended");
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        Expect(false, "left behind at log-off: " + entry.path().filename().string());
}

}  // namespace

const std::vector<TScenario>& WizardScenarios() {
    static const std::vector<TScenario> scenarios = {
        {"RemoveAndClearFromTheKeyboard", RemoveAndClearFromTheKeyboard},
        {"KeysNeverReachAHiddenPage", KeysNeverReachAHiddenPage},
        {"TheReadyPageFocusesCreate", TheReadyPageFocusesCreate},
        {"ARowTabbedIntoIsScrolledIntoSight", ARowTabbedIntoIsScrolledIntoSight},
        {"ArrowsStepTheQuantityAndTheWheelLeavesTheKind", ArrowsStepTheQuantityAndTheWheelLeavesTheKind},
        {"OptionsAndTheFinishChoiceFromTheKeyboard", OptionsAndTheFinishChoiceFromTheKeyboard},
        {"HelpOpensWithoutAHelpViewer", HelpOpensWithoutAHelpViewer},
        {"ClosingMidRunAsksFirst", ClosingMidRunAsksFirst},
        {"TheFolderDialogsBoxesBelongToIt", TheFolderDialogsBoxesBelongToIt},
        {"NoticeCopyLabelMnemonicsAndEscape", NoticeCopyLabelMnemonicsAndEscape},
        {"CancelThenNoAsksAgain", CancelThenNoAsksAgain},
        {"ARowStartsOnAMediumThatCanBeMade", ARowStartsOnAMediumThatCanBeMade},
        {"AQuantityIsOneToNinetyNine", AQuantityIsOneToNinetyNine},
        {"AKeyboardOnlyRunToAnIso", AKeyboardOnlyRunToAnIso},
        {"AFullListSaysWhyAddIsDisabled", AFullListSaysWhyAddIsDisabled},
        {"AFloppyImageIsMadeAndNamedOnTheFinishPage", AFloppyImageIsMadeAndNamedOnTheFinishPage},
        {"ParametersReachAutoexecInWindows1252", ParametersReachAutoexecInWindows1252},
        {"ACharacterOutsideWindows1252IsRefusedByName", ACharacterOutsideWindows1252IsRefusedByName},
        {"AGermanWalkMeetsNoEnglish", AGermanWalkMeetsNoEnglish},
        {"ANetbootFolderIsMadeAndNamedOnTheFinishPage", ANetbootFolderIsMadeAndNamedOnTheFinishPage},
        {"AStickComesAndGoes", AStickComesAndGoes},
        {"AStickPulledDuringItsPromptIsSkipped", AStickPulledDuringItsPromptIsSkipped},
        {"HabitsOnTheStopQuestionGoOn", HabitsOnTheStopQuestionGoOn},
        {"ReturnHeldThroughARunNeverErasesTheStick", ReturnHeldThroughARunNeverErasesTheStick},
        {"TwoSticksAreWrittenAtOnce", TwoSticksAreWrittenAtOnce},
        {"AFloppyRowWithoutAFloppyDriveKeepsToThePage", AFloppyRowWithoutAFloppyDriveKeepsToThePage},
        {"RemoveTakesTheRowChosenDeleteTheRowFocusedEscapeAsks", RemoveTakesTheRowChosenDeleteTheRowFocusedEscapeAsks},
        {"ALogOffLeavesNoScratchFile", ALogOffLeavesNoScratchFile},
    };
    return scenarios;
}

int PlayScenarios(IWizardDriver& driver, const std::string& frontEnd, const std::string& only) {
    int passed = 0, failed = 0, skipped = 0;
    for (const auto& scenario : WizardScenarios()) {
        if (!only.empty() && only != scenario.name) continue;
        std::string outcome = "ok";
        try {
            driver.Start();
            scenario.play(driver);
            ++passed;
        } catch (const TScenarioSkipped& reason) {
            outcome = std::string("skipped: ") + reason.what();
            ++skipped;
        } catch (const std::exception& failure) {
            outcome = std::string("FAILED: ") + failure.what();
            ++failed;
        }
        driver.Stop();
        std::printf("%s %s: %s\n", frontEnd.c_str(), scenario.name, outcome.c_str());
        std::fflush(stdout);
    }
    std::printf("%s scenarios: %d passed, %d failed, %d skipped\n", frontEnd.c_str(), passed, failed, skipped);
    std::fflush(stdout);
    return failed;
}

}  // namespace bootdisk::test
