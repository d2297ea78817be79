// SPDX-License-Identifier: GPL-3.0-or-later
// The wizard presenter behind a stand-in window: where the focus goes, the rows' rules, the default
// medium, help that cannot open, the licence, the full list and the stop question when the window is
// closed mid-run.
#include "app/WizardPresenter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>

#include "app/LicenseText.h"
#include "optical/ImageRecorder.h"
#include "platform/Resources.h"
#include "platform/sim/ScriptedDialogs.h"
#include "platform/sim/SimHost.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using testing::ElementsAre;

class TStandinView : public IWizardView {
public:
    TPage page = TPage::CreateOptions;
    std::map<TRole, TButton> buttons;
    std::map<TRole, bool> enabled;
    std::vector<std::string> quantities;
    std::optional<std::size_t> selected;
    std::vector<std::size_t> scrolledTo;
    TControlRef focus;
    int beeps = 0;
    bool closed = false;
    std::vector<std::string> opened;
    std::string cannotOpen;  // a help target that nothing can open
    std::pair<std::size_t, std::size_t> selection;  // of the parameters box
    std::string made;
    std::string notice;
    std::vector<std::string> attention;
    bool active = true;
    std::pair<std::string, std::string> shownText;
    std::vector<std::string> shownTopics;  // by the wizard itself
    bool topicsReadable = true;

    void ShowPage(TPage p) override { page = p; }
    void ShowButton(TRole button, const TButton& state) override {
        buttons[button] = state;
        enabled[button] = state.enabled;
    }
    void SetEnabled(TRole control, bool on) override { enabled[control] = on; }
    void ShowBootPanels(bool, bool) override {}
    void ShowKinds(const std::vector<TMediaKind>&) override {}
    void ShowRows(const std::vector<TCreateListRow>& rows, std::optional<std::size_t> s) override {
        quantities.clear();
        for (const auto& row : rows) quantities.push_back(row.quantity);
        selected = s;
    }
    void ShowSelection(std::optional<std::size_t> s) override { selected = s; }
    void ShowQuantity(std::size_t row, const std::string& text) override { quantities.at(row) = text; }
    void ScrollIntoView(std::size_t row) override { scrolledTo.push_back(row); }
    void ShowDrivesNotice(const std::string& text) override { notice = text; }
    void ShowCopy(const std::string&) override {}
    void ShowGauge(int) override {}
    void ShowFinishTitle(const std::string&) override {}
    void ShowMade(const std::string& text) override { made = text; }
    void ShowExitChoice(bool) override {}
    void SelectParameters(std::size_t first, std::size_t count) override { selection = {first, count}; }
    TControlRef Focus() const override { return focus; }
    // A front end tells of every focus change, as the toolkit's focus signal does.
    void SetFocus(TControlRef control) override {
        focus = control;
        if (presenter) presenter->FocusChanged(control);
    }
    void PopUpHelpMenu() override {}
    void ShowAbout(const TAboutTexts&) override {}
    std::optional<std::string> Open(const THelpTarget& target) override {
        if (target.name == cannotOpen) return "/help/" + target.name;
        opened.push_back(target.name);
        return std::nullopt;
    }
    void Beep() override { ++beeps; }
    bool Active() const override { return active; }
    void Attention(const std::string& text) override { attention.push_back(text); }
    void ShowText(const std::string& title, const std::string& text) override { shownText = {title, text}; }
    bool ShowTopic(const THelpTarget& target) override {
        if (topicsReadable) shownTopics.push_back(target.name);
        return topicsReadable;
    }
    void Repaint() override {}
    void CloseWindow() override { closed = true; }

    TWizardPresenter* presenter = nullptr;
};

class TStandinMedia : public IWizardMedia {
public:
    std::vector<TMediaKind> kinds;
    bool floppyDrive = true;
    bool lacksRights = false;  // to write a stick or a disc
    std::function<TRunOutcome(TCreationDriver&, const std::vector<TCreateListRow>&)> run =
        [](TCreationDriver&, const std::vector<TCreateListRow>&) { return TRunOutcome::Completed; };
    std::string notice;
    bool drivesChanged = false;

    const std::vector<TMediaKind>& Kinds() const override { return kinds; }
    bool HasFloppyDrive() const override { return floppyDrive; }
    bool WritesNeedAdministrator(TDriveWrite kind) const override { return lacksRights && kind != TDriveWrite::Floppy; }
    std::string UnopenedNotice(const TStringTable&) const override { return {}; }
    const std::string& DrivesNotice() const override { return notice; }
    bool FollowRemovableDrives(const TStringTable&, TCreationList&) override { return drivesChanged; }
    TRunOutcome Run(TCreationDriver& driver, const std::vector<TCreateListRow>& rows, const TJobEnv&,
                    const TCreationSettings&, std::function<void(TMediaRecord)>) override {
        return run(driver, rows);
    }
};

