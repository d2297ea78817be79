// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ListFrame.h"

#include <QComboBox>
#include <QAbstractItemView>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QStylePainter>
#include <QToolButton>

#include "app/WizardPresenter.h"
#include "gui/QtText.h"
#include "gui/Skin.h"

namespace bootdisk {

TRectangle::TRectangle(QWidget* parent, const char* name, TColour colour) : QWidget(parent), colour_(colour) {
    setObjectName(name);
}

void TRectangle::SetColour(TColour colour) {
    colour_ = colour;
    update();
}

void TRectangle::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), SkinColours().*colour_); }

TElidingComboBox::TElidingComboBox(QWidget* parent) : QComboBox(parent) {
    view()->setTextElideMode(Qt::ElideMiddle);
    connect(this, &QComboBox::currentTextChanged, this, [this](const QString& text) { setToolTip(text); });
}

void TElidingComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const auto field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideMiddle, field.width());
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

namespace {

constexpr int kQuantityWidth = 65;
constexpr int kKindLeft = kQuantityWidth + 3;

}  // namespace

TCreateListFrame::TCreateListFrame(const std::vector<TMediaKind>& kinds, const TRowNames& names, QWidget* parent)
    : QFrame(parent) {
    setObjectName("CreateListFrame");
    setFixedSize(Scaled(QSize(kWidth, kHeight)));
    const int width = Scaled(kWidth), height = Scaled(kHeight), quantity = Scaled(kQuantityWidth);

    Rectangle4 = new TRectangle(this, "Rectangle4", &TSkinColours::page);
    Rectangle4->setGeometry(0, 0, quantity, height - 1);
    Rectangle6 = new TRectangle(this, "Rectangle6", &TSkinColours::page);
    Rectangle6->setGeometry(quantity + 1, 0, width - quantity - 1, height - 1);
    Rectangle2 = new TRectangle(this, "Rectangle2", &TSkinColours::line);
    Rectangle2->setGeometry(quantity, 0, 1, height - 1);
    Rectangle1 = new TRectangle(this, "Rectangle1", &TSkinColours::line);
    Rectangle1->setGeometry(0, height - 1, width, 1);

    EditNrDisks = new QLineEdit("0", this);
    EditNrDisks->setObjectName("EditNrDisks");
    EditNrDisks->setFrame(false);
    EditNrDisks->setMaxLength(2);
    EditNrDisks->setAlignment(Qt::AlignCenter);
    EditNrDisks->setAccessibleName(names.quantity);
    EditNrDisks->setGeometry(Scaled(QRect(8, 3, 34, 17)));
    EditNrDisks->installEventFilter(this);
    connect(EditNrDisks, &QLineEdit::textChanged, this, [this](const QString& text) { emit QuantityEdited(this, text); });
    connect(EditNrDisks, &QLineEdit::editingFinished, this, [this] { emit QuantityFinished(this); });

    BtnInc1 = new QToolButton(this);
    BtnInc1->setObjectName("BtnInc1");
    BtnInc1->setGeometry(Scaled(QRect(46, 2, 15, 10)));
    BtnInc1->setAccessibleName(names.more);
    BtnInc1->setToolTip(names.more);
    // Up and Down in the quantity step it: a row costs two tab stops, not four.
    BtnInc1->setFocusPolicy(Qt::NoFocus);
    connect(BtnInc1, &QToolButton::clicked, this, [this] { emit Stepped(this, +1); });
    BtnDec1 = new QToolButton(this);
    BtnDec1->setObjectName("BtnDec1");
    BtnDec1->setGeometry(Scaled(QRect(46, 12, 15, 10)));
    BtnDec1->setAccessibleName(names.fewer);
    BtnDec1->setToolTip(names.fewer);
    BtnDec1->setFocusPolicy(Qt::NoFocus);
    // A press on the down button selects the row; one on the up button does not.
    connect(BtnDec1, &QToolButton::pressed, this, [this] { emit Selected(this); });
    connect(BtnDec1, &QToolButton::clicked, this, [this] { emit Stepped(this, -1); });

    ComboBox = new TElidingComboBox(this);
    ComboBox->setObjectName("ComboBox");
    ComboBox->setAccessibleName(names.kind);
    ComboBox->view()->setAccessibleName(names.kind);
    // Qt on Linux names a list box by its choice; a screen reader finds its name in its label.
    auto* kindLabel = new QLabel(names.kind, this);
    kindLabel->setBuddy(ComboBox);
    kindLabel->adjustSize();
    kindLabel->hide();
    ComboBox->setEditable(false);
    ComboBox->setGeometry(Scaled(kKindLeft), 1, width - Scaled(kKindLeft) - 2, height - 3);
    for (const auto& kind : kinds) ComboBox->addItem(Ui(kind.label));
    ComboBox->setCurrentIndex(0);
    ComboBox->installEventFilter(this);
    connect(ComboBox, &QComboBox::activated, this, [this](int index) { emit KindChosen(this, index); });
}

void TCreateListFrame::SetQuantity(const std::string& text) {
    const auto shown = QString::fromStdString(text);
    if (EditNrDisks->text() != shown) EditNrDisks->setText(shown);
}

void TCreateListFrame::SetKind(std::size_t index) { ComboBox->setCurrentIndex(int(index)); }

// Drives come and go while the list is shown; the choice is the caller's to set again.
void TCreateListFrame::SetKinds(const std::vector<TMediaKind>& kinds) {
    ComboBox->clear();
    for (const auto& kind : kinds) ComboBox->addItem(Ui(kind.label));
}

void TCreateListFrame::SetSelected(bool selected) {
    const auto colour = selected ? &TSkinColours::selection : &TSkinColours::page;
    Rectangle4->SetColour(colour);
    Rectangle6->SetColour(colour);
    // The edit and the kind list take the row's colour through the style sheet's property selector.
    for (QWidget* control : {static_cast<QWidget*>(EditNrDisks), static_cast<QWidget*>(ComboBox)}) {
        control->setProperty("selected", selected);
        control->style()->unpolish(control);
        control->style()->polish(control);
    }
}

void TCreateListFrame::mousePressEvent(QMouseEvent* event) {
    emit Selected(this);
    QFrame::mousePressEvent(event);
}

bool TCreateListFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && (watched == EditNrDisks || watched == ComboBox))
        emit Selected(this);
    if (event->type() == QEvent::KeyPress && watched == EditNrDisks) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            emit Stepped(this, key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    // A closed list passes the wheel on to the scroll area.
    if (event->type() == QEvent::Wheel && watched == ComboBox &&
        !TWizardPresenter::WheelTurnsKind(ComboBox->view()->isVisible())) {
        event->ignore();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace bootdisk
