// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Gui.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/CreationHandlers.h"
#include "app/Interruption.h"
#include "app/Options.h"
#include "app/SavedOptions.h"
#include "gui/About.h"
#include "gui/GuiDialogs.h"
#include "gui/ListFrame.h"
#include "gui/QtText.h"
#include "gui/Skin.h"

namespace bootdisk {

namespace {

constexpr int kHeaderHeight = 58;
constexpr int kFooterHeight = 44;
constexpr int kPageHeight = TMainForm::kClientHeight - kHeaderHeight - kFooterHeight;
constexpr int kTicksPerDriveScan = 20;  // of the 50 ms timer: once a second

QLabel* MakeLabel(QWidget* parent, const char* name, const std::string& text, QRect geometry) {
    auto* label = new QLabel(Ui(text), parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setGeometry(Scaled(geometry));
    return label;
}

QLabel* MakeTitle(QWidget* parent, const char* name, const std::string& text, QRect geometry) {
    auto* label = MakeLabel(parent, name, text, geometry);
    label->setProperty("title", true);
    return label;
}

// A link that calls back instead of opening an address.
QLabel* MakeLink(QWidget* parent, const char* name, const std::string& text, std::function<void()> onClick) {
    auto* link = new QLabel("<a href=\"#\">" + Ui(text).toHtmlEscaped() + "</a>", parent);
    link->setObjectName(name);
    link->setTextFormat(Qt::RichText);
    link->setWordWrap(true);
    QObject::connect(link, &QLabel::linkActivated, parent, [onClick](const QString&) { onClick(); });
    return link;
}

// A picture alone says little to a screen reader or a new user: the hint names what it does.
QToolButton* MakeImageButton(QWidget* parent, const char* name, const char* picture, const std::string& hint,
                             QRect geometry) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(Ui(hint));
    button->setAccessibleName(Ui(hint));
    button->setIcon(SkinPicture(picture));
    button->setIconSize(Scaled(QSize(16, 16)));
    button->setGeometry(Scaled(geometry));
    button->setAutoRaise(true);
    return button;
}

template <class Button>
void SetEnabledWhenDifferent(Button* button, bool enabled) {
    if (button->isEnabled() != enabled) button->setEnabled(enabled);
}

}  // namespace

TMainForm::TMainForm(TAppContext& app, TGuiDialogs& dialogs, ISettingsStore& settings)
    : QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      app_(app), dialogs_(dialogs), settings_(settings), wizard_(app.texts, list_, kinds_) {
    const auto& texts = app_.texts;
    setObjectName("MainForm");
    setFixedSize(Scaled(QSize(kClientWidth, kClientHeight)));
    setWindowTitle(Ui(texts[StrId::PRODUCTTXT]));
    QApplication::setApplicationDisplayName(Ui(texts[StrId::PRODUCTTXT]));

    auto* header = new QLabel(this);
    header->setObjectName("Header");
    header->setPixmap(SkinPicture("header.png"));
    header->setScaledContents(true);
    header->setGeometry(Scaled(QRect(0, 0, kClientWidth, kHeaderHeight)));
    auto* headerTitle = MakeLabel(this, "HeaderTitle", texts[StrId::PRODUCTTXT], {20, 14, 400, 30});
    headerTitle->setWordWrap(false);

    Pages = new QStackedWidget(this);
    Pages->setObjectName("Pages");
    Pages->setGeometry(Scaled(QRect(0, kHeaderHeight, kClientWidth, kPageHeight)));
    Pages->addWidget(MakeCreateOptionsPage());
    Pages->addWidget(MakeProgramOptionsPage());
    Pages->addWidget(MakePageStartPage());
    Pages->addWidget(MakeProgressPage());
    Pages->addWidget(MakeFinishPage());
    MakeFooter();
    MakeHelpMenu();
    help_.onCannotOpen = [this](const QString& what) {
        dialogs_.ShowCoolMessage(app_.texts[StrId::GUI_CANNOTOPEN] + FromUi(what));
    };

    Timer1 = new QTimer(this);
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);

