// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sim/ScriptedDialogs.h"

namespace bootdisk {
namespace {

template <typename T>
T Next(std::deque<T>& queue, T whenEmpty) {
    if (queue.empty()) return whenEmpty;
    T answer = queue.front();
    queue.pop_front();
    return answer;
}

}  // namespace

void TScriptedDialogs::ShowCoolMessage(const std::string& text) { log.push_back("message: " + text); }

int TScriptedDialogs::AskRetryAbort(const std::string& text) {
    log.push_back("retry: " + text);
    return Next(retryAbortAnswers, kAnswerRetry);
}

int TScriptedDialogs::AskTwoChoices(const std::string& text, const std::string& leftCaption,
                                    const std::string& rightCaption, TDefaultChoice defaultChoice) {
    defaultChoices.push_back(defaultChoice);
    log.push_back("choice: " + text + " [" + leftCaption + "|" + rightCaption + "]");
    return Next(twoChoiceAnswers, kAnswerLeft);
}

std::optional<std::string> TScriptedDialogs::AskSystemFolder() {
    log.push_back("folder");
    return Next(folderAnswers, std::optional<std::string>());
}

std::optional<std::string> TScriptedDialogs::AskSaveFile(const TSaveFileRequest& request) {
    log.push_back("save");
    saveRequests.push_back(request);
    return Next(saveFileAnswers, std::optional<std::string>());
}

std::vector<std::string> TScriptedDialogs::Messages() const {
    std::vector<std::string> messages;
    for (const auto& entry : log)
        if (entry.rfind("message: ", 0) == 0) messages.push_back(entry.substr(9));
    return messages;
}

}  // namespace bootdisk
