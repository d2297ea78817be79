#pragma once
// The command line's dialogs: answers given as arguments, questions asked on the terminal.
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

class TTerminalDialogs : public IDialogs {
public:
    TTerminalDialogs(const TStringTable& texts, const IHostSystem& host, TTerminalAnswers answers);

    void ShowCoolMessage(const std::string& text) override;
    int AskRetryAbort(const std::string& text) override;
    int AskTwoChoices(const std::string& text, const std::string& leftCaption,
                      const std::string& rightCaption) override;
    std::optional<std::string> AskSystemFolder() override;
    std::optional<std::string> AskSaveFile(const TSaveFileRequest& request) override;
    void ProcessMessages() override {}

private:
    std::optional<std::string> ReadLine(const std::string& prompt);

    const TStringTable& texts_;
    const IHostSystem& host_;
    TTerminalAnswers answers_;
    bool interactive_;
};

}  // namespace bootdisk