    LoadOptions(settings_, texts[StrId::GUI_CONFIGKEY], options_);
    for (std::size_t i = 0; i < kOptionCount; ++i)
        ChkOptions->item(int(i))->setCheckState(options_[i] ? Qt::Checked : Qt::Unchecked);
    PagesPageChanged();

    if (auto* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    dialogs_.SetMainWindow(this);
}

TMainForm::~TMainForm() {
    if (!SaveOptions(settings_, app_.texts[StrId::GUI_CONFIGKEY], options_))
        qWarning("The option states could not be saved");
}

QWidget* TMainForm::MakeCreateOptionsPage() {
    const auto& texts = app_.texts;
    auto* page = new QWidget;
    page->setObjectName("CreateOptions");
    MakeTitle(page, "LabelCreateTitle", texts[StrId::GUI_TEXT1PAGE3], {24, 10, 520, 22});
    MakeLabel(page, "LabelQuantity", texts[StrId::GUI_TEXTPAGE3QUANTITY], {26, 40, 65, 16});
    MakeLabel(page, "LabelDiskType", texts[StrId::GUI_TEXTPAGE3DISKTYPE], {96, 40, 300, 16});

    ScrollCreateList = new QScrollArea(page);
    ScrollCreateList->setObjectName("ScrollCreateList");
    ScrollCreateList->setGeometry(Scaled(QRect(24, 58, TCreateListFrame::kWidth + 20, 152)));
    ScrollCreateList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollCreateList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScrollCreateList->setWidgetResizable(true);
    auto* content = new QWidget;
    content->setObjectName("CreateListContent");
    rowsLayout_ = new QVBoxLayout(content);
    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->setSpacing(0);
    rowsLayout_->setAlignment(Qt::AlignTop);
    ScrollCreateList->setWidget(content);

    const int left = 24 + TCreateListFrame::kWidth + 28;
    BtnAdd = MakeImageButton(page, "BtnAdd", "add.png", texts[StrId::GUI_HINTADD], {left, 58, 28, 28});
    BtnRemove = MakeImageButton(page, "BtnRemove", "remove.png", texts[StrId::GUI_HINTREMOVE], {left, 92, 28, 28});
    BtnClear = MakeImageButton(page, "BtnClear", "clear.png", texts[StrId::GUI_HINTCLEAR], {left, 126, 28, 28});
    connect(BtnAdd, &QToolButton::clicked, this, &TMainForm::BtnAddClick);
    connect(BtnRemove, &QToolButton::clicked, this, &TMainForm::BtnRemoveClick);
    connect(BtnClear, &QToolButton::clicked, this, &TMainForm::BtnClearClick);
    LabelDrivesNotice = MakeLabel(page, "LabelDrivesNotice", {}, {24, 214, 524, 44});
    return page;
}

QWidget* TMainForm::MakeProgramOptionsPage() {
    const auto& texts = app_.texts;
    auto* page = new QWidget;
    page->setObjectName("ProgramOptions");
    MakeLabel(page, "LabelOptions", texts[StrId::GUI_TEXT2OPTIONS], {24, 8, 520, 18});
    ChkOptions = new QListWidget(page);
    ChkOptions->setObjectName("ChkOptions");
    ChkOptions->setGeometry(Scaled(QRect(24, 28, 524, 124)));
    for (const auto& option : kOptionInfo) {
        auto* item = new QListWidgetItem(QString::fromUtf8(option.label.data(), qsizetype(option.label.size())));
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
        ChkOptions->addItem(item);
    }
    connect(ChkOptions, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { options_.at(ChkOptions->row(item)) = item->checkState() == Qt::Checked; });

    auto* commandLabel = MakeLabel(page, "LabelCommandLine", texts[StrId::GUI_TEXT3OPTIONS], {24, 162, 200, 18});
    commandLabel->setWordWrap(false);
    commandLabel->adjustSize();
    auto* moreInfo = MakeLink(page, "HyperLink1", texts[StrId::GUI_MORE_INFO],
                              [this] { help_.OpenKeyword("Coomand_lineparameters"); });
    moreInfo->setWordWrap(false);
    moreInfo->adjustSize();
    moreInfo->move(commandLabel->geometry().right() + 1 + Scaled(5), Scaled(162));
    CommandLine = new QLineEdit(page);
    CommandLine->setObjectName("CommandLine");
    CommandLine->setGeometry(Scaled(QRect(24, 182, 226, 22)));

    MakeLabel(page, "LabelBootOs", texts[StrId::GUI_TEXT2BOOT], {266, 162, 282, 18});
    auto* panels = new QWidget(page);
    panels->setGeometry(Scaled(QRect(266, 182, 282, 60)));
    auto* panelsLayout = new QVBoxLayout(panels);
    panelsLayout->setContentsMargins(0, 0, 0, 0);
    panelsLayout->setSpacing(4);
    panelsLayout->setAlignment(Qt::AlignTop);

    const auto panel = [&](const char* name, const std::string& caption, QWidget* beside) {
        auto* frame = new QFrame(panels);
        frame->setObjectName(name);
        frame->setFixedHeight(Scaled(26));
        auto* label = MakeLabel(frame, "", caption, {6, 4, 200, 18});
        label->setWordWrap(false);
        label->adjustSize();
        beside->setParent(frame);
        beside->show();
        const int x = label->geometry().right() + 1 + Scaled(5);
        beside->setGeometry(x, Scaled(2), std::max(Scaled(60), Scaled(282 - 4) - x), Scaled(22));
        panelsLayout->addWidget(frame);
        return frame;
    };
    const auto osList = [&](const char* name) {
        auto* combo = new QComboBox;
        combo->setObjectName(name);
        for (const auto& os : OsChoices(RealHost().Version(), texts[StrId::GUI_MSDOS], texts[StrId::GUI_RXDOS]))
            combo->addItem(Ui(os));
        return combo;
    };
    QWidget* cdOs = nullptr;
    if (CdOffersOsChoice(RealHost().Version()))
        cdOs = ComboBoxCdOS = osList("ComboBoxCdOS");
    else
        cdOs = MakeLabel(nullptr, "LabelCdOs", texts[StrId::GUI_MSDOS], {});
    PanelCDBoot = panel("PanelCDBoot", texts[StrId::GUI_OPERATING_SYSTEM_CD], cdOs);
    ComboBoxOS = osList("ComboBoxOS");
    PanelFloppyBoot = panel("PanelFloppyBoot", texts[StrId::GUI_OPERATING_SYSTEM_FLOPPY], ComboBoxOS);
    return page;
}

QWidget* TMainForm::MakePageStartPage() {
    const auto& texts = app_.texts;
    auto* page = new QWidget;
    page->setObjectName("PageStart");
    MakeLabel(page, "LabelReady", texts[StrId::GUI_TEXT1PAGE6], {24, 14, 524, 130});
    MakeLink(page, "HyperLink2", texts[StrId::GUI_WHAT_SHOULD_I_DO], [this] { help_.OpenKeyword("RunningQuellmark"); })
        ->setGeometry(Scaled(QRect(24, 160, 524, 36)));
    return page;
}

QWidget* TMainForm::MakeProgressPage() {
    auto* page = new QWidget;
    page->setObjectName("Progress");
    MakeTitle(page, "LabelCreating", app_.texts[StrId::GUI_TEXT1PAGE7], {24, 40, 524, 22});
    // Below the prompts, which stand centred over the window, so the copy in hand stays in sight.
    LabelCopy = MakeLabel(page, "LabelCopy", {}, {24, 186, 524, 18});
    LabelCopy->setWordWrap(false);
    ProgressBar = new QProgressBar(page);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setGeometry(Scaled(QRect(24, 208, 524, 22)));
    return page;
}

QWidget* TMainForm::MakeFinishPage() {
    const auto& texts = app_.texts;
    auto* page = new QWidget;
    page->setObjectName("Finish");
    FinishTitle = MakeTitle(page, "LabelCongratulations", texts[StrId::GUI_TEXT1PAGE8], {24, 14, 524, 22});
    MakeLink(page, "HyperLink4", texts[StrId::GUI_WHAT_SHOULD_I_DO_NEXT],
             [this] { help_.OpenKeyword("RunningQuellmark"); })
        ->setGeometry(Scaled(QRect(24, 44, 524, 20)));
    ChkMoreDisks = new QRadioButton(Ui(texts[StrId::GUI_TEXT2PAGE8]), page);
    ChkMoreDisks->setObjectName("ChkMoreDisks");
    ChkMoreDisks->setGeometry(Scaled(QRect(24, 90, 524, 22)));
    ChkMoreDisks->setChecked(true);
    ChkExit = new QRadioButton(Ui(texts[StrId::GUI_TEXT3PAGE8]), page);
    ChkExit->setObjectName("ChkExit");
    ChkExit->setGeometry(Scaled(QRect(24, 116, 524, 22)));
    return page;
}

void TMainForm::MakeFooter() {
    auto* footer = new QFrame(this);
    footer->setObjectName("Footer");
    footer->setGeometry(Scaled(QRect(0, kClientHeight - kFooterHeight, kClientWidth, kFooterHeight)));
    BtnHelp = MakeImageButton(footer, "BtnHelp", "help.png", app_.texts[StrId::GUI_HINTHELP], {12, 9, 26, 26});
    const auto button = [footer](const char* name, int left) {
        auto* b = new QPushButton(footer);
        b->setObjectName(name);
        b->setGeometry(Scaled(QRect(left, 10, 84, 25)));
        return b;
    };
    BtnBack = button("BtnBack", 290);
    BtnNext = button("BtnNext", 380);
    BtnClose = button("BtnClose", 476);
    BtnNext->setDefault(true);
    connect(BtnBack, &QPushButton::clicked, this, &TMainForm::BtnBackClick);
    connect(BtnNext, &QPushButton::clicked, this, &TMainForm::BtnNextClick);
    connect(BtnClose, &QPushButton::clicked, this, &TMainForm::BtnCloseClick);
    connect(BtnHelp, &QToolButton::clicked, this, &TMainForm::BtnHelpClick);
}

void TMainForm::MakeHelpMenu() {
    const auto& texts = app_.texts;
    PopupHelp = new QMenu(this);
    PopupHelp->setObjectName("PopupHelp");
    PopupHelp->addAction(Ui(texts.PopupHelp(1)), this, [this] { help_.OpenContents(); });
    PopupHelp->addAction(Ui(texts.PopupHelp(2)), this, [this] { help_.OpenKeyword(wizard_.HelpKeyword()); });
    PopupHelp->addAction(Ui(texts.PopupHelp(3)), this, [this] { help_.OpenKeyword("FAQ"); });
    PopupHelp->addSeparator();
    PopupHelp->addAction(Ui(texts.PopupHelp(5)), this, [this] { help_.OpenKeyword("ContactingHalvexLabs"); });
    PopupHelp->addSeparator();
    PopupHelp->addAction(Ui(texts.PopupHelp(7)), this, [this] {
        TAboutForm about(app_.texts, help_, this);
        about.exec();
    });
    PopupHelp->addAction(Ui(texts.PopupHelp(8)), this, [this] { help_.OpenFile("info.url"); });
}

void TMainForm::BuildMediaKinds() {
    sources_.Build(app_.texts, dialogs_);
    kinds_ = sources_.Kinds();
}

void TMainForm::FollowRemovableDrives() {
    const bool changed = sources_.FollowRemovableDrives(app_.texts, list_);
    LabelDrivesNotice->setText(Ui(sources_.DrivesNotice()));
    if (!changed) return;
    kinds_ = sources_.Kinds();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        rows_[i]->SetKinds(kinds_);
        rows_[i]->SetKind(list_.Rows()[i].kind);
    }
}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!activated_) FormActivate();
}

