// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WizardPresenter.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "app/LicenseText.h"
#include "app/Options.h"
#include "app/SavedOptions.h"
#include "optical/ImageRecorder.h"
#include "platform/Host.h"
#include "platform/HostDrives.h"
#include "platform/Resources.h"

namespace bootdisk {

namespace {

bool IsRowControl(TRole role) { return role == TRole::EditNrDisks || role == TRole::ComboBox; }

// The drive a row of this kind writes; none for the files.
std::optional<TDriveWrite> DriveWriteOf(const TMediaKind& kind) {
    switch (kind.type) {
        case TMediaType::Floppy: return TDriveWrite::Floppy;
        case TMediaType::Removable: return TDriveWrite::Removable;
        case TMediaType::Optical:
            if (!dynamic_cast<TimageRecorder*>(kind.device)) return TDriveWrite::Disc;
            break;
        case TMediaType::FloppyImage:
        case TMediaType::NetbootFolder: break;
    }
    return std::nullopt;
}

// Fills the one "%s" of a text.
std::string Filled(std::string text, const std::string& value) {
    if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, value);
    return text;
}

}  // namespace

std::vector<std::string> WithMnemonics(const std::vector<std::string>& captions) {
    std::string taken;
    std::vector<std::string> marked;
    for (const auto& caption : captions) {
        std::string text;
        bool placed = false;
        for (const char c : caption) {
            const char key = char(std::tolower(static_cast<unsigned char>(c)));
            // ASCII only: a byte of a UTF-8 sequence never takes the mark, whatever the locale.
            const bool letter = static_cast<unsigned char>(c) < 0x80 && std::isalnum(static_cast<unsigned char>(c));
            if (!placed && letter && taken.find(key) == std::string::npos) {
                text += '&';
                taken += key;
                placed = true;
            }
            text += c;
            if (c == '&') text += '&';
        }
        marked.push_back(text);
    }
    return marked;
}

TWizardPresenter::TWizardPresenter(TWizardPorts ports, IWizardView& view)
    : ports_(std::move(ports)), view_(view), texts_(ports_.app.texts), wizard_(texts_, list_, kinds_) {
    LoadOptions(ports_.settings, texts_[StrId::GUI_CONFIGKEY], options_);
    const auto version = ports_.host.Version();
    osChoices_ = OsChoices(version, texts_[StrId::GUI_MSDOS], texts_[StrId::GUI_RXDOS]);
    cdOffersOs_ = bootdisk::CdOffersOsChoice(version);
}

void TWizardPresenter::Activate() {
    if (activated_) return;
    activated_ = true;
    kinds_ = ports_.media.Kinds();
    wizard_.FirstActivation();
    list_.Row(0).kind = DefaultKind();
    view_.ShowKinds(kinds_);
    ShowRows();
    ShowNotice();
    ShowWizard();
    view_.SetFocus(FirstFocus());
    if (const auto notice = ports_.media.UnopenedNotice(texts_); !notice.empty()) ports_.dialogs.ShowCoolMessage(notice);
}

// Without a floppy drive a floppy row could only fail at Create: the first removable drive, else
// the image recorder, is what a new row offers first.
std::size_t TWizardPresenter::DefaultKind() const {
    if (ports_.media.HasFloppyDrive() || kinds_.empty()) return 0;
    for (std::size_t i = 0; i < kinds_.size(); ++i)
        if (kinds_[i].type == TMediaType::Removable && !kinds_[i].gone) return i;
    return kinds_.size() - 1;
}

// A key keeps its meaning from page to page: the letters are given to every caption the footer and
// the finish page ever show, Create's too, so that the letter of Close never means Create.
std::vector<std::string> TWizardPresenter::FooterCaptions() const {
    auto marked = WithMnemonics({texts_[StrId::GUI_NEXT], texts_[StrId::GUI_BACK], texts_[StrId::GUI_CLOSE],
                                 texts_[StrId::GUI_CREATE], texts_[StrId::GUI_TEXT2PAGE8], texts_[StrId::GUI_TEXT3PAGE8]});
    if (wizard_.NextButton().caption == texts_[StrId::GUI_CREATE]) marked[0] = marked[3];
    marked.erase(marked.begin() + 3);
    return marked;
}

std::string TWizardPresenter::MoreDisksCaption() const { return FooterCaptions()[3]; }
std::string TWizardPresenter::ExitCaption() const { return FooterCaptions()[4]; }

