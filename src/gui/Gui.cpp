// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Gui.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
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

#include "app/Interruption.h"
#include "platform/RecordFile.h"
#include "app/Options.h"
#include "base/Text.h"
#include "gui/About.h"
#include "gui/DesktopNotice.h"
#include "gui/GuiDialogs.h"
#include "gui/Link.h"
#include "gui/ListFrame.h"
#include "gui/QtText.h"
#include "gui/ServiceWait.h"
#include "gui/Skin.h"
#include "gui/TextViewer.h"

namespace bootdisk {

namespace {

constexpr int kHeaderHeight = 58;
constexpr int kFooterHeight = 44;
constexpr int kPageHeight = TMainForm::kClientHeight - kHeaderHeight - kFooterHeight;

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

// A label's caption as the accessible name of the control it stands for.
QString NameOf(const std::string& caption) {
    auto name = Ui(caption).trimmed();
    if (name.endsWith(':')) name.chop(1);
    return name;
}

void SetEnabledWhenDifferent(QWidget* control, bool enabled) {
    if (control && control->isEnabled() != enabled) control->setEnabled(enabled);
}

}  // namespace

TMainForm::TMainForm(TAppContext& app, TGuiDialogs& dialogs, ISettingsStore& settings)
    : QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      app_(app), dialogs_(dialogs) {
    presenter_ = std::make_unique<TWizardPresenter>(
        TWizardPorts{app_, dialogs_, RealHost(), settings, sources_, [] { EndInterruptedRun(kClosedMidRunStatus); }, DefaultRecordPath()},
        *this);
    const auto& texts = app_.texts;
    rowNames_ = {NameOf(texts[StrId::GUI_TEXTPAGE3QUANTITY]), Ui(texts[StrId::GUI_HINTMORE]),
                 Ui(texts[StrId::GUI_HINTFEWER]), NameOf(texts[StrId::GUI_TEXTPAGE3DISKTYPE])};
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
    new TServiceWaitNotice(*LabelCopy, texts, dialogs_);

    Timer1 = new QTimer(this);
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, [this] { presenter_->Tick(); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && isAncestorOf(now)) presenter_->FocusChanged(RoleOf(now));
    });

    const auto& options = presenter_->Options();
    for (std::size_t i = 0; i < kOptionCount; ++i)
        ChkOptions->item(int(i))->setCheckState(options[i] ? Qt::Checked : Qt::Unchecked);

    if (auto* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    dialogs_.SetMainWindow(this);
}

TMainForm::~TMainForm() {
    if (!closed_) presenter_->Closed();
    // The widgets outlive the presenter; what they still tell while they go (a quantity cell
    // losing the focus) must not reach it.
    disconnect(qApp, nullptr, this, nullptr);
    for (auto* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
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
    // The rows take the focus; the area itself would be a tab stop that shows nothing.
    ScrollCreateList->setFocusPolicy(Qt::NoFocus);
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
    connect(BtnAdd, &QToolButton::clicked, this, [this] { presenter_->Click(TRole::BtnAdd); });
    connect(BtnRemove, &QToolButton::clicked, this, [this] { presenter_->Click(TRole::BtnRemove); });
    connect(BtnClear, &QToolButton::clicked, this, [this] { presenter_->Click(TRole::BtnClear); });
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
    ChkOptions->setAccessibleName(NameOf(texts[StrId::GUI_TEXT2OPTIONS]));
    for (const auto& option : kOptionInfo) {
        auto* item = new QListWidgetItem(Ui(texts[option.label]));
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
        ChkOptions->addItem(item);
    }
    // The first Space after tabbing in ticks the first option.
    ChkOptions->setCurrentRow(0);
    connect(ChkOptions, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        presenter_->OptionToggled(std::size_t(ChkOptions->row(item)), item->checkState() == Qt::Checked);
    });

    auto* commandLabel = MakeLabel(page, "LabelCommandLine", texts[StrId::GUI_TEXT3OPTIONS], {24, 162, 200, 18});
    commandLabel->setWordWrap(false);
    commandLabel->adjustSize();
    HyperLink1 = MakeLink(page, "HyperLink1", texts[StrId::GUI_MORE_INFO], [this] { presenter_->Click(TRole::HyperLink1); });
    HyperLink1->setWordWrap(false);
    HyperLink1->adjustSize();
    HyperLink1->move(commandLabel->geometry().right() + 1 + Scaled(5), Scaled(162));
    CommandLine = new QLineEdit(page);
    CommandLine->setObjectName("CommandLine");
    CommandLine->setGeometry(Scaled(QRect(24, 182, 226, 22)));
    CommandLine->setAccessibleName(NameOf(texts[StrId::GUI_TEXT3OPTIONS]));
    connect(CommandLine, &QLineEdit::textChanged, this,
            [this](const QString& text) { presenter_->ParametersTyped(text.toStdU16String()); });
    setTabOrder(HyperLink1, CommandLine);

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
        label->setBuddy(beside);
        beside->setParent(frame);
        beside->show();
        const int x = label->geometry().right() + 1 + Scaled(5);
        beside->setGeometry(x, Scaled(2), std::max(Scaled(60), Scaled(282 - 4) - x), Scaled(22));
        panelsLayout->addWidget(frame);
        return frame;
    };
    const auto osList = [&](const char* name, TRole role, const std::string& caption) {
        auto* combo = new QComboBox;
        combo->setObjectName(name);
        combo->setAccessibleName(NameOf(caption));
        for (const auto& os : presenter_->OsList()) combo->addItem(Ui(os));
        connect(combo, &QComboBox::activated, this, [this, role](int index) { presenter_->OsChosen(role, std::size_t(index)); });
        return combo;
    };
    QWidget* cdOs = nullptr;
    if (presenter_->CdOffersOsChoice())
        cdOs = ComboBoxCdOS = osList("ComboBoxCdOS", TRole::ComboBoxCdOS, texts[StrId::GUI_OPERATING_SYSTEM_CD]);
    else
        cdOs = MakeLabel(nullptr, "LabelCdOs", texts[StrId::GUI_MSDOS], {});
    PanelCDBoot = panel("PanelCDBoot", texts[StrId::GUI_OPERATING_SYSTEM_CD], cdOs);
    ComboBoxOS = osList("ComboBoxOS", TRole::ComboBoxOS, texts[StrId::GUI_OPERATING_SYSTEM_FLOPPY]);
    PanelFloppyBoot = panel("PanelFloppyBoot", texts[StrId::GUI_OPERATING_SYSTEM_FLOPPY], ComboBoxOS);
    return page;
}

