// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TerminalDialogs.h"

#include <cstdio>

#include "app/SearchSys.h"
#include "base/Text.h"
#include "cli/Output.h"
#include "optical/ImageRecorder.h"
#include "platform/Host.h"

namespace bootdisk {
namespace {

// Labels write a shown "&" as "&&".
std::string LabelText(std::string text) {
    for (auto at = text.find("&&"); at != std::string::npos; at = text.find("&&", at + 1)) text.erase(at, 1);
    return text;
}

}  // namespace

TTerminalDialogs::TTerminalDialogs(const TStringTable& texts, const IHostSystem& host, TTerminalAnswers answers,
                                   std::string command)
    : texts_(texts),
      host_(host),
      answers_(std::move(answers)),
      command_(std::move(command)),
      interactive_(StdinIsTerminal()) {}

void TTerminalDialogs::NameFloppyTarget(const std::string& device, bool imageFile) {
    floppyPrompt_ = imageFile ? "The boot floppy is written into the image file " + device + "."
                              : "Please insert a floppy disk in " + device;
}

std::optional<std::string> ReadStdinLine() {
    std::string text;
    for (int c = std::fgetc(stdin); c != '\n'; c = std::fgetc(stdin)) {
        if (c == EOF) {
            if (text.empty()) return std::nullopt;
            break;
        }
        text += char(c);
    }
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return text;
}

std::optional<std::string> TTerminalDialogs::ReadLine(const std::string& prompt) {
    if (inputEnded_) return std::nullopt;
    cli::Print(WithLineFeeds(prompt), stderr);
    std::fflush(stderr);
    auto line = ReadStdinLine();
    if (!line) {
        inputEnded_ = true;
        std::fputc('\n', stderr);  // the next line starts where the prompt's would have ended
    }
    return line;
}

void TTerminalDialogs::ShowCoolMessage(const std::string& text) { cli::PrintError(command_, text); }

int TTerminalDialogs::AskRetryAbort(const std::string& text) {
    // Unattended, a failure is not retried forever.
    if (!interactive_) {
        ShowCoolMessage(text);
        return kAnswerAbort;
    }
    // End of input aborts: it must not start the same failure again and again.
    const auto answer = ReadLine(text + " [R]etry / [A]bort: ");
    return !answer || (!answer->empty() && (answer->front() == 'a' || answer->front() == 'A')) ? kAnswerAbort
                                                                                              : kAnswerRetry;
}

// The terminal has no default: a bare Return asks again, and end of input takes the safe answer.
int TTerminalDialogs::AskTwoChoices(const std::string& text, const std::string& leftCaption,
                                    const std::string& rightCaption, TDefaultChoice) {
    if (answers_.assumeYes || !interactive_) return kAnswerLeft;
    // The floppy prompt's first line names drive A:, which stands for the device named here.
    const auto& insert = texts_[StrId::GUI_TEXTINSERTFLOPPY];
    const auto shown =
        floppyPrompt_ && text.starts_with(insert) ? *floppyPrompt_ + text.substr(insert.size()) : text;
    for (;;) {
        const auto answer = ReadLine(shown + " [1] " + leftCaption + " / [2] " + rightCaption + ": ");
        if (!answer) return kAnswerRight;
        if (*answer == "1" || SameTextAnsi(*answer, leftCaption)) return kAnswerLeft;
        if (*answer == "2" || SameTextAnsi(*answer, rightCaption)) return kAnswerRight;
    }
}

std::optional<std::string> TTerminalDialogs::AskSystemFolder() {
    auto candidate = answers_.systemFolder;
    if (!candidate && interactive_)
        candidate = ReadLine(texts_[StrId::SEARCHSYS_CANNOT_FIND] + " " +
                             LabelText(texts_[StrId::SEARCHSYS_PLEASE_SPECIFY]) + ": ");
    if (!candidate || candidate->empty()) return std::nullopt;
    auto folder = AcceptSystemFolder(host_, *candidate);
    if (!folder) ShowCoolMessage(texts_[StrId::SEARCHSYS_THERE_IS_NO_SYSTEM] + " (" + *candidate + ")");
    return folder;
}

std::optional<std::string> TTerminalDialogs::AskSaveFile(const TSaveFileRequest& request) {
    auto chosen = answers_.saveFile;
    if (!chosen && interactive_) chosen = ReadLine(texts_[StrId::GUI_TEXTFILELOCATION] + ": ");
    if (!chosen || chosen->empty()) return std::nullopt;
    return WithDefaultExtension(*chosen, request.defaultExtension);
}

}  // namespace bootdisk