void TWizardPresenter::ShowWizard() {
    view_.ShowPage(wizard_.Page());
    const auto captions = FooterCaptions();
    view_.ShowButton(TRole::BtnNext, {captions[0], wizard_.NextButton().enabled});
    view_.ShowButton(TRole::BtnBack, {captions[1], wizard_.BackButton().enabled});
    view_.ShowButton(TRole::BtnClose, {captions[2], wizard_.CloseButton().enabled});
    view_.SetEnabled(TRole::BtnHelp, wizard_.HelpEnabled());
    view_.ShowBootPanels(wizard_.CdBootPanel(), wizard_.FloppyBootPanel());
    ShowListButtons();
}

void TWizardPresenter::ShowListButtons() {
    const auto wanted = list_.Buttons();
    view_.SetEnabled(TRole::BtnAdd, wanted.add);
    view_.SetEnabled(TRole::BtnRemove, wanted.remove);
    view_.SetEnabled(TRole::BtnClear, wanted.clear);
    if (wizard_.Page() != TPage::CreateOptions) return;
    wizard_.OnTimer(RowsRefusal().empty());
    view_.ShowButton(TRole::BtnNext, {FooterCaptions()[0], wizard_.NextButton().enabled});
}

void TWizardPresenter::ShowRows() { view_.ShowRows(list_.Rows(), list_.Selected()); }

std::string TWizardPresenter::RowsRefusal() const {
    const auto any = [this](const std::function<bool(const TMediaKind&)>& test) {
        return std::any_of(list_.Rows().begin(), list_.Rows().end(), [&](const TCreateListRow& row) {
            return row.kind < kinds_.size() && test(kinds_[row.kind]);
        });
    };
    if (!ports_.media.HasFloppyDrive() && any([](const TMediaKind& kind) { return kind.type == TMediaType::Floppy; }))
        return texts_[StrId::GUI_NOFLOPPYDRIVE];
    // A drive the program has no rights to write is refused here, as the command line refuses it,
    // not after its prompt has been answered; files are made all the same.
    const auto lacksRights = [this](const TMediaKind& kind) {
        const auto write = DriveWriteOf(kind);
        return write && ports_.media.WritesNeedAdministrator(*write);
    };
    if (any(lacksRights)) return texts_[DriveRightsText(TFrontEnd::Wizard)];
    return {};
}

// A row that cannot be made disables Next, a full list Add: the notice says why, the first above
// all, as it holds up the whole list, then above what the drives need.
void TWizardPresenter::ShowNotice() {
    if (const auto refusal = RowsRefusal(); !refusal.empty()) return view_.ShowDrivesNotice(refusal);
    const auto& drives = ports_.media.DrivesNotice();
    if (list_.Buttons().add) return view_.ShowDrivesNotice(drives);
    const auto full = WithValues(texts_[StrId::GUI_LISTFULL], {std::to_string(TCreationList::kMaxRows)});
    view_.ShowDrivesNotice(drives.empty() ? full : full + "\r" + drives);
}

TControlRef TWizardPresenter::FirstFocus() const {
    switch (wizard_.Page()) {
        case TPage::CreateOptions:
            return {wizard_.NextButton().enabled ? TRole::BtnNext : TRole::BtnAdd};
        case TPage::ProgramOptions:
            return {TRole::ChkOptions};
        case TPage::PageStart:
            // Return runs Create: the focus shows it.
            return {TRole::BtnNext};
        case TPage::Progress:
            return {};
        case TPage::Finish:
            return {exitChosen_ ? TRole::ChkExit : TRole::ChkMoreDisks};
    }
    return {};
}