QWidget* TMainForm::MakePageStartPage() {
    const auto& texts = app_.texts;
    auto* page = new QWidget;
    page->setObjectName("PageStart");
    MakeLabel(page, "LabelReady", texts[StrId::GUI_TEXT1PAGE6], {24, 14, 524, 130});
    HyperLink2 = MakeLink(page, "HyperLink2", texts[StrId::GUI_WHAT_SHOULD_I_DO],
                          [this] { presenter_->Click(TRole::HyperLink2); });
    HyperLink2->setGeometry(Scaled(QRect(24, 160, 524, 36)));
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
    ProgressBar->setAccessibleName(NameOf(app_.texts[StrId::GUI_TEXT1PAGE7]));
    return page;
}

QWidget* TMainForm::MakeFinishPage() {
    const auto& texts = app_.texts;
    auto* page = new QWidget;
    page->setObjectName("Finish");
    FinishTitle = MakeTitle(page, "LabelCongratulations", texts[StrId::GUI_TEXT1PAGE8], {24, 14, 524, 22});
    HyperLink4 = MakeLink(page, "HyperLink4", texts[StrId::GUI_WHAT_SHOULD_I_DO_NEXT],
                          [this] { presenter_->Click(TRole::HyperLink4); });
    HyperLink4->setGeometry(Scaled(QRect(24, 44, 524, 20)));
    ChkMoreDisks = new QRadioButton(Ui(presenter_->MoreDisksCaption()), page);
    ChkMoreDisks->setObjectName("ChkMoreDisks");
    ChkMoreDisks->setGeometry(Scaled(QRect(24, 90, 524, 22)));
    ChkMoreDisks->setChecked(true);
    ChkExit = new QRadioButton(Ui(presenter_->ExitCaption()), page);
    ChkExit->setObjectName("ChkExit");
    ChkExit->setGeometry(Scaled(QRect(24, 116, 524, 22)));
    connect(ChkExit, &QRadioButton::toggled, this, [this](bool exit) { presenter_->ExitChosen(exit); });
    ChkMoreDisks->installEventFilter(this);
    ChkExit->installEventFilter(this);
    LabelMade = MakeLabel(page, "LabelMade", {}, {24, 148, 524, 100});
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
    connect(BtnBack, &QPushButton::clicked, this, [this] { presenter_->Click(TRole::BtnBack); });
    connect(BtnNext, &QPushButton::clicked, this, [this] { presenter_->Click(TRole::BtnNext); });
    connect(BtnClose, &QPushButton::clicked, this, [this] { presenter_->Click(TRole::BtnClose); });
    connect(BtnHelp, &QToolButton::clicked, this, [this] { presenter_->Click(TRole::BtnHelp); });
}

void TMainForm::MakeHelpMenu() {
    PopupHelp = new QMenu(this);
    PopupHelp->setObjectName("PopupHelp");
    for (const auto& entry : presenter_->HelpMenuEntries()) {
        if (entry.item == THelpMenuEntry::TItem::Separator) PopupHelp->addSeparator();
        else PopupHelp->addAction(Ui(entry.caption), this, [this, item = entry.item] { presenter_->HelpMenu(item); });
    }
}