class TMemorySettings : public ISettingsStore {
public:
    std::map<std::string, std::map<std::string, std::uint32_t>> saved;
    std::optional<TSettingValues> Read(const std::string&, const std::vector<std::string>&) override {
        return std::nullopt;
    }
    bool Write(const std::string& key, const std::map<std::string, std::uint32_t>& values) override {
        saved[key] = values;
        return true;
    }
};

class WizardPresenter : public testing::Test {
protected:
    WizardPresenter() {
        const TMediaKind stick{"Removable storage device (stick)", TMediaType::Removable, nullptr, {'E', "E:", {}, {}}};
        media.kinds = BuildMediaKinds("Floppy disk (drive A:)", {}, {stick}, recorder);
    }
    void Start() {
        presenter = std::make_unique<TWizardPresenter>(
            TWizardPorts{app, dialogs, host, settings, media, [this] { ++runsEnded; }}, view);
        view.presenter = presenter.get();
        presenter->Activate();
    }
    // Typing into a quantity cell: the cell holds what was typed until the presenter says otherwise.
    void Type(std::size_t row, const std::string& text) {
        view.quantities.at(row) = text;
        presenter->QuantityTyped(row, text);
    }
    // A key press on the focused control, as a window's dialog keys work it.
    void Press(TRole control) {
        view.SetFocus({control});
        presenter->Click(control);
    }

    TAppContext app;
    TScriptedDialogs dialogs;
    TSimHost host;
    TMemorySettings settings;
    TimageRecorder recorder{dialogs, app.texts};
    TStandinMedia media;
    TStandinView view;
    std::unique_ptr<TWizardPresenter> presenter;
    int runsEnded = 0;
};

// A disabled or hidden control never keeps the focus: Remove, Clear and Back each leave it on a
// control the keyboard can go on from, and a page change puts it where Return does what it shows.
TEST_F(WizardPresenter, TheFocusNeverStaysOnADisabledOrHiddenControl) {
    Start();
    EXPECT_EQ(view.focus, TControlRef{TRole::BtnNext});
    presenter->Click(TRole::BtnAdd);
    presenter->Click(TRole::BtnAdd);
    EXPECT_EQ(view.selected, 2u);  // the row added last
    Press(TRole::BtnRemove);
    EXPECT_THAT(view.quantities, ElementsAre("1", "1"));
    EXPECT_EQ(view.focus, (TControlRef{TRole::ComboBox, 1}));  // the row before it, now the last
    Press(TRole::BtnClear);
    EXPECT_TRUE(view.quantities.empty());
    EXPECT_FALSE(view.enabled[TRole::BtnNext]);
    EXPECT_EQ(view.focus, TControlRef{TRole::BtnAdd});

    presenter->Click(TRole::BtnAdd);
    presenter->Tick();
    view.SetFocus({TRole::EditNrDisks, 0});
    presenter->Key(TWindowKey::Return);  // Return in the quantity is Next
    EXPECT_EQ(view.page, TPage::ProgramOptions);
    EXPECT_EQ(view.focus, TControlRef{TRole::ChkOptions});
    Press(TRole::BtnBack);
    EXPECT_EQ(view.page, TPage::CreateOptions);
    EXPECT_EQ(view.focus, TControlRef{TRole::BtnNext});
    presenter->Click(TRole::BtnNext);
    view.SetFocus({TRole::CommandLine});
    presenter->Key(TWindowKey::Return);
    EXPECT_EQ(view.page, TPage::PageStart);
    EXPECT_EQ(view.focus, TControlRef{TRole::BtnNext});
    EXPECT_EQ(view.buttons[TRole::BtnNext].caption, "C&reate");
}