bool TWizardPresenter::Usable(TControlRef control) const {
    const auto page = wizard_.Page();
    switch (control.role) {
        case TRole::None: return false;
        case TRole::BtnNext: return wizard_.NextButton().enabled;
        case TRole::BtnBack: return wizard_.BackButton().enabled;
        case TRole::BtnClose: return wizard_.CloseButton().enabled;
        case TRole::BtnHelp: return wizard_.HelpEnabled();
        case TRole::BtnAdd: return page == TPage::CreateOptions && list_.Buttons().add;
        case TRole::BtnRemove: return page == TPage::CreateOptions && list_.Buttons().remove;
        case TRole::BtnClear: return page == TPage::CreateOptions && list_.Buttons().clear;
        case TRole::EditNrDisks:
        case TRole::ComboBox: return page == TPage::CreateOptions && control.row < list_.Rows().size();
        case TRole::ChkOptions:
        case TRole::CommandLine:
        case TRole::HyperLink1: return page == TPage::ProgramOptions;
        case TRole::ComboBoxCdOS: return page == TPage::ProgramOptions && wizard_.CdBootPanel() && cdOffersOs_;
        case TRole::ComboBoxOS: return page == TPage::ProgramOptions && wizard_.FloppyBootPanel();
        case TRole::HyperLink2: return page == TPage::PageStart;
        case TRole::HyperLink4:
        case TRole::ChkMoreDisks:
        case TRole::ChkExit: return page == TPage::Finish;
    }
    return false;
}

void TWizardPresenter::KeepFocusUsable() {
    // The focus elsewhere (a box, the About box, another program) is left where it is.
    const auto focus = view_.Focus();
    if (focus.role == TRole::None || Usable(focus)) return;
    if (const auto first = FirstFocus(); first.role != TRole::None) view_.SetFocus(first);
}

void TWizardPresenter::Click(TRole control) {
    switch (control) {
        case TRole::BtnNext: Next(); break;
        case TRole::BtnBack: Back(); break;
        case TRole::BtnClose:
            if (CloseRequested()) view_.CloseWindow();
            break;
        case TRole::BtnHelp:
            if (wizard_.HelpEnabled()) view_.PopUpHelpMenu();
            break;
        case TRole::BtnAdd: Add(); break;
        case TRole::BtnRemove: Remove(); break;
        case TRole::BtnClear: Clear(); break;
        case TRole::HyperLink1: OpenHelp({THelpTarget::TKind::Keyword, "Commandlineparameters"}); break;
        case TRole::HyperLink2:
        case TRole::HyperLink4: OpenHelp({THelpTarget::TKind::Keyword, "RunningQuellmark"}); break;
        default: break;
    }
}

void TWizardPresenter::Key(TWindowKey key) {
    switch (key) {
        case TWindowKey::F1:
            if (wizard_.HelpEnabled()) OpenHelp({THelpTarget::TKind::Keyword, wizard_.HelpKeyword()});
            break;
        case TWindowKey::Escape:
            // Escape out of habit would lose the list the user made: closing is asked first.
            if (wizard_.Page() <= TPage::PageStart && !list_.Rows().empty() &&
                !Confirm(texts_[StrId::GUI_CLOSECONFIRMATION]))
                break;
            Click(TRole::BtnClose);
            break;
        case TWindowKey::Delete:
            // Delete takes the row whose kind list has the focus.
            if (const auto focus = view_.Focus(); focus.role == TRole::ComboBox && Usable(focus)) {
                Select(focus.row);
                Remove();
            }
            break;
        case TWindowKey::Return: {
            // A focused button or link takes Return itself; anywhere else it is Next.
            const auto focus = view_.Focus().role;
            const bool pressable = focus == TRole::BtnBack || focus == TRole::BtnClose || focus == TRole::BtnHelp ||
                                   focus == TRole::BtnAdd || focus == TRole::BtnRemove || focus == TRole::BtnClear ||
                                   focus == TRole::HyperLink1 || focus == TRole::HyperLink2 ||
                                   focus == TRole::HyperLink4;
            if (pressable) Click(focus);
            else if (wizard_.NextButton().enabled) Click(TRole::BtnNext);
            break;
        }
    }
}

void TWizardPresenter::Next() {
    if (!wizard_.NextButton().enabled) return;
    if (wizard_.Page() == TPage::CreateOptions)
        for (std::size_t i = 0; i < list_.Rows().size(); ++i) QuantityEdited(i);
    wizard_.parameters = parameters_;
    wizard_.exitChosen = exitChosen_;
    const auto page = wizard_.Page();
    const auto action = wizard_.Next();
    // The ready page says the options have been saved: so they are.
    if (page == TPage::ProgramOptions && wizard_.Page() == TPage::PageStart) SaveOptionStates();
    ShowWizard();
    if (wizard_.Page() != page) view_.SetFocus(FirstFocus());
    switch (action) {
        case TNextAction::RunCreation: RunCreation(); break;
        case TNextAction::CloseWindow: view_.CloseWindow(); break;
        case TNextAction::RefuseParameters: {
            // The refused part is shown where it is: the character, or what goes past the line.
            const auto& refused = wizard_.CheckedParameters();
            ports_.dialogs.ShowCoolMessage(ParametersRefusalText(texts_, refused));
            view_.SetFocus({TRole::CommandLine});
            if (refused.refusal == TBatchParameters::Refusal::TooLong)
                view_.SelectParameters(kMaxParameters, refused.length - kMaxParameters);
            else
                view_.SelectParameters(refused.position - 1, 1);
            break;
        }
        case TNextAction::None: break;
    }
}