void TMainForm::BuildMediaKinds() {
    sources_.Build(app_.texts, dialogs_, [this] {
        QMetaObject::invokeMethod(this, [this] { presenter_->DrivesChanged(); }, Qt::QueuedConnection);
    });
}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    presenter_->Activate();
    Timer1->start();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!presenter_->CloseRequested()) {
        event->ignore();
        return;
    }
    if (!closed_) presenter_->Closed();
    closed_ = true;
    QWidget::closeEvent(event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_F1: presenter_->Key(TWindowKey::F1); break;
        case Qt::Key_Escape: presenter_->Key(TWindowKey::Escape); break;
        case Qt::Key_Return:
        case Qt::Key_Enter: presenter_->Key(TWindowKey::Return); break;
        case Qt::Key_Delete: presenter_->Key(TWindowKey::Delete); break;
        default: QWidget::keyPressEvent(event);
    }
}

// Some platform themes (GTK's) make Return press a focused radio button, which then keeps the key
// from the window: on the finish page Return is Next whatever the theme.
bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == ChkMoreDisks || watched == ChkExit) && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            presenter_->Key(TWindowKey::Return);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QWidget* TMainForm::Control(TControlRef control) const {
    switch (control.role) {
        case TRole::None: return nullptr;
        case TRole::BtnClose: return BtnClose;
        case TRole::BtnBack: return BtnBack;
        case TRole::BtnNext: return BtnNext;
        case TRole::BtnHelp: return BtnHelp;
        case TRole::BtnAdd: return BtnAdd;
        case TRole::BtnRemove: return BtnRemove;
        case TRole::BtnClear: return BtnClear;
        case TRole::EditNrDisks: return control.row < rows_.size() ? rows_[control.row]->Quantity() : nullptr;
        case TRole::ComboBox: return control.row < rows_.size() ? rows_[control.row]->Kinds() : nullptr;
        case TRole::ChkOptions: return ChkOptions;
        case TRole::CommandLine: return CommandLine;
        case TRole::HyperLink1: return HyperLink1;
        case TRole::ComboBoxCdOS: return ComboBoxCdOS;
        case TRole::ComboBoxOS: return ComboBoxOS;
        case TRole::HyperLink2: return HyperLink2;
        case TRole::HyperLink4: return HyperLink4;
        case TRole::ChkMoreDisks: return ChkMoreDisks;
        case TRole::ChkExit: return ChkExit;
    }
    return nullptr;
}

TControlRef TMainForm::RoleOf(const QWidget* widget) const {
    if (!widget) return {};
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (widget == rows_[row]->Quantity()) return {TRole::EditNrDisks, row};
        if (widget == rows_[row]->Kinds()) return {TRole::ComboBox, row};
    }
    for (int role = int(TRole::BtnClose); role <= int(TRole::ChkExit); ++role)
        if (TRole(role) != TRole::EditNrDisks && TRole(role) != TRole::ComboBox && Control({TRole(role)}) == widget)
            return {TRole(role)};
    return {};
}

void TMainForm::ShowPage(TPage page) { Pages->setCurrentIndex(int(page)); }

void TMainForm::ShowButton(TRole button, const TButton& state) {
    auto* control = static_cast<QPushButton*>(Control({button}));
    control->setText(Ui(state.caption));
    SetEnabledWhenDifferent(control, state.enabled);
}

void TMainForm::SetEnabled(TRole control, bool enabled) { SetEnabledWhenDifferent(Control({control}), enabled); }

void TMainForm::ShowBootPanels(bool cd, bool floppy) {
    PanelCDBoot->setVisible(cd);
    PanelFloppyBoot->setVisible(floppy);
}

void TMainForm::ShowKinds(const std::vector<TMediaKind>& kinds) {
    kinds_ = kinds;
    for (auto* row : rows_) row->SetKinds(kinds_);
}

