// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/support/Legibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "support/AreaColours.h"

namespace bootdisk::test {

namespace {

QPalette MakePalette(std::initializer_list<std::pair<QPalette::ColorRole, QColor>> roles, QColor disabledText) {
    QPalette palette;
    for (const auto& [role, colour] : roles) palette.setColor(role, colour);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    return palette;
}

struct TPictureArea {
    QColor background;
    double contrast = 21.0;
};

TPictureArea MeasureArea(const QImage& picture, QRect area) {
    std::map<std::uint32_t, int> counts;
    area &= picture.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) ++counts[picture.pixel(x, y) & 0xFFFFFF];
    const auto measured = test::MeasureArea(counts);
    return {QColor(measured.background), measured.contrast};
}

class TMeasure {
public:
    explicit TMeasure(QWidget& window) : window_(window), picture_(window.grab().toImage()) {}

    // A text drawn in the widget's local area, when all of it is in sight (a row scrolled half
    // out of its list is read once scrolled in).
    void Text(QWidget* widget, QRect local, const QString& text) {
        const auto area = Visible(widget, local);
        if (area.size() != local.size() * picture_.devicePixelRatio()) return;
        const double contrast = MeasureArea(picture_, area).contrast;
        if (contrast < 4.5) Fault(widget, text, contrast);
    }

    // A scroll bar's thumb against its groove, as any part a user must see to work a control: 3:1.
    void Thumb(QScrollBar* bar) {
        if (bar->maximum() <= bar->minimum()) return;
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = bar->orientation();
        if (bar->orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = option.sliderValue = bar->value();
        option.singleStep = bar->singleStep();
        option.pageStep = bar->pageStep();
        option.subControls = QStyle::SC_All;
        const auto rect = [&](QStyle::SubControl part) {
            return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
        };
        const QRect thumb = rect(QStyle::SC_ScrollBarSlider), groove = rect(QStyle::SC_ScrollBarGroove);
        const QRect before(groove.topLeft(), thumb.topLeft() - QPoint(bar->orientation() == Qt::Vertical ? 0 : 1, bar->orientation() == Qt::Vertical ? 1 : 0));
        const QRect after(thumb.bottomRight() + QPoint(bar->orientation() == Qt::Vertical ? 0 : 1, bar->orientation() == Qt::Vertical ? 1 : 0), groove.bottomRight());
        const auto free = before.width() * before.height() >= after.width() * after.height() ? before : after;
        const auto thumbColour = MeasureArea(picture_, Visible(bar, thumb.adjusted(3, 3, -3, -3))).background;
        const auto grooveColour = MeasureArea(picture_, Visible(bar, free.normalized())).background;
        const double contrast = ContrastRatio(thumbColour, grooveColour);
        if (contrast < 3.0) Fault(bar, "thumb", contrast);
    }

    QStringList faults;

private:
    QRect Visible(QWidget* widget, QRect local) const {
        const QRect visible = local & widget->visibleRegion().boundingRect();
        if (visible.isEmpty()) return {};
        const qreal ratio = picture_.devicePixelRatio();
        const QPoint topLeft = widget->mapTo(&window_, visible.topLeft());
        return {QPoint(qRound(topLeft.x() * ratio), qRound(topLeft.y() * ratio)), visible.size() * ratio};
    }
    void Fault(QWidget* widget, const QString& text, double contrast) {
        faults << QString("%1 \"%2\": %3:1").arg(widget->objectName(), text.left(40)).arg(contrast, 0, 'f', 1);
    }

    QWidget& window_;
    QImage picture_;
};

void MeasureItems(TMeasure& measure, QListView* view) {
    const auto* model = view->model();
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        const auto index = model->index(row, view->modelColumn(), view->rootIndex());
        const auto text = index.data().toString();
        if (text.isEmpty() || index.data(Qt::DecorationRole).isValid()) continue;
        QRect area = view->visualRect(index);
        // A check box before the text is no text.
        if (index.data(Qt::CheckStateRole).isValid()) area.setLeft(area.left() + area.height() + 4);
        measure.Text(view->viewport(), area, text);
    }
}

}  // namespace

QPalette DarkPalette() {
    return MakePalette({{QPalette::Window, 0x2D2D30}, {QPalette::WindowText, 0xE8E8E8}, {QPalette::Base, 0x1E1E1E},
                        {QPalette::AlternateBase, 0x262626}, {QPalette::Text, 0xE8E8E8}, {QPalette::Button, 0x3C3C3C},
                        {QPalette::ButtonText, 0xE8E8E8}, {QPalette::BrightText, 0xFF6060},
                        {QPalette::Highlight, 0x2A5FB0}, {QPalette::HighlightedText, 0xFFFFFF},
                        {QPalette::Link, 0x8AB4F8}, {QPalette::LinkVisited, 0xC58AF9},
                        {QPalette::ToolTipBase, 0x3C3C3C}, {QPalette::ToolTipText, 0xE8E8E8},
                        {QPalette::PlaceholderText, 0x9A9A9A}, {QPalette::Light, 0x505050},
                        {QPalette::Midlight, 0x444444}, {QPalette::Mid, 0x2A2A2A}, {QPalette::Dark, 0x1A1A1A},
                        {QPalette::Shadow, 0x000000}},
                       QColor(0x7A7A7A));
}

QPalette DarkBlueLinksPalette() {
    auto palette = DarkPalette();
    palette.setColor(QPalette::Link, 0x2A82DA);
    palette.setColor(QPalette::LinkVisited, 0x2A82DA);
    return palette;
}