void TMainForm::FormActivate() {
    activated_ = true;
    wizard_.FirstActivation();
    AddRowFrames();
    PagesPageChanged();
    LabelDrivesNotice->setText(Ui(sources_.DrivesNotice()));
    Timer1->start();
    if (const auto notice = sources_.UnopenedNotice(app_.texts); !notice.empty()) dialogs_.ShowCoolMessage(notice);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Closed by the system in the middle of a run (the window's close button, a logout): the run
    // ends as an interrupted one, leaving no half-written file.
    if (running_) EndInterruptedRun(kClosedMidRunStatus);
    QWidget::closeEvent(event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && wizard_.HelpEnabled()) help_.OpenKeyword(wizard_.HelpKeyword());
    else QWidget::keyPressEvent(event);
}

void TMainForm::PagesPageChanged() {
    Pages->setCurrentIndex(int(wizard_.Page()));
    BtnNext->setText(Ui(wizard_.NextButton().caption));
    BtnBack->setText(Ui(wizard_.BackButton().caption));
    BtnClose->setText(Ui(wizard_.CloseButton().caption));
    SetEnabledWhenDifferent(BtnNext, wizard_.NextButton().enabled);
    SetEnabledWhenDifferent(BtnBack, wizard_.BackButton().enabled);
    SetEnabledWhenDifferent(BtnClose, wizard_.CloseButton().enabled);
    SetEnabledWhenDifferent(BtnHelp, wizard_.HelpEnabled());
    PanelCDBoot->setVisible(wizard_.CdBootPanel());
    PanelFloppyBoot->setVisible(wizard_.FloppyBootPanel());
}

void TMainForm::BtnNextClick() {
    wizard_.parameters = CommandLine->text().toStdString();
    wizard_.exitChosen = ChkExit->isChecked();
    const auto action = wizard_.Next();
    PagesPageChanged();
    switch (action) {
        case TNextAction::RunCreation:
            RunCreation();
            break;
        case TNextAction::CloseWindow:
            close();
            break;
        case TNextAction::RefuseParameters:
            dialogs_.ShowCoolMessage(ParametersRefusalText(app_.texts, wizard_.CheckedParameters()));
            break;
        case TNextAction::None:
            break;
    }
}

void TMainForm::BtnBackClick() {
    wizard_.Back();
    PagesPageChanged();
}

void TMainForm::BtnCloseClick() { close(); }

void TMainForm::BtnHelpClick() { PopupHelp->popup(BtnHelp->mapToGlobal(QPoint(0, BtnHelp->height()))); }

bool TMainForm::UseMsDos(const QComboBox* list) const {
    return list && FromUi(list->currentText()) == app_.texts[StrId::GUI_MSDOS];
}

void TMainForm::RunCreation() {
    running_ = true;
    repaint();
    dialogs_.ProcessMessages();
    TCreationDriver driver(dialogs_, app_.texts);
    driver.onGauge = [this](int value) { ProgressBar->setValue(value); };
    driver.onCopy = [this](const std::string& text) { LabelCopy->setText(Ui(text)); };
    LabelCopy->clear();
    auto handlers = sources_.Handlers(TJobEnv{app_, dialogs_, RealHost()},
                                      TCreationSettings{options_, wizard_.CheckedParameters().text,
                                                        UseMsDos(ComboBoxOS), UseMsDos(ComboBoxCdOS)});
    const auto outcome = driver.RunCreation(list_.Rows(), kinds_, handlers);
    running_ = false;
    wizard_.CreationFinished(outcome, driver.DoneCopies(), driver.TotalCopies());
    FinishTitle->setText(Ui(wizard_.FinishTitle()));
    PagesPageChanged();
}

void TMainForm::AddRowFrames() {
    for (std::size_t i = rows_.size(); i < list_.Rows().size(); ++i) {
        auto* row = new TCreateListFrame(kinds_, ScrollCreateList->widget());
        row->SetQuantity(list_.Rows()[i].quantity);
        row->SetKind(list_.Rows()[i].kind);
        connect(row, &TCreateListFrame::Selected, this, &TMainForm::OnRowSelected);
        connect(row, &TCreateListFrame::QuantityEdited, this, &TMainForm::OnQuantityEdited);
        connect(row, &TCreateListFrame::QuantityFinished, this, &TMainForm::OnQuantityFinished);
        connect(row, &TCreateListFrame::Stepped, this, &TMainForm::OnStepped);
        connect(row, &TCreateListFrame::KindChosen, this, &TMainForm::OnKindChosen);
        rowsLayout_->addWidget(row);
        row->show();
        rows_.push_back(row);
    }
    ShowSelection();
}

void TMainForm::ShowSelection() {
    for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i]->SetSelected(list_.Selected() == i);
}