// Letters are refused as they are typed; the cell is tidied to 1..99 when editing ends and before
// the list is left, so no row makes zero copies; a row tabbed into is scrolled into sight.
TEST_F(WizardPresenter, QuantityRulesAndARowTabbedIntoIsShown) {
    Start();
    Type(0, "4x");
    EXPECT_EQ(view.quantities[0], "4");
    EXPECT_EQ(view.beeps, 1);
    presenter->Step(0, +1);
    EXPECT_EQ(view.quantities[0], "5");
    Type(0, "00");
    EXPECT_EQ(view.quantities[0], "00");
    presenter->Click(TRole::BtnNext);
    EXPECT_EQ(presenter->List().Rows()[0].quantity, "1");
    EXPECT_EQ(view.quantities[0], "1");

    presenter->Click(TRole::BtnBack);
    for (int i = 0; i < 8; ++i) presenter->Click(TRole::BtnAdd);
    view.scrolledTo.clear();
    view.SetFocus({TRole::EditNrDisks, 7});
    EXPECT_THAT(view.scrolledTo, ElementsAre(7u));
}

// Keys pressed out of habit never take more than the user meant: tabbing past rows on the way to
// Remove leaves the row the user chose selected, Delete takes the focused row, Clear and Escape with
// a list ask first (Return and Escape answering No), and a letter means the same button on every
// page, so the letter of Close is never Create's.
TEST_F(WizardPresenter, KeysPressedOutOfHabitTakeNoMoreThanMeant) {
    Start();
    presenter->Click(TRole::BtnAdd);
    presenter->Click(TRole::BtnAdd);
    presenter->KindChosen(0, 2);  // the user works on the first row
    for (const auto row : {0u, 1u, 2u}) {
        view.SetFocus({TRole::EditNrDisks, row});
        view.SetFocus({TRole::ComboBox, row});
    }
    Press(TRole::BtnRemove);
    EXPECT_EQ(presenter->List().Rows().size(), 2u);
    EXPECT_EQ(presenter->List().Rows()[0].kind, presenter->List().Rows()[1].kind) << "the first row went";
    presenter->QuantityTyped(1, "7");
    view.SetFocus({TRole::ComboBox, 1});
    presenter->Key(TWindowKey::Delete);
    EXPECT_THAT(view.quantities, ElementsAre("1"));
    view.SetFocus({TRole::EditNrDisks, 0});
    presenter->Key(TWindowKey::Delete);  // in a quantity Delete edits the text
    EXPECT_THAT(view.quantities, ElementsAre("1"));

    dialogs.twoChoiceAnswers = {kAnswerRight, kAnswerRight, kAnswerLeft};
    Press(TRole::BtnClear);
    EXPECT_THAT(view.quantities, ElementsAre("1"));
    presenter->Key(TWindowKey::Escape);
    EXPECT_FALSE(view.closed);
    EXPECT_THAT(dialogs.log, ElementsAre("choice: Remove every row of the list? [Yes|No]",
                                         "choice: Close the wizard? The list of media you made is lost. [Yes|No]"));
    EXPECT_THAT(dialogs.defaultChoices, ElementsAre(TDefaultChoice::Right, TDefaultChoice::Right));
    Press(TRole::BtnClear);
    EXPECT_TRUE(view.quantities.empty());
    presenter->Key(TWindowKey::Escape);  // nothing left to lose
    EXPECT_TRUE(view.closed);

    const auto letter = [](const std::string& caption) { return caption[caption.find('&') + 1]; };
    std::set<char> closeLetters;
    for (const auto page : {TPage::CreateOptions, TPage::ProgramOptions, TPage::PageStart, TPage::Finish}) {
        presenter.reset();
        Start();
        if (page >= TPage::ProgramOptions) presenter->Click(TRole::BtnNext);
        if (page >= TPage::PageStart) presenter->Click(TRole::BtnNext);
        if (page == TPage::Finish) presenter->Click(TRole::BtnNext);
        std::set<char> letters;
        for (const auto role : {TRole::BtnNext, TRole::BtnBack, TRole::BtnClose})
            letters.insert(char(std::tolower(letter(view.buttons[role].caption))));
        for (const auto& caption : {presenter->MoreDisksCaption(), presenter->ExitCaption()})
            letters.insert(char(std::tolower(letter(caption))));
        EXPECT_EQ(letters.size(), 5u) << int(page);
        closeLetters.insert(letter(view.buttons[TRole::BtnClose].caption));
        if (page == TPage::PageStart) {
            EXPECT_NE(letter(view.buttons[TRole::BtnNext].caption), 'C');
        }
    }
    EXPECT_THAT(closeLetters, ElementsAre('C'));
}

TEST_F(WizardPresenter, WithoutAFloppyDriveARowOffersTheFirstStickElseTheImageRecorder) {
    media.floppyDrive = false;
    Start();
    EXPECT_EQ(presenter->List().Rows()[0].kind, 1u);
    media.kinds.erase(media.kinds.begin() + 1);
    presenter.reset();
    Start();
    EXPECT_EQ(presenter->List().Rows()[0].kind, media.kinds.size() - 1);
}