QPalette LightPalette() {
    return MakePalette({{QPalette::Window, 0xEFEFEF}, {QPalette::WindowText, 0x000000}, {QPalette::Base, 0xFFFFFF},
                        {QPalette::AlternateBase, 0xF7F7F7}, {QPalette::Text, 0x000000}, {QPalette::Button, 0xEFEFEF},
                        {QPalette::ButtonText, 0x000000}, {QPalette::BrightText, 0xFFFFFF},
                        {QPalette::Highlight, 0x308CC6}, {QPalette::HighlightedText, 0xFFFFFF},
                        {QPalette::Link, 0x0000FF}, {QPalette::LinkVisited, 0xFF00FF},
                        {QPalette::ToolTipBase, 0xFFFFDC}, {QPalette::ToolTipText, 0x000000},
                        {QPalette::PlaceholderText, 0x808080}, {QPalette::Light, 0xFFFFFF},
                        {QPalette::Midlight, 0xCACACA}, {QPalette::Mid, 0xB8B8B8}, {QPalette::Dark, 0x9F9F9F},
                        {QPalette::Shadow, 0x767676}},
                       QColor(0xBEBEBE));
}

QPalette HighContrastPalette() {
    return MakePalette({{QPalette::Window, 0x000000}, {QPalette::WindowText, 0xFFFFFF}, {QPalette::Base, 0x000000},
                        {QPalette::AlternateBase, 0x000000}, {QPalette::Text, 0xFFFFFF}, {QPalette::Button, 0x000000},
                        {QPalette::ButtonText, 0xFFFFFF}, {QPalette::BrightText, 0xFFFF00},
                        {QPalette::Highlight, 0x1AEBFF}, {QPalette::HighlightedText, 0x000000},
                        {QPalette::Link, 0xFFFF00}, {QPalette::LinkVisited, 0xFFFF00},
                        {QPalette::ToolTipBase, 0x000000}, {QPalette::ToolTipText, 0xFFFFFF},
                        {QPalette::PlaceholderText, 0xC0C0C0}, {QPalette::Light, 0xFFFFFF},
                        {QPalette::Midlight, 0xFFFFFF}, {QPalette::Mid, 0x808080}, {QPalette::Dark, 0xFFFFFF},
                        {QPalette::Shadow, 0xFFFFFF}},
                       QColor(0x3FF23F));
}

double ContrastRatio(QColor a, QColor b) { return ContrastRatio(std::uint32_t(a.rgb() & 0xFFFFFF), b.rgb() & 0xFFFFFF); }

QStringList FaintDrawing(QWidget& window) {
    TMeasure measure(window);
    for (auto* widget : window.findChildren<QWidget*>()) {
        // A disabled control's text need not stand out; a child window has a picture of its own.
        if (!widget->isVisible() || !widget->isEnabled() || widget->window() != &window) continue;
        const QRect all = widget->rect();
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (!label->text().isEmpty()) measure.Text(label, label->contentsRect(), label->text());
        } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            const int indicator = radio->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, radio) +
                                  radio->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, radio);
            measure.Text(radio, all.adjusted(indicator, 0, 0, 0), radio->text());
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            if (!button->text().isEmpty()) measure.Text(button, all.adjusted(3, 3, -3, -3), button->text());
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            if (!edit->text().isEmpty()) measure.Text(edit, all.adjusted(2, 2, -2, -2), edit->text());
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            // The drop-down arrow is as wide as the box is high.
            if (!combo->currentText().isEmpty())
                measure.Text(combo, all.adjusted(2, 2, -combo->height(), -2), combo->currentText());
        } else if (auto* progress = qobject_cast<QProgressBar*>(widget)) {
            if (progress->isTextVisible()) measure.Text(progress, all.adjusted(3, 3, -3, -3), progress->text());
        } else if (auto* list = qobject_cast<QListView*>(widget)) {
            MeasureItems(measure, list);
        } else if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
            measure.Thumb(bar);
        }
    }
    return measure.faults;
}

QStringList UnnamedControls(QWidget& window) {
    static const std::set<QAccessible::Role> workable = {
        QAccessible::PushButton, QAccessible::CheckBox,    QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::SpinBox,   QAccessible::List,        QAccessible::ProgressBar,
        QAccessible::Slider,     QAccessible::ButtonMenu, QAccessible::ButtonDropDown};
    // Controls that have a value besides their name; Qt on Linux names a list box by its value and
    // leaves its label to a relation, which a screen reader reads as the name.
    static const std::set<QAccessible::Role> valued = {QAccessible::ComboBox, QAccessible::EditableText,
                                                       QAccessible::SpinBox, QAccessible::ProgressBar,
                                                       QAccessible::Slider};
    QStringList faults;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* control) {
        if (!control || control->state().invisible) return;
        if (workable.contains(control->role())) {
            auto name = control->text(QAccessible::Name).trimmed();
            const auto value = control->text(QAccessible::Value).trimmed();
            if (valued.contains(control->role()) && name == value) name.clear();
            for (const auto& [label, relation] : control->relations(QAccessible::Label))
                if (name.isEmpty()) name = label->text(QAccessible::Name).trimmed();
            if (name.isEmpty())
                faults << QString("%1 (role %2, value \"%3\")")
                              .arg(control->object() ? control->object()->objectName() : QString())
                              .arg(int(control->role()))
                              .arg(value);
        }
        for (int i = 0; i < control->childCount(); ++i) walk(control->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(&window));
    return faults;
}

}  // namespace bootdisk::test