void TWizardPresenter::Back() {
    const auto page = wizard_.Page();
    wizard_.Back();
    ShowWizard();
    if (wizard_.Page() != page) view_.SetFocus(FirstFocus());
}

void TWizardPresenter::Add() {
    if (!list_.Add()) {
        view_.Beep();
        return;
    }
    const auto last = list_.Rows().size() - 1;
    list_.Row(last).kind = DefaultKind();
    // The row just made is the one Remove takes next.
    list_.Select(last);
    ShowRows();
    view_.ScrollIntoView(last);
    ShowListButtons();
    ShowNotice();
    // The list is full and Add disabled: the focus goes on to the row it made.
    if (!list_.Buttons().add) view_.SetFocus({TRole::ComboBox, last});
}

void TWizardPresenter::Remove() {
    const auto selected = list_.Selected();
    if (!selected) return;
    list_.Remove();
    ShowRows();
    ShowListButtons();
    ShowNotice();
    // The focus goes to the row that took the removed one's place, never on to Clear.
    if (list_.Rows().empty()) view_.SetFocus({TRole::BtnAdd});
    else view_.SetFocus({TRole::ComboBox, std::min(*selected, list_.Rows().size() - 1)});
}

bool TWizardPresenter::Confirm(const std::string& question) {
    return ports_.dialogs.AskTwoChoices(question, texts_[StrId::GENERIC_YES], texts_[StrId::GENERIC_NO],
                                        TDefaultChoice::Right) == kAnswerLeft;
}

// The whole list goes with one key: it is asked first.
void TWizardPresenter::Clear() {
    if (list_.Rows().empty() || !Confirm(texts_[StrId::GUI_CLEARCONFIRMATION])) return;
    list_.Clear();
    ShowRows();
    ShowListButtons();
    ShowNotice();
    view_.SetFocus({TRole::BtnAdd});
}

void TWizardPresenter::Select(std::size_t row) {
    if (list_.Selected() == row || row >= list_.Rows().size()) return;
    list_.Select(row);
    view_.ShowSelection(list_.Selected());
    ShowListButtons();
}

void TWizardPresenter::QuantityTyped(std::size_t row, const std::string& text) {
    if (row >= list_.Rows().size()) return;
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), [](char c) { return c >= '0' && c <= '9'; });
    // The model follows every keystroke; the cell is tidied only when editing ends, so clearing it
    // to type another number does not put a "1" in the way. A letter is refused as it is typed.
    list_.Row(row).quantity = digits;
    if (digits != text) {
        view_.Beep();
        view_.ShowQuantity(row, digits);
    }
}

void TWizardPresenter::QuantityEdited(std::size_t row) {
    if (row >= list_.Rows().size()) return;
    auto& quantity = list_.Row(row).quantity;
    quantity = TidyQuantity(quantity);
    view_.ShowQuantity(row, quantity);
}

void TWizardPresenter::Step(std::size_t row, int delta) {
    if (row >= list_.Rows().size()) return;
    auto& quantity = list_.Row(row).quantity;
    quantity = delta > 0 ? QuantityUp(quantity) : QuantityDown(quantity);
    view_.ShowQuantity(row, quantity);
}

void TWizardPresenter::KindChosen(std::size_t row, std::size_t kind) {
    if (row >= list_.Rows().size() || kind >= kinds_.size()) return;
    if (!KindOffered(kinds_[kind], list_.Rows()[row].kind == kind)) {
        ShowRows();
        return;
    }
    list_.Row(row).kind = kind;
    Select(row);
    ShowListButtons();
    ShowNotice();
}

void TWizardPresenter::RowPressed(std::size_t row) { Select(row); }