// A floppy row on a computer without a floppy drive, or a stick row where the program lacks the
// rights to write it, could only fail at Create: the list cannot leave its page while it holds one,
// and the notice under it says why; a file row goes on.
TEST_F(WizardPresenter, ARowThatCannotBeMadeKeepsTheListOnItsPage) {
    media.floppyDrive = false;
    Start();
    presenter->Click(TRole::BtnAdd);
    presenter->KindChosen(1, 0);
    EXPECT_FALSE(view.enabled[TRole::BtnNext]);
    EXPECT_EQ(view.notice, app.texts[StrId::GUI_NOFLOPPYDRIVE]);
    view.SetFocus({TRole::ComboBox, 1});
    presenter->Key(TWindowKey::Return);
    presenter->Click(TRole::BtnNext);
    EXPECT_EQ(view.page, TPage::CreateOptions);
    presenter->KindChosen(1, 2);
    EXPECT_TRUE(view.enabled[TRole::BtnNext]);
    EXPECT_EQ(view.notice, "");
    presenter->Key(TWindowKey::Return);
    EXPECT_EQ(view.page, TPage::ProgramOptions);

    media.lacksRights = true;
    presenter.reset();
    Start();
    presenter->KindChosen(0, 1);  // the stick
    EXPECT_FALSE(view.enabled[TRole::BtnNext]);
    EXPECT_EQ(view.notice, app.texts[DriveRightsText(TFrontEnd::Wizard)]);
    presenter->KindChosen(0, 2);  // the image recorder
    EXPECT_TRUE(view.enabled[TRole::BtnNext]);
}

// Closing the window mid-run asks first; No goes on, Yes saves the options and ends the run.
TEST_F(WizardPresenter, ClosingMidRunAsksWhetherToStop) {
    bool closeAllowed = true;
    media.run = [&](TCreationDriver&, const std::vector<TCreateListRow>&) {
        closeAllowed = presenter->CloseRequested();
        EXPECT_EQ(runsEnded, 0);
        EXPECT_FALSE(presenter->CloseRequested());
        return TRunOutcome::Completed;
    };
    dialogs.twoChoiceAnswers = {kAnswerRight, kAnswerLeft};
    Start();
    presenter->Click(TRole::BtnNext);
    presenter->Click(TRole::BtnNext);
    presenter->Click(TRole::BtnNext);
    EXPECT_FALSE(closeAllowed);
    EXPECT_THAT(dialogs.log, ElementsAre("choice: Do you want to stop the process ? [Yes|No]",
                                         "choice: Do you want to stop the process ? [Yes|No]"));
    EXPECT_EQ(runsEnded, 1);
    EXPECT_EQ(settings.saved.size(), 1u);
    EXPECT_EQ(view.focus, TControlRef{TRole::ChkMoreDisks});
    EXPECT_TRUE(presenter->CloseRequested());  // after the run, the window just closes
}

// Every copy made succeeds here; an image names its file.
class TMakingHandlers : public ICreationHandlers {
public:
    bool CreateFloppy(TCreationDriver&) override { return true; }
    bool CreateCdDvd(TOpticalDevice&, TCreationDriver&) override { return true; }
    bool CreateRemovable(const TRemovableDrive&, TCreationDriver&) override { return true; }
    bool CreateFloppyImage(TCreationDriver&) override { return true; }
    bool CreateNetbootFolder(TCreationDriver&) override { return true; }
    std::string MissingDrive(const TMediaKind&) const override { return {}; }
    std::string OutputFile(const TMediaKind& kind) const override { return kind.device ? "/home/u/Quellmark.iso" : ""; }
};

// The ready page says the options have been saved, so they are by then; the finish page names what
// was made and where the ISO went; a window in the background is asked to draw attention at each
// prompt and at the end.
TEST_F(WizardPresenter, WordsAreTrueAndTheUserIsCalledWhenWanted) {
    TMakingHandlers handlers;
    media.run = [&](TCreationDriver& driver, const std::vector<TCreateListRow>& rows) {
        return driver.RunCreation(rows, media.kinds, handlers);
    };
    Start();
    presenter->KindChosen(0, 1);
    presenter->QuantityTyped(0, "2");
    presenter->Click(TRole::BtnAdd);
    presenter->KindChosen(1, 2);
    presenter->Click(TRole::BtnNext);
    presenter->OptionToggled(1, true);
    view.active = false;
    EXPECT_TRUE(settings.saved.empty());
    presenter->Click(TRole::BtnNext);
    ASSERT_EQ(view.page, TPage::PageStart);
    EXPECT_EQ(settings.saved.begin()->second.at("opt1"), 1u);
    presenter->Click(TRole::BtnNext);
    EXPECT_EQ(view.made, "Made:\r\u2022 2 copies: Removable storage device (stick)\r\u2022 File /home/u/Quellmark.iso");
    ASSERT_EQ(view.attention.size(), 4u);
    EXPECT_THAT(view.attention[0], testing::StartsWith("Please insert the removable disk"));
    EXPECT_EQ(view.attention[3], "Congratulations! Your boot disk is now ready to be used.");
}

