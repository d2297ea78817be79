// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk create`: a whole creation list from the command line, rows in order, copy by copy.
#include <stdexcept>

#include "app/CreationHandlers.h"
#include "app/NetbootJob.h"
#include "app/RowSpec.h"
#include "cli/Commands.h"
#include "cli/DriveTargets.h"
#include "cli/Output.h"
#include "cli/ProgressLine.h"
#include "cli/Session.h"
#include "optical/ImageRecorder.h"
#include "optical/Optical_devices.h"
#include "platform/Host.h"

namespace bootdisk::cli {
namespace {

// The terminal's dialogs, except that the save dialog of one file row answers with that row's
// name for the copy in hand.
class TFileRowDialogs : public TDialogsRelay {
public:
    TFileRowDialogs(IDialogs& terminal, std::function<std::string()> name)
        : TDialogsRelay(terminal), name_(std::move(name)) {}
    std::optional<std::string> AskSaveFile(const TSaveFileRequest& request) override {
        return WithDefaultExtension(name_(), request.defaultExtension);
    }

private:
    std::function<std::string()> name_;
};

// Reports each copy's outcome on its own line, so a batch run shows which copies were made.
class TReportingHandlers : public ICreationHandlers {
public:
    TReportingHandlers(ICreationHandlers& inner, TProgressLine& line, const TArguments& args)
        : inner_(inner), line_(line), args_(args) {}
    bool CreateFloppy(TCreationDriver& driver) override {
        return Tell(driver, "floppy", inner_.CreateFloppy(driver));
    }
    bool CreateCdDvd(TOpticalDevice& device, TCreationDriver& driver) override {
        const bool made = inner_.CreateCdDvd(device, driver);
        const auto* recorder = dynamic_cast<TimageRecorder*>(&device);
        return Tell(driver, recorder ? recorder->Destination() : device.DisplayName, made);
    }
    bool CreateRemovable(const TRemovableDrive& drive, TCreationDriver& driver) override {
        return Tell(driver, drive.device, inner_.CreateRemovable(drive, driver));
    }
    bool CreateFloppyImage(TCreationDriver& driver) override {
        const bool made = inner_.CreateFloppyImage(driver);
        return Tell(driver, made ? inner_.OutputFile({{}, TMediaType::FloppyImage, nullptr, {}}) : "floppy image", made);
    }
    bool CreateNetbootFolder(TCreationDriver& driver) override {
        const bool made = inner_.CreateNetbootFolder(driver);
        return Tell(driver, made ? inner_.OutputFile({{}, TMediaType::NetbootFolder, nullptr, {}}) : "network boot folder",
                    made);
    }
    std::string MissingDrive(const TMediaKind& kind) const override { return inner_.MissingDrive(kind); }

private:
    bool Tell(const TCreationDriver& driver, const std::string& what, bool made) {
        line_.End();
        Report(args_, "copy " + std::to_string(driver.DoneCopies() + 1) + " of " + std::to_string(driver.TotalCopies()) +
                          ", " + what + ": " + (made ? "made" : "failed"));
        return made;
    }
    ICreationHandlers& inner_;
    TProgressLine& line_;
    const TArguments& args_;
};

// An img or net row: its first copy in the run, and the file (or folder) its first copy goes to.
struct TImageRow {
    int firstCopy = 0;
    int copies = 0;
    std::string path;
};

// Everything the rows' kinds refer to, alive for the whole run.
struct TRowMedia {
    std::vector<TImageRow> images;
    std::vector<TMediaKind> kinds;
    std::vector<std::unique_ptr<TOpticalDevice>> writers;
    std::vector<std::unique_ptr<TFileRowDialogs>> fileDialogs;
    std::vector<std::unique_ptr<TimageRecorder>> recorders;
    std::optional<TFloppyDrive> floppy;
};

// Opens every row's target before anything is made, so a mistyped row costs no media. Throws
// std::runtime_error saying which target cannot be used.
TRowMedia OpenRows(const std::vector<TRowSpec>& rows, TSession& session, IHostRawDevices& table,
                   const TArguments& args, const TCreationDriver& driver) {
    const auto& texts = session.app.texts;
    TRowMedia media;
    int copiesBefore = 0;
    for (const auto& row : rows) {
        switch (row.kind) {
            case TRowKind::Floppy: {
                const auto device = row.target.value_or(DefaultFloppyDevice());
                if (!media.floppy)
                    media.floppy = FloppyTarget(device, session, table, args);
                else if (device != media.floppy->device)
                    throw std::invalid_argument("one run has one floppy drive: " + media.floppy->device + " or " + device);
                media.kinds.push_back({"floppy " + device, TMediaType::Floppy, nullptr, {}});
                break;
            }
            case TRowKind::Usb:
                media.kinds.push_back(RemovableTarget(*row.target, session, table, args));
                break;
            case TRowKind::Cd: {
                RefuseWithoutRights(texts, TDriveWrite::Disc, *row.target);
                auto writer = OpenDevice(*row.target, false).device;
                if (!writer->IsWriter()) throw ERefusedTarget(*row.target + " is not a CD/DVD writer");
                media.kinds.push_back({writer->DisplayName, TMediaType::Optical, writer.get(), {}});
                media.writers.push_back(std::move(writer));
                break;
            }
            case TRowKind::Iso: {
                const int first = copiesBefore;
                auto dialogs = std::make_unique<TFileRowDialogs>(*session.dialogs, [&driver, first, path = *row.target] {
                    return CopyFileName(path, driver.DoneCopies() - first + 1);
                });
                auto recorder = std::make_unique<TimageRecorder>(*dialogs, texts);
                media.kinds.push_back({recorder->DisplayName, TMediaType::Optical, recorder.get(), {}});
                media.fileDialogs.push_back(std::move(dialogs));
                media.recorders.push_back(std::move(recorder));
                break;
            }
            case TRowKind::Img:
            case TRowKind::Net: {
                const bool image = row.kind == TRowKind::Img;
                media.images.push_back({copiesBefore, std::max(0, QuantityOf(row.quantity)), *row.target});
                media.kinds.push_back({texts[image ? StrId::GUI_TEXTFLOPPYIMAGE : StrId::GUI_TEXTNETBOOTFOLDER],
                                       image ? TMediaType::FloppyImage : TMediaType::NetbootFolder, nullptr, {}});
                break;
            }
        }
        copiesBefore += std::max(0, QuantityOf(row.quantity));
    }
    return media;
}

}  // namespace

TExitCode RunCreate(const TArguments& args) {
    if (args.positional.empty()) throw std::invalid_argument("create takes at least one row, e.g. 2:iso=boot.iso");
    std::vector<TRowSpec> specs;
    for (const auto& text : args.positional) specs.push_back(ParseRowSpec(text));
    CheckRowTargets(specs);
    // A folder that takes no file is found before a disc is recorded or a stick written.
    for (std::size_t row = 0; row < specs.size(); ++row)
        for (const auto& name : RowFileNames(specs[row])) {
            const auto lead = "row " + std::to_string(row + 1) + " (" + args.positional[row] + "): ";
            if (!(specs[row].kind == TRowKind::Net ? NetbootFolderAllowed(args.command, name, lead)
                                                   : OutputFileCreatable(args.command, name, lead)))
                return TExitCode::Failed;
        }

    auto session = StartSession(args, {args.msDosFolder, std::nullopt, args.yes});
    if (!session) return TExitCode::Failed;
    const bool netRows = std::any_of(specs.begin(), specs.end(), [](const TRowSpec& s) { return s.kind == TRowKind::Net; });
    if (const auto problems = netRows ? LoaderProblems(session->app.texts, args.loaders.value_or("")) : "";
        !problems.empty()) {
        session->dialogs->ShowCoolMessage(problems);
        return TExitCode::Failed;
    }
    auto table = CreateHostRawDevices();
    TCreationDriver driver(*session->dialogs, session->app.texts);
    std::unique_ptr<TRowMedia> media;
    try {
        media = std::make_unique<TRowMedia>(OpenRows(specs, *session, *table, args, driver));
    } catch (const ERefusedTarget& refusal) {
        PrintError(args.command, refusal.what());
        return refusal.code;
    } catch (const std::runtime_error& error) {  // a writer that cannot be opened
        PrintError(args.command, error.what());
        return TExitCode::Refused;
    }
    std::vector<TCreateListRow> rows;
    for (std::size_t i = 0; i < specs.size(); ++i) rows.push_back({specs[i].quantity, i});

    // The save dialog of a floppy image or network boot folder is answered with its row's name for
    // the copy in hand.
    TFileRowDialogs imageDialogs(*session->dialogs, [&] {
        const int copy = driver.DoneCopies();
        for (const auto& image : media->images)
            if (copy >= image.firstCopy && copy < image.firstCopy + image.copies)
                return CopyFileName(image.path, copy - image.firstCopy + 1);
        return std::string();
    });
    TJobEnv env{session->app, imageDialogs, RealHost()};
    TCreationHandlers handlers(env, SettingsOf(args),
                               HostDiskAccess(*table), media->floppy);
    TProgressLine line("Creating", args.quiet);
    TReportingHandlers reporting(handlers, line, args);
    // Nobody can answer a retry prompt in an unattended run: a failed copy ends it.
    driver.stopOnFailure = args.yes || !StdinIsTerminal();
    driver.onGauge = [&](int percent) { line.ShowPercent(percent); };
    const auto outcome = driver.RunCreation(rows, media->kinds, reporting);
    line.End();
    Report(args, std::to_string(driver.DoneCopies()) + " of " + std::to_string(driver.TotalCopies()) + " copies made.");
    if (outcome == TRunOutcome::Stopped) PrintError(args.command, "stopped before every copy was made");
    if (outcome == TRunOutcome::Failed) PrintError(args.command, "a copy failed; the run ends there");
    ReportMediumLeft(args.command, driver, outcome);
    return ExitCodeOf(outcome, handlers.LastFailure());
}

}  // namespace bootdisk::cli