// A row tabbed into is scrolled into sight. It is not selected: the focus passes rows on its way to
// Remove, which takes the row the user chose (Delete takes the focused one).
void TWizardPresenter::FocusChanged(TControlRef focus) {
    if (!IsRowControl(focus.role) || focus.row >= list_.Rows().size()) return;
    view_.ScrollIntoView(focus.row);
}

void TWizardPresenter::OptionToggled(std::size_t option, bool checked) {
    if (option < options_.size()) options_[option] = checked;
}

void TWizardPresenter::OsChosen(TRole list, std::size_t index) {
    if (index >= osChoices_.size()) return;
    (list == TRole::ComboBoxCdOS ? cdOs_ : floppyOs_) = index;
}

bool TWizardPresenter::UsesMsDos(std::size_t choice) const {
    return choice < osChoices_.size() && osChoices_[choice] == texts_[StrId::GUI_MSDOS];
}

void TWizardPresenter::RunCreation() {
    running_ = true;
    view_.ShowGauge(0);
    view_.ShowCopy({});
    view_.Repaint();
    ports_.dialogs.ProcessMessages();
    TCreationDriver driver(ports_.dialogs, texts_);
    driver.onGauge = [this](int value) { view_.ShowGauge(value); };
    driver.onCopy = [this](const std::string& text) { view_.ShowCopy(text); };
    driver.onPrompt = [this](const std::string& text) { CallUser(text); };
    const TCreationSettings settings{options_, wizard_.CheckedParameters().text, UsesMsDos(floppyOs_),
                                     cdOffersOs_ && UsesMsDos(cdOs_)};
    driver_ = &driver;
    TMediaRecorder recorder(ports_.recordPath, ports_.app, settings, ports_.host);
    std::string recordFailure;
    bool recorded = false;
    const auto record = [&](TMediaRecord medium) {
        if (ports_.recordPath.empty()) return;
        auto failure = recorder.Add(medium);
        if (failure.empty()) recorded = true;
        else recordFailure = std::move(failure);
    };
    const auto outcome =
        ports_.media.Run(driver, list_.Rows(), TJobEnv{ports_.app, ports_.dialogs, ports_.host}, settings, record);
    driver_ = nullptr;
    running_ = false;
    wizard_.CreationFinished(outcome, driver.DoneCopies(), driver.TotalCopies());
    view_.ShowFinishTitle(wizard_.FinishTitle());
    // A run that ended early says first what it left of the medium in hand.
    auto made = MadeList(texts_, driver.Made());
    if (const auto left = outcome == TRunOutcome::Completed ? std::string() : driver.MediumLeft(); !left.empty())
        made = made.empty() ? left : left + "\r" + made;
    if (!recordFailure.empty()) made.append("\r").append(WithValues(texts_[StrId::GUI_RECORDFAILED], {recordFailure}));
    else if (recorded) made.append("\r").append(WithValues(texts_[StrId::GUI_FINISH_RECORD], {ports_.recordPath}));
    view_.ShowMade(made);
    ShowWizard();
    view_.SetFocus(FirstFocus());
    CallUser(wizard_.FinishTitle());
}

// The user at the window sees the box or the page already.
void TWizardPresenter::CallUser(const std::string& text) {
    if (!view_.Active()) view_.Attention(text);
}

void TWizardPresenter::Tick() {
    if (wizard_.Page() != TPage::CreateOptions || running_) return;
    ShowListButtons();
    KeepFocusUsable();
    // Drives are plugged in and taken away while the list is shown; the system's word on it comes
    // through DrivesChanged where there is one, and this catches what it misses.
    if (--ticksToDriveScan_ <= 0) FollowDrives();
}

void TWizardPresenter::DrivesChanged() {
    if (!running_) FollowDrives();
}

void TWizardPresenter::FollowDrives() {
    ticksToDriveScan_ = kTicksPerDriveScan;
    const bool changed = ports_.media.FollowRemovableDrives(texts_, list_);
    ShowNotice();
    if (!changed) return;
    kinds_ = ports_.media.Kinds();
    view_.ShowKinds(kinds_);
    ShowRows();
}