// A drive taken away stays chosen in the rows that had it, and no other row may take it.
TEST_F(WizardPresenter, ADriveTakenAwayIsOfferedOnlyToTheRowsThatHadIt) {
    Start();
    presenter->KindChosen(0, 1);
    presenter->Click(TRole::BtnAdd);
    media.kinds[1].gone = true;
    media.drivesChanged = true;
    presenter->DrivesChanged();
    presenter->KindChosen(1, 1);
    EXPECT_EQ(presenter->List().Rows()[1].kind, 0u);
    presenter->KindChosen(0, 2);
    presenter->KindChosen(0, 1);
    EXPECT_EQ(presenter->List().Rows()[0].kind, 2u);
}

// Help topics and licences that nothing on the desktop opens, the wizard shows itself; what it cannot
// read either is said.
TEST_F(WizardPresenter, WhatNothingOpensTheWizardShowsItselfOrSays) {
    Start();
    view.cannotOpen = "Choosingthebootabledevice";
    presenter->Key(TWindowKey::F1);
    EXPECT_THAT(view.shownTopics, ElementsAre("Choosingthebootabledevice"));
    EXPECT_THAT(dialogs.Messages(), testing::IsEmpty());
    view.topicsReadable = false;
    presenter->Key(TWindowKey::F1);
    EXPECT_THAT(dialogs.Messages(), ElementsAre("Nothing on this computer can open /help/Choosingthebootabledevice"));
    // A file beside the program is never taken for a topic.
    view.topicsReadable = true;
    view.cannotOpen = "info.url";
    presenter->HelpMenu(THelpMenuEntry::TItem::Web);
    EXPECT_EQ(dialogs.Messages().back(), "Nothing on this computer can open /help/info.url");
    EXPECT_EQ(view.shownTopics.size(), 1u);

    const auto expectShown = [&](const std::string& file, const std::string& title, const std::string& line) {
        const auto path = DataFilePath(file);
        if (const auto text = ReadViewerText(path)) {
            EXPECT_EQ(view.shownText, std::make_pair(title, *text));
            EXPECT_THAT(*text, testing::HasSubstr(line));
        } else {
            EXPECT_EQ(dialogs.Messages().back(), "Nothing on this computer can open " + path);
        }
    };
    view.cannotOpen = kLicenseFile;
    presenter->AboutLicense();
    expectShown(kLicenseFile, "View License Agreement", "licence agreement\n");
    view.cannotOpen = kGplFile;
    presenter->AboutFreeSoftware();
    expectShown(kGplFile, "GNU General Public License", "GNU GENERAL PUBLIC LICENSE\n");
}

// The viewer's text: UTF-8 with one "\n" a line; a file too large for a licence is not read.
TEST(LicenseText, ReadsLinesAsTheProgramKeepsTextAndRefusesAHugeFile) {
    const test::TTempDir folder;
    const std::string text = "\xC2\xA9 Halvex\r\nline\n";
    test::WriteFile(folder / "l.txt", {text.begin(), text.end()});
    EXPECT_EQ(ReadViewerText(folder / "l.txt"), "\xC2\xA9 Halvex\nline\n");
    test::WriteFile(folder / "big.txt", std::vector<std::uint8_t>(kMaxViewerTextSize + 1, 'x'));
    EXPECT_EQ(ReadViewerText(folder / "big.txt"), std::nullopt);
    EXPECT_EQ(ReadViewerText(folder / "none.txt"), std::nullopt);
}

TEST(WizardMnemonics, EachCaptionTakesALetterNoEarlierOneTook) {
    EXPECT_THAT(WithMnemonics({"Create", "Back", "Close", "R&D"}), ElementsAre("&Create", "&Back", "C&lose", "&R&&D"));
}

}  // namespace
}  // namespace bootdisk
