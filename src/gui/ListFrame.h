// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One row of the creation list: the quantity cell with its up and down buttons and the list of
// media kinds. The row only draws; the main window keeps the creation list's rules.
#include <QFrame>
#include <string>
#include <vector>

#include "app/CreateList.h"

class QComboBox;
class QLineEdit;
class QToolButton;

namespace bootdisk {

// A plain control that paints its whole area in its own colour.
class TRectangle : public QWidget {
public:
    TRectangle(QWidget* parent, const char* name, QColor colour);
    void SetColour(QColor colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};

class TCreateListFrame : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 433;
    static constexpr int kHeight = 24;

    TCreateListFrame(const std::vector<TMediaKind>& kinds, QWidget* parent);

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
    QComboBox* ComboBox;
    TRectangle* Rectangle1;
    TRectangle* Rectangle2;
    TRectangle* Rectangle4;
    TRectangle* Rectangle6;
};

}  // namespace bootdisk
