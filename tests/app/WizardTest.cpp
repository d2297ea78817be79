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

// A refused character is named by what it is (a pasted tab shows as blanks) and where it is, counted
// in characters; DOS reads 127 characters of a batch line, "Korvane " and the parameters included.
TEST_F(Wizard, ParametersTheBatchFileCannotHoldKeepTheOptionsPage) {
    wizard.Next();
    const std::string control = "The command line parameters must not contain line breaks or control characters. ";
    const std::string codePage = "The command line parameters can hold only characters of the Windows-1252 code page. ";
    const std::pair<std::string, std::string> refused[] = {
        {"/a\r\n/b", control + "Refused: a line break at position 3 (selected in the box)."},
        {"\xC3\xA9/a\t/b", control + "Refused: a tab at position 4 (selected in the box)."},
        {"/a\x7F", control + "Refused: the control character U+007F at position 3 (selected in the box)."},
        {"/n=\xE2\x98\x83", codePage + "Refused: the character U+2603 at position 4 (selected in the box)."},
        {"/n=\xFF", codePage + "Refused: the character U+FFFD at position 4 (selected in the box)."},
        {std::string(120, 'p'),
         "The command line parameters must fit on one DOS batch line: at most 119 characters, not 120."},
    };
    for (const auto& [typed, message] : refused) {
        wizard.parameters = typed;
        EXPECT_EQ(wizard.Next(), TNextAction::RefuseParameters) << typed;
        EXPECT_EQ(wizard.Page(), TPage::ProgramOptions);
        EXPECT_EQ(ParametersRefusalText(texts, wizard.CheckedParameters()), message);
    }
    wizard.parameters = "/a /n=\xC3\xA9\xE2\x82\xAC";  // é and €, typed in UTF-8
    wizard.Next();
    EXPECT_EQ(wizard.Page(), TPage::PageStart);
    EXPECT_EQ(wizard.CheckedParameters().text, "/a /n=\xE9\x80");
    wizard.Back();
    wizard.parameters = std::string(119, 'p');
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