void TMainForm::ShowRows(const std::vector<TCreateListRow>& rows, std::optional<std::size_t> selected) {
    while (rows_.size() > rows.size()) {
        // Its quantity cell may still end an edit while it goes.
        rows_.back()->disconnect(this);
        delete rows_.back();
        rows_.pop_back();
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i == rows_.size()) {
            auto* row = new TCreateListFrame(kinds_, rowNames_, ScrollCreateList->widget());
            connect(row, &TCreateListFrame::Selected, this,
                    [this](TCreateListFrame* r) { presenter_->RowPressed(RowIndex(r)); });
            connect(row, &TCreateListFrame::QuantityEdited, this, [this](TCreateListFrame* r, const QString& text) {
                presenter_->QuantityTyped(RowIndex(r), FromUi(text));
            });
            connect(row, &TCreateListFrame::QuantityFinished, this,
                    [this](TCreateListFrame* r) { presenter_->QuantityEdited(RowIndex(r)); });
            connect(row, &TCreateListFrame::Stepped, this,
                    [this](TCreateListFrame* r, int step) { presenter_->Step(RowIndex(r), step); });
            connect(row, &TCreateListFrame::KindChosen, this,
                    [this](TCreateListFrame* r, int index) { presenter_->KindChosen(RowIndex(r), std::size_t(index)); });
            rowsLayout_->addWidget(row);
            row->show();
            rows_.push_back(row);
        }
        rows_[i]->SetQuantity(rows[i].quantity);
        rows_[i]->SetKind(rows[i].kind);
    }
    // The last row tabs to Add, not to whatever was made before it.
    if (!rows_.empty()) setTabOrder(rows_.back()->Kinds(), BtnAdd);
    ShowSelection(selected);
}

void TMainForm::ShowSelection(std::optional<std::size_t> selected) {
    for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i]->SetSelected(selected == i);
}

void TMainForm::ShowQuantity(std::size_t row, const std::string& text) {
    if (row < rows_.size()) rows_[row]->SetQuantity(text);
}

void TMainForm::ScrollIntoView(std::size_t row) {
    if (row >= rows_.size()) return;
    // The new row has its place only once the list is laid out again and the scroll area has
    // taken the list's new height; only then can it be scrolled to.
    rowsLayout_->activate();
    QEvent relayout(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(ScrollCreateList, &relayout);
    ScrollCreateList->ensureWidgetVisible(rows_[row], 0, 0);
}

void TMainForm::ShowDrivesNotice(const std::string& text) { LabelDrivesNotice->setText(Ui(text)); }
void TMainForm::ShowCopy(const std::string& text) { LabelCopy->setText(Ui(text)); }
void TMainForm::ShowGauge(int percent) { ProgressBar->setValue(percent); }
void TMainForm::ShowFinishTitle(const std::string& text) { FinishTitle->setText(Ui(text)); }
void TMainForm::ShowMade(const std::string& text) { LabelMade->setText(Ui(text)); }
void TMainForm::ShowExitChoice(bool exit) { (exit ? ChkExit : ChkMoreDisks)->setChecked(true); }

void TMainForm::SelectParameters(std::size_t first, std::size_t count) {
    const auto units = CommandLine->text().toStdU16String();
    const auto start = Utf16Offset(units, first);
    CommandLine->setSelection(int(start), int(Utf16Offset(units, first + count) - start));
}

TControlRef TMainForm::Focus() const { return RoleOf(QApplication::focusWidget()); }

void TMainForm::SetFocus(TControlRef control) {
    if (auto* widget = Control(control)) widget->setFocus(Qt::OtherFocusReason);
}

void TMainForm::PopUpHelpMenu() { PopupHelp->popup(BtnHelp->mapToGlobal(QPoint(0, BtnHelp->height()))); }

void TMainForm::ShowAbout(const TAboutTexts& texts) {
    TAboutForm about(texts, {[this] { presenter_->AboutSupport(); }, [this] { presenter_->AboutLicense(); },
                            [this] { presenter_->AboutFreeSoftware(); }},
                     this);
    about.exec();
}

std::optional<std::string> TMainForm::Open(const THelpTarget& target) {
    std::optional<QString> failed;
    switch (target.kind) {
        case THelpTarget::TKind::Keyword: failed = help_.OpenKeyword(target.name); break;
        case THelpTarget::TKind::Contents: failed = help_.OpenContents(); break;
        case THelpTarget::TKind::File: failed = help_.OpenFile(QString::fromStdString(target.name)); break;
    }
    if (!failed) return std::nullopt;
    return FromUi(*failed);
}

void TMainForm::Beep() { QApplication::beep(); }

void TMainForm::ShowText(const std::string& title, const std::string& text) {
    ShowTextViewer(this, Ui(title), Ui(text));
}

bool TMainForm::ShowTopic(const THelpTarget& target) {
    const auto file = THelp::TopicFile(target.kind == THelpTarget::TKind::Contents ? std::string() : target.name);
    if (!QFileInfo(file).isFile()) return false;
    ShowPageViewer(this, file);
    return true;
}

bool TMainForm::Active() const { return QApplication::activeWindow() != nullptr; }

void TMainForm::Attention(const std::string& text) {
    QApplication::alert(this);
    NotifyDesktop(windowTitle(), Ui(text));
}

void TMainForm::Repaint() { repaint(); }

void TMainForm::CloseWindow() { close(); }

std::size_t TMainForm::RowIndex(const TCreateListFrame* row) const {
    return std::size_t(std::find(rows_.begin(), rows_.end(), row) - rows_.begin());
}

}  // namespace bootdisk
