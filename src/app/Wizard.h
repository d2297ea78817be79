// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wizard's five pages and its navigation: which page follows, the buttons' captions and
// enabled states, the boot panels of the options page and the help keyword. Drawing is the front
// end's; it forwards every click here.
#include <functional>
#include <string>
#include <vector>

#include "app/CreateList.h"
#include "app/CreationDriver.h"
#include "app/Options.h"
#include "base/StrConst.h"

namespace bootdisk {

enum class TPage { CreateOptions, ProgramOptions, PageStart, Progress, Finish };

struct TButton {
    std::string caption;
    bool enabled = true;
};

// What a Next click asks the front end to do after the model has moved on.
enum class TNextAction { None, RunCreation, CloseWindow, RefuseParameters };

// What the finish page lists of a run: each medium made, consecutive copies of one medium
// counted together, each image by its file; at most maxLines lines, then how many more.
std::string MadeList(const TStringTable& texts, const std::vector<TMadeCopy>& made, std::size_t maxLines = 4);

class TWizard {
public:
    TWizard(const TStringTable& texts, TCreationList& list, const std::vector<TMediaKind>& kinds);

    // The first activation: one row, the first page.
    void FirstActivation();
    TNextAction Next();
    void Back();
    // RunCreation has returned: the Finish page follows, after a stop too, titled with what was made.
    void CreationFinished(TRunOutcome outcome, int doneCopies, int totalCopies);
    // The 50 ms timer of the first page: Next needs rows, all of which this computer can make.
    void OnTimer(bool rowsCanBeMade = true);

    TPage Page() const { return page_; }
    const TButton& NextButton() const { return next_; }
    const TButton& BackButton() const { return back_; }
    const TButton& CloseButton() const { return close_; }
    bool HelpEnabled() const { return helpEnabled_; }
    const std::string& FinishTitle() const { return finishTitle_; }
    bool CdBootPanel() const { return cdPanel_; }
    bool FloppyBootPanel() const { return floppyPanel_; }
    const std::string& HelpKeyword() const { return helpKeyword_; }
    // The options page's command-line parameters, as typed in its text box (UTF-16).
    std::u16string parameters;
    // The parameters as the last Next from the options page took them: for AUTOEXEC.BAT, or
    // refused by name.
    const TBatchParameters& CheckedParameters() const { return checkedParameters_; }
    // The Finish page's choice: exit, or create more.
    bool exitChosen = false;
    // Told each help keyword the window takes; a page change sets an interim one first.
    std::function<void(const std::string&)> onHelpKeyword;

    static std::string PageKeyword(TPage page);

private:
    void ShowPage(TPage page);

    const TStringTable& texts_;
    TCreationList& list_;
    const std::vector<TMediaKind>& kinds_;
    TPage page_ = TPage::CreateOptions;
    TButton next_, back_, close_;
    bool helpEnabled_ = true;
    bool cdPanel_ = false;
    bool floppyPanel_ = false;
    std::string helpKeyword_ = "Introducing";
    std::string finishTitle_;
    TBatchParameters checkedParameters_;
};

}  // namespace bootdisk
