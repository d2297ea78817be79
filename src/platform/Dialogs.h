// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the program asks the user: the message box, the system-file folder dialog, the save-file
// dialog and the message pump. The desktop wizard, the terminal and the tests each implement it.
#include <optional>
#include <string>

namespace bootdisk {

// Answers of the message box, as its buttons report them.
inline constexpr int kAnswerLeft = 1;
inline constexpr int kAnswerRight = 2;
inline constexpr int kAnswerAbort = 3;
inline constexpr int kAnswerRetry = 4;

// The choice Return takes in a box of two. Escape and the box's close button always take the right
// one, which every caller makes the safe answer (Cancel, No).
enum class TDefaultChoice { Left, Right };

struct TSaveFileRequest {
    std::string defaultExtension;  // without the dot, e.g. "ISO"
    std::string proposedName;      // e.g. "Quellmark.iso"
    std::string filter;            // e.g. "*.ISO"
};

class IDialogs {
public:
    virtual ~IDialogs() = default;

    virtual void ShowCoolMessage(const std::string& text) = 0;
    // kAnswerRetry, or kAnswerAbort (also when the box is closed through its frame).
    virtual int AskRetryAbort(const std::string& text) = 0;
    // kAnswerLeft, or kAnswerRight (also when the box is closed through its frame).
    virtual int AskTwoChoices(const std::string& text, const std::string& leftCaption,
                              const std::string& rightCaption, TDefaultChoice defaultChoice) = 0;
    // The folder holding the MS-DOS system files, ending in the host's path separator;
    // nothing when the user cancelled.
    virtual std::optional<std::string> AskSystemFolder() = 0;
    // The chosen destination (with the default extension added when none was typed);
    // nothing when the user cancelled.
    virtual std::optional<std::string> AskSaveFile(const TSaveFileRequest& request) = 0;
    // Lets the user interface breathe during long work.
    virtual void ProcessMessages() = 0;
    // Whether no answer can come any more (the terminal's input has ended): every question is then
    // answered safely at once, and a run must not go on asking.
    virtual bool AnswersEnded() const { return false; }
};

// Dialogs that pass every question on to others; a subclass answers some itself.
class TDialogsRelay : public IDialogs {
public:
    explicit TDialogsRelay(IDialogs& inner) : inner_(inner) {}

    void ShowCoolMessage(const std::string& text) override { inner_.ShowCoolMessage(text); }
    int AskRetryAbort(const std::string& text) override { return inner_.AskRetryAbort(text); }
    int AskTwoChoices(const std::string& text, const std::string& leftCaption, const std::string& rightCaption,
                      TDefaultChoice defaultChoice) override {
        return inner_.AskTwoChoices(text, leftCaption, rightCaption, defaultChoice);
    }
    std::optional<std::string> AskSystemFolder() override { return inner_.AskSystemFolder(); }
    std::optional<std::string> AskSaveFile(const TSaveFileRequest& request) override {
        return inner_.AskSaveFile(request);
    }
    void ProcessMessages() override { inner_.ProcessMessages(); }
    bool AnswersEnded() const override { return inner_.AnswersEnded(); }

private:
    IDialogs& inner_;
};

}  // namespace bootdisk
