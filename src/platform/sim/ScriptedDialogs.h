// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialogs answered from a script, recording every question; for tests and headless runs.
#include <deque>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace bootdisk {

class TScriptedDialogs : public IDialogs {
public:
    // Answers in the order they are asked for. An empty queue answers Retry and the left button,
    // and cancels the file and folder dialogs.
    std::deque<int> retryAbortAnswers;
    std::deque<int> twoChoiceAnswers;
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<std::string>> saveFileAnswers;

    // Every question, as "kind: text" ("message: ...", "retry: ...", "choice: ...", "folder", "save").
    std::vector<std::string> log;
    std::vector<TSaveFileRequest> saveRequests;
    std::vector<TDefaultChoice> defaultChoices;  // of each box of two choices
    int pumps = 0;
    bool answersEnded = false;  // as a terminal whose input has ended

    void ShowCoolMessage(const std::string& text) override;
    int AskRetryAbort(const std::string& text) override;
    int AskTwoChoices(const std::string& text, const std::string& leftCaption, const std::string& rightCaption,
                      TDefaultChoice defaultChoice) override;
    std::optional<std::string> AskSystemFolder() override;
    std::optional<std::string> AskSaveFile(const TSaveFileRequest& request) override;
    void ProcessMessages() override { ++pumps; }
    bool AnswersEnded() const override { return answersEnded; }

    // The texts of the information boxes shown so far.
    std::vector<std::string> Messages() const;
};

}  // namespace bootdisk