bool TWizardPresenter::CloseRequested() {
    if (!running_) return true;
    // A half-written medium is worse than a question: the run stops only when the user says so,
    // and Return alone goes on with it.
    if (ports_.dialogs.AskTwoChoices(texts_[StrId::GUI_TEXTSTOPCONFIRMATION], texts_[StrId::GENERIC_YES],
                                     texts_[StrId::GENERIC_NO], TDefaultChoice::Right) != kAnswerLeft)
        return false;
    // The window goes with the program: its last box says what the medium in hand is left as.
    if (const auto left = driver_ ? driver_->MediumLeft() : std::string(); !left.empty())
        ports_.dialogs.ShowCoolMessage(left);
    Closed();
    if (ports_.endRun) ports_.endRun();
    return false;
}

void TWizardPresenter::Closed() { SaveOptionStates(); }

void TWizardPresenter::SaveOptionStates() {
    // A store that cannot be written keeps whatever it held; nothing else depends on it.
    SaveOptions(ports_.settings, texts_[StrId::GUI_CONFIGKEY], options_);
}

std::vector<THelpMenuEntry> TWizardPresenter::HelpMenuEntries() const {
    using TItem = THelpMenuEntry::TItem;
    return {{texts_.PopupHelp(1), TItem::Contents}, {texts_.PopupHelp(2), TItem::PageHelp},
            {texts_.PopupHelp(3), TItem::Faq},      {{}, TItem::Separator},
            {texts_.PopupHelp(5), TItem::Support},  {{}, TItem::Separator},
            {texts_.PopupHelp(7), TItem::About},    {texts_.PopupHelp(8), TItem::Web}};
}

void TWizardPresenter::HelpMenu(THelpMenuEntry::TItem item) {
    using TItem = THelpMenuEntry::TItem;
    switch (item) {
        case TItem::Separator: break;
        case TItem::Contents: OpenHelp({THelpTarget::TKind::Contents, {}}); break;
        case TItem::PageHelp: OpenHelp({THelpTarget::TKind::Keyword, wizard_.HelpKeyword()}); break;
        case TItem::Faq: OpenHelp({THelpTarget::TKind::Keyword, "FAQ"}); break;
        case TItem::Support: AboutSupport(); break;
        case TItem::About: view_.ShowAbout(AboutTexts()); break;
        case TItem::Web: OpenHelp({THelpTarget::TKind::File, "info.url"}); break;
    }
}

void TWizardPresenter::AboutSupport() { OpenHelp({THelpTarget::TKind::Keyword, "ContactingHalvexLabs"}); }
void TWizardPresenter::AboutLicense() { OpenLicense(kLicenseFile, texts_[StrId::ABOUT_VIEW_LICENSE]); }

void TWizardPresenter::AboutFreeSoftware() { OpenLicense(kGplFile, texts_[StrId::ABOUT_GPL]); }

// A licence must be readable even where no program opens text files: the wizard shows it itself.
void TWizardPresenter::OpenLicense(const std::string& file, const std::string& title) {
    if (!view_.Open({THelpTarget::TKind::File, file})) return;
    const auto path = DataFilePath(file);
    if (const auto text = ReadViewerText(path))
        view_.ShowText(title, *text);
    else
        ports_.dialogs.ShowCoolMessage(texts_[StrId::GUI_CANNOTOPEN] + path);
}

// Help that nothing on the desktop opens, the wizard shows itself, as it does the licences.
void TWizardPresenter::OpenHelp(const THelpTarget& target) {
    const auto failed = view_.Open(target);
    if (!failed || (target.kind != THelpTarget::TKind::File && view_.ShowTopic(target))) return;
    ports_.dialogs.ShowCoolMessage(texts_[StrId::GUI_CANNOTOPEN] + *failed);
}

TAboutTexts TWizardPresenter::AboutTexts() const {
    const auto version = ProgramVersion();
    const auto buttons = WithMnemonics({texts_[StrId::GENERIC_OK], texts_[StrId::ABOUT_SUPPORT],
                                        texts_[StrId::ABOUT_VIEW_LICENSE]});
    return {texts_[StrId::ABOUT_HEADER],
            texts_[StrId::PRODUCTTXT],
            Filled(texts_[StrId::VERSIONTXT], version.version),
            Filled(texts_[StrId::ABOUT_BUILD], version.build),
            texts_[StrId::ABOUT_COPYRIGHT],
            texts_[StrId::ABOUT_LEGAL_NOTICE],
            texts_[StrId::ABOUT_FREE_SOFTWARE],
            buttons[0],
            buttons[1],
            buttons[2]};
}

}  // namespace bootdisk
