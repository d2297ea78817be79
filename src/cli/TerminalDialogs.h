// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line's dialogs: answers given as arguments, questions asked on the terminal, messages
// on stderr led by the command's name. Unattended (--yes, or no terminal) the medium prompts are
// answered OK without being shown: a log tells what was made, not what a person would be asked.
#include <optional>
#include <string>

#include "base/StrConst.h"
#include "platform/Dialogs.h"
#include "platform/HostSystem.h"

namespace bootdisk {

struct TTerminalAnswers {
    std::optional<std::string> systemFolder;  // --msdos-folder
    std::optional<std::string> saveFile;      // the output file of `iso`
    bool assumeYes = false;                   // --yes: every prompt answered OK
};

// The next line typed on stdin, without its line end; nothing once the input has ended. Read through
// stdio: the C++ streams would set up their locales at every start of the program.
std::optional<std::string> ReadStdinLine();

class TTerminalDialogs : public IDialogs {
public:
    TTerminalDialogs(const TStringTable& texts, const IHostSystem& host, TTerminalAnswers answers,
                     std::string command);

    // The floppy prompt names the device (or image file) standing for the floppy drive, not the
    // drive letter of the wizard on Windows.
    void NameFloppyTarget(const std::string& device, bool imageFile);

    void ShowCoolMessage(const std::string& text) override;
    int AskRetryAbort(const std::string& text) override;
    int AskTwoChoices(const std::string& text, const std::string& leftCaption, const std::string& rightCaption,
                      TDefaultChoice defaultChoice) override;
    std::optional<std::string> AskSystemFolder() override;
    std::optional<std::string> AskSaveFile(const TSaveFileRequest& request) override;
    void ProcessMessages() override {}
    bool AnswersEnded() const override { return inputEnded_; }

private:
    // Nothing once the input has ended (Ctrl-D), which is remembered: it answers every question
    // after it safely.
    std::optional<std::string> ReadLine(const std::string& prompt);

    const TStringTable& texts_;
    const IHostSystem& host_;
    TTerminalAnswers answers_;
    std::string command_;
    std::optional<std::string> floppyPrompt_;
    bool interactive_;
    bool inputEnded_ = false;
};

}  // namespace bootdisk
