// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Wizard.h"

#include <algorithm>

#include "app/NetbootJob.h"
#include "app/Options.h"

namespace bootdisk {

std::string MadeList(const TStringTable& texts, const std::vector<TMadeCopy>& made, std::size_t maxLines) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < made.size();) {
        std::size_t same = 1;
        if (made[i].file.empty())
            while (i + same < made.size() && made[i + same].file.empty() && made[i + same].medium == made[i].medium)
                ++same;
        const bool folder = made[i].type == TMediaType::NetbootFolder;
        if (!made[i].file.empty())
            lines.push_back(WithValues(texts[folder ? StrId::GUI_FINISH_FOLDER : StrId::GUI_FINISH_FILE], {made[i].file}));
        else if (same > 1) lines.push_back(WithValues(texts[StrId::GUI_FINISH_COPIES], {std::to_string(same), made[i].medium}));
        else lines.push_back(made[i].medium);
        i += same;
    }
    if (lines.empty()) return {};
    std::string text = texts[StrId::GUI_FINISH_MADE];
    // Appended piece by piece: GCC 12 warns falsely about a literal added to a string here.
    for (std::size_t i = 0; i < lines.size() && i < maxLines; ++i) text.append("\r\u2022 ").append(lines[i]);
    if (lines.size() > maxLines)
        text.append("\r").append(WithValues(texts[StrId::GUI_FINISH_MORE], {std::to_string(lines.size() - maxLines)}));
    // How the last network boot folder reaches the machines.
    const auto folder = std::find_if(made.rbegin(), made.rend(), [](const TMadeCopy& copy) {
        return copy.type == TMediaType::NetbootFolder && !copy.file.empty();
    });
    if (folder != made.rend()) text.append("\r").append(NetbootServeHint(texts, folder->file));
    return text;
}

TWizard::TWizard(const TStringTable& texts, TCreationList& list, const std::vector<TMediaKind>& kinds)
    : texts_(texts), list_(list), kinds_(kinds), next_{texts[StrId::GUI_NEXT]}, back_{texts[StrId::GUI_BACK], false},
      close_{texts[StrId::GUI_CLOSE]} {}

std::string TWizard::PageKeyword(TPage page) {
    switch (page) {
        case TPage::CreateOptions:
            return "Choosingthebootabledevice";
        case TPage::ProgramOptions:
            return "Sanitizingoptions";
        case TPage::PageStart:
        case TPage::Progress:
        case TPage::Finish:
            break;
    }
    return "Creatingthedisks";
}

void TWizard::ShowPage(TPage page) {
    page_ = page;
    for (const auto& keyword : {std::string("Theinsecureworldofdiscarde"), PageKeyword(page)}) {
        helpKeyword_ = keyword;
        if (onHelpKeyword) onHelpKeyword(keyword);
    }
}

void TWizard::FirstActivation() {
    list_.Add();
    ShowPage(TPage::CreateOptions);
    back_.enabled = false;
}

TNextAction TWizard::Next() {
    switch (page_) {
        case TPage::CreateOptions: {
            if (list_.Rows().empty()) return TNextAction::None;
            // A network boot folder boots from memory, as a CD does, and takes a CD's boot system.
            const auto isOptical = [&](const TCreateListRow& row) {
                return kinds_.at(row.kind).type == TMediaType::Optical ||
                       kinds_.at(row.kind).type == TMediaType::NetbootFolder;
            };
            cdPanel_ = std::any_of(list_.Rows().begin(), list_.Rows().end(), isOptical);
            floppyPanel_ = !std::all_of(list_.Rows().begin(), list_.Rows().end(), isOptical);
            ShowPage(TPage::ProgramOptions);
            back_.enabled = true;
            return TNextAction::None;
        }
        case TPage::ProgramOptions:
            // They go into AUTOEXEC.BAT: a line break would fail every copy of the run.
            checkedParameters_ = ToBatchParameters(parameters);
            if (checkedParameters_.refusal != TBatchParameters::Refusal::None) return TNextAction::RefuseParameters;
            ShowPage(TPage::PageStart);
            next_.caption = texts_[StrId::GUI_CREATE];
            return TNextAction::None;
        case TPage::PageStart:
            next_.caption = texts_[StrId::GUI_NEXT];
            ShowPage(TPage::Progress);
            next_.enabled = back_.enabled = close_.enabled = helpEnabled_ = false;
            return TNextAction::RunCreation;
        case TPage::Progress:
            return TNextAction::None;
        case TPage::Finish:
            if (exitChosen) return TNextAction::CloseWindow;
            ShowPage(TPage::CreateOptions);
            next_.enabled = close_.enabled = true;
            back_.enabled = false;
            return TNextAction::None;
    }
    return TNextAction::None;
}

void TWizard::Back() {
    if (page_ == TPage::ProgramOptions) {
        ShowPage(TPage::CreateOptions);
        back_.enabled = false;
    } else if (page_ == TPage::PageStart) {
        ShowPage(TPage::ProgramOptions);
        next_.caption = texts_[StrId::GUI_NEXT];
    }
}

void TWizard::CreationFinished(TRunOutcome outcome, int doneCopies, int totalCopies) {
    const bool stopped = outcome == TRunOutcome::Stopped;
    if (outcome == TRunOutcome::Completed && doneCopies == totalCopies && totalCopies > 0)
        finishTitle_ = texts_[StrId::GUI_TEXT1PAGE8];
    else if (doneCopies == 0)
        finishTitle_ = texts_[stopped ? StrId::GUI_FINISH_STOPPEDNONE : StrId::GUI_FINISH_NONE];
    else
        finishTitle_ = WithValues(texts_[stopped ? StrId::GUI_FINISH_STOPPEDSOME : StrId::GUI_FINISH_SOME],
                                  {std::to_string(doneCopies), std::to_string(totalCopies)});
    ShowPage(TPage::Finish);
    next_.enabled = close_.enabled = helpEnabled_ = true;
    back_.enabled = false;
}

void TWizard::OnTimer(bool rowsCanBeMade) {
    if (page_ == TPage::CreateOptions) next_.enabled = list_.Buttons().next && rowsCanBeMade;
}

}  // namespace bootdisk