std::size_t TMainForm::RowIndex(const TCreateListFrame* row) const {
    return std::size_t(std::find(rows_.begin(), rows_.end(), row) - rows_.begin());
}

void TMainForm::OnRowSelected(TCreateListFrame* row) {
    list_.Select(RowIndex(row));
    ShowSelection();
}

// The model follows every keystroke; the cell shows the tidied value only when editing ends, so
// clearing it to type another number does not put a "1" in the way.
void TMainForm::OnQuantityEdited(TCreateListFrame* row, const QString& text) {
    list_.Row(RowIndex(row)).quantity = FilterQuantity(FromUi(text));
}

void TMainForm::OnQuantityFinished(TCreateListFrame* row) { row->SetQuantity(list_.Row(RowIndex(row)).quantity); }

void TMainForm::OnStepped(TCreateListFrame* row, int step) {
    auto& model = list_.Row(RowIndex(row));
    model.quantity = step > 0 ? QuantityUp(model.quantity) : QuantityDown(model.quantity);
    row->SetQuantity(model.quantity);
}

void TMainForm::OnKindChosen(TCreateListFrame* row, int index) {
    list_.Row(RowIndex(row)).kind = std::size_t(index);
    OnRowSelected(row);
}

void TMainForm::BtnAddClick() {
    if (!list_.Add()) {
        QApplication::beep();
        return;
    }
    AddRowFrames();
    // The new row has its place only once the list is laid out again and the scroll area has
    // taken the list's new height; only then can it be scrolled to.
    rowsLayout_->activate();
    QEvent relayout(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(ScrollCreateList, &relayout);
    ScrollCreateList->ensureWidgetVisible(rows_.back());
}

void TMainForm::BtnRemoveClick() {
    const auto selected = list_.Selected();
    if (!selected) return;
    list_.Remove();
    auto* removed = rows_[*selected];
    rows_.erase(rows_.begin() + std::ptrdiff_t(*selected));
    // Its quantity cell may still end an edit while it goes.
    removed->disconnect(this);
    delete removed;
    ShowSelection();
}

void TMainForm::BtnClearClick() {
    list_.Clear();
    for (auto* row : rows_) {
        row->disconnect(this);
        delete row;
    }
    rows_.clear();
}

void TMainForm::Timer1Timer() {
    if (wizard_.Page() != TPage::CreateOptions) return;
    const auto wanted = list_.Buttons();
    SetEnabledWhenDifferent(BtnRemove, wanted.remove);
    SetEnabledWhenDifferent(BtnClear, wanted.clear);
    wizard_.OnTimer();
    SetEnabledWhenDifferent(BtnNext, wizard_.NextButton().enabled);
    // Drives are plugged in and taken away while the list is shown.
    if (--ticksToDriveScan_ <= 0) {
        ticksToDriveScan_ = kTicksPerDriveScan;
        FollowRemovableDrives();
    }
}

}  // namespace bootdisk
