// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Wizard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace bootdisk {
namespace {

using testing::ElementsAre;

class Wizard : public testing::Test {
protected:
    Wizard() {
        wizard.onHelpKeyword = [this](const std::string& keyword) { keywords.push_back(keyword); };
        wizard.FirstActivation();
    }
    std::string State() const {
        auto button = [](const TButton& b) { return b.caption + (b.enabled ? "+" : "-"); };
        return button(wizard.BackButton()) + " " + button(wizard.NextButton()) + " " + button(wizard.CloseButton()) +
               (wizard.HelpEnabled() ? " help+" : " help-");
    }

    TStringTable texts;
    TCreationList list;
    std::vector<TMediaKind> kinds = {{"Floppy disk (drive A:)", TMediaType::Floppy, nullptr, {}},
                                     {"Image recorder", TMediaType::Optical, nullptr, {}}};
    TWizard wizard{texts, list, kinds};
    std::vector<std::string> keywords;
};

TEST_F(Wizard, AWholeRunPageByPage) {
    EXPECT_EQ(list.Rows().size(), 1u);
    EXPECT_EQ(wizard.Page(), TPage::CreateOptions);
    EXPECT_EQ(State(), "Back- Next+ Close+ help+");

    EXPECT_EQ(wizard.Next(), TNextAction::None);
    EXPECT_EQ(wizard.Page(), TPage::ProgramOptions);
    EXPECT_EQ(State(), "Back+ Next+ Close+ help+");
    EXPECT_EQ(wizard.HelpKeyword(), "Sanitizingoptions");

    wizard.Next();
    EXPECT_EQ(wizard.Page(), TPage::PageStart);
    EXPECT_EQ(State(), "Back+ Create+ Close+ help+");

    EXPECT_EQ(wizard.Next(), TNextAction::RunCreation);
    EXPECT_EQ(wizard.Page(), TPage::Progress);
    EXPECT_EQ(State(), "Back- Next- Close- help-");

    wizard.CreationFinished(TRunOutcome::Completed, 1, 1);
    EXPECT_EQ(wizard.Page(), TPage::Finish);
    EXPECT_EQ(State(), "Back- Next+ Close+ help+");
    EXPECT_EQ(wizard.FinishTitle(), "Congratulations! Your boot disk is now ready to be used.");

    // Create more: back to the first page with the rows kept.
    EXPECT_EQ(wizard.Next(), TNextAction::None);
    EXPECT_EQ(wizard.Page(), TPage::CreateOptions);
    EXPECT_EQ(list.Rows().size(), 1u);
    EXPECT_EQ(State(), "Back- Next+ Close+ help+");

    wizard.Next();
    wizard.Next();
    wizard.Next();
    wizard.CreationFinished(TRunOutcome::Failed, 2, 3);
    EXPECT_EQ(wizard.FinishTitle(), "2 of 3 copies made.");
    wizard.exitChosen = true;
    EXPECT_EQ(wizard.Next(), TNextAction::CloseWindow);
}

TEST_F(Wizard, EveryPageChangePassesThroughTheInterimKeyword) {
    wizard.Next();
    EXPECT_THAT(keywords, ElementsAre("Theinsecureworldofdiscarde", "Choosingthebootabledevice",
                                      "Theinsecureworldofdiscarde", "Sanitizingoptions"));
    wizard.Next();
    EXPECT_EQ(wizard.HelpKeyword(), "Creatingthedisks");
}

TEST_F(Wizard, BackFromPageStartRestoresNext) {
    wizard.Next();
    wizard.Next();
    wizard.Back();
    EXPECT_EQ(wizard.Page(), TPage::ProgramOptions);
    EXPECT_EQ(wizard.NextButton().caption, "Next");
    wizard.Back();
    EXPECT_EQ(wizard.Page(), TPage::CreateOptions);
    EXPECT_FALSE(wizard.BackButton().enabled);
}

TEST_F(Wizard, BootPanelsFollowTheRowsKinds) {
    list.Row(0).kind = 1;
    wizard.Next();
    EXPECT_TRUE(wizard.CdBootPanel());
    EXPECT_FALSE(wizard.FloppyBootPanel());

    wizard.Back();
    list.Add();  // a floppy row beside the recorder row
    wizard.Next();
    EXPECT_TRUE(wizard.CdBootPanel());
    EXPECT_TRUE(wizard.FloppyBootPanel());
}

// The parameters are checked as the text box holds them (UTF-16), before any conversion: a refused
// character is named by what it is (a pasted tab shows as blanks) and where it is, counted in
// characters; DOS reads 127 characters of a batch line, "Korvane " and the parameters included.
TEST_F(Wizard, ParametersTheBatchFileCannotHoldKeepTheOptionsPage) {
    wizard.Next();
    const std::string control = "The command line parameters must not contain line breaks or control characters. ";
    const std::string codePage = "The command line parameters can hold only characters of the Windows-1252 code page. ";
    const std::pair<std::u16string, std::string> refused[] = {
        {u"/a\r\n/b", control + "Refused: a line break at position 3 (selected in the box)."},
        {u"\u00E9/a\t/b", control + "Refused: a tab at position 4 (selected in the box)."},
        {u"/a\x7F", control + "Refused: the control character U+007F at position 3 (selected in the box)."},
        {u"/x \u03A9", codePage + "Refused: the character \u03A9 (U+03A9) at position 4 (selected in the box)."},
        {u"/\U0001F600/\u2603", codePage + "Refused: the character \U0001F600 (U+1F600) at position 2 (selected in the box)."},
        {u"/n=\xD83D/", codePage + "Refused: the character U+D83D at position 4 (selected in the box)."},
        {std::u16string(120, u'p'),
         "The command line parameters must fit on one DOS batch line: at most 119 characters, not 120."},
    };
    for (const auto& [typed, message] : refused) {
        wizard.parameters = typed;
        EXPECT_EQ(wizard.Next(), TNextAction::RefuseParameters) << message;
        EXPECT_EQ(wizard.Page(), TPage::ProgramOptions);
        EXPECT_EQ(ParametersRefusalText(texts, wizard.CheckedParameters()), message);
    }
    wizard.parameters = u"/a /n=\u00E9\u20AC\u00E4";  // é, € and ä: all Windows-1252
    wizard.Next();
    EXPECT_EQ(wizard.Page(), TPage::PageStart);
    EXPECT_EQ(wizard.CheckedParameters().text, "/a /n=\xE9\x80\xE4");
    wizard.Back();
    wizard.parameters = std::u16string(119, u'p');
    wizard.Next();
    EXPECT_EQ(AutoexecLines("x", true, wizard.CheckedParameters().text).back().size(), kMaxBatchLine);
}

TEST_F(Wizard, AnEmptyListKeepsTheFirstPage) {
    list.Clear();
    wizard.OnTimer();
    EXPECT_FALSE(wizard.NextButton().enabled);
    EXPECT_EQ(wizard.Next(), TNextAction::None);
    EXPECT_EQ(wizard.Page(), TPage::CreateOptions);
}

}  // namespace
}  // namespace bootdisk
