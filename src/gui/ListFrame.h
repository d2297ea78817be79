// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One row of the creation list: the quantity cell with its up and down buttons and the list of
// media kinds. The row only draws; the main window keeps the creation list's rules.
#include <QComboBox>
#include <QFrame>
#include <string>
#include <vector>

#include "app/CreateList.h"
#include "gui/Skin.h"

class QLineEdit;
class QToolButton;

namespace bootdisk {

// What a screen reader calls a row's controls (their value is no name).
struct TRowNames {
    QString quantity, more, fewer, kind;
};

// A plain control that paints its whole area in one of the skin's colours, taken when it is drawn
// so that a changed palette shows.
class TRectangle : public QWidget {
public:
    using TColour = QColor TSkinColours::*;
    TRectangle(QWidget* parent, const char* name, TColour colour);
    void SetColour(TColour colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColour colour_;
};

// A list whose chosen entry, when too long for it, is shortened in the middle (where a drive's
// label is least telling) and shown whole in its tooltip.
class TElidingComboBox : public QComboBox {
public:
    explicit TElidingComboBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TCreateListFrame : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 433;
    static constexpr int kHeight = 24;

    TCreateListFrame(const std::vector<TMediaKind>& kinds, const TRowNames& names, QWidget* parent);

    void SetQuantity(const std::string& text);
    void SetKind(std::size_t index);
    void SetKinds(const std::vector<TMediaKind>& kinds);
    void SetSelected(bool selected);
    QLineEdit* Quantity() const { return EditNrDisks; }
    QComboBox* Kinds() const { return ComboBox; }

signals:
    void Selected(TCreateListFrame* row);
    void QuantityEdited(TCreateListFrame* row, const QString& text);
    // Editing of the quantity ended (Return, or the focus left it).
    void QuantityFinished(TCreateListFrame* row);
    void Stepped(TCreateListFrame* row, int step);
    void KindChosen(TCreateListFrame* row, int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* EditNrDisks;
    QToolButton* BtnInc1;
    QToolButton* BtnDec1;
    TElidingComboBox* ComboBox;
    TRectangle* Rectangle1;
    TRectangle* Rectangle2;
    TRectangle* Rectangle4;
    TRectangle* Rectangle6;
};

}  // namespace bootdisk
