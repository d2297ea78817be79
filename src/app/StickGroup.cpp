// SPDX-License-Identifier: GPL-3.0-or-later
// Several sticks written at once: each on a thread of its own, so that the slowest stick, not the
// sum of them, sets the time the user waits.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/CreationHandlers.h"
#include "base/Errors.h"
#include "platform/Worker.h"

namespace bootdisk {
namespace {

// A stick's own messages, kept for after every stick is done: its thread may not show them, and
// nobody can answer a question there.
class TKeptMessages : public IDialogs {
public:
    void ShowCoolMessage(const std::string& text) override {
        if (text.empty()) return;
        if (!kept.empty()) kept.append(" ");
        kept.append(text);
    }
    int AskRetryAbort(const std::string&) override { return kAnswerAbort; }
    int AskTwoChoices(const std::string&, const std::string&, const std::string&, TDefaultChoice) override {
        return kAnswerRight;
    }
    std::optional<std::string> AskSystemFolder() override { return std::nullopt; }
    std::optional<std::string> AskSaveFile(const TSaveFileRequest&) override { return std::nullopt; }
    void ProcessMessages() override {}
    bool AnswersEnded() const override { return true; }

    std::string kept;
};

struct TStick {
    TStick(const TRemovableDrive& stick, const std::function<TRemovableHost(IDialogs&)>& host)
        : drive(stick), install(host(messages)) {}

    // On the stick's own thread: the write, then the read-back through the same handle.
    void WriteAndCompare() {
        try {
            if (!install.WriteTakenDrive()) return;
            failure = TCopyFailure::ReadBack;
            if (install.VerifyTakenDrive()) failure = TCopyFailure::None;
        } catch (const std::exception& error) {
            messages.ShowCoolMessage(error.what());
        }
    }

    const TRemovableDrive& drive;
    TKeptMessages messages;
    TRemovableInstall install;
    std::atomic<double> written{0.0};
    TCopyFailure failure = TCopyFailure::Failed;
};

}  // namespace

std::vector<TStickResult> TCreationHandlers::CreateRemovables(const std::vector<TRemovableDrive>& drives,
                                                              TCreationDriver& driver) {
    const auto& texts = env_.app.texts;
    std::vector<std::unique_ptr<TStick>> sticks;
    for (const auto& drive : drives)
        sticks.push_back(std::make_unique<TStick>(drive, [&](IDialogs& own) { return RemovableHost(drive, own); }));
    lastFailure_ = TCopyFailure::Refused;  // until every drive has passed the check
    for (auto& stick : sticks) stick->install.CheckRemovable(stick->drive.letter);
    lastFailure_ = TCopyFailure::Failed;

    // One image for all: built once, each stick is given its own copy to write from.
    TVirtualFloppy image;
    if (!BuildBootFloppy(image, env_.app.payloads.Floppy(), settings_.useMsDos, env_, settings_))
        throw ECopySkipped("");
    env_.dialogs.ProcessMessages();

    // Every drive is unmounted and opened (the system may ask the user for each) before any write.
    std::vector<TStick*> taken;
    for (auto& stick : sticks) {
        stick->install.CreateImage();
        std::copy(image.Image().begin(), image.Image().end(), stick->install.Image().Image().begin());
        if (DriveGone(stick->drive))
            stick->messages.ShowCoolMessage(texts[StrId::DRIVE_GONE] + stick->drive.device);
        else if (UnmountConfirmed(stick->drive, stick->messages) && stick->install.TakeDrive(stick->drive.letter))
            taken.push_back(stick.get());
        env_.dialogs.ProcessMessages();
    }

    const auto fraction = [&] {
        double sum = 0;
        for (const auto* stick : taken) sum += stick->written.load();
        return sum;
    };
    {
        std::vector<TWorker> workers;
        for (auto* stick : taken) {
            stick->install.OnImageProgress = [stick](double done) { stick->written.store(done); };
            workers.emplace_back([stick] { stick->WriteAndCompare(); });
        }
        driver.WritingMedium();
        while (!std::all_of(workers.begin(), workers.end(), [](const TWorker& worker) { return worker.Done(); })) {
            driver.SetCopyProgress(fraction());
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    driver.SetCopyProgress(fraction());

    // The run's failure is the worst of the sticks': a read-back that differs above any other.
    lastFailure_ = TCopyFailure::None;
    std::vector<TStickResult> results;
    for (const auto& stick : sticks) {
        auto medium = StickMedium(stick->drive);
        medium.imageSha256 = stick->install.DriveImageSha256();
        Tell(std::move(medium), stick->failure, true);
        results.push_back({stick->failure == TCopyFailure::None, stick->messages.kept});
        if (stick->failure != TCopyFailure::None && lastFailure_ != TCopyFailure::ReadBack) lastFailure_ = stick->failure;
    }
    return results;
}

}  // namespace bootdisk
