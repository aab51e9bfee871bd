#include "config/SkinControls.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>

namespace zavrio {

SkinCheckBox::SkinCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    connect(this, &QCheckBox::toggled, this, [this] {
        if (OnClick)
            OnClick();
    });
}

SkinComboBox::SkinComboBox(QWidget* parent) : QComboBox(parent) {
    // activated is the user's choice (mouse, keys or wheel), after the fact.
    connect(this, &QComboBox::activated, this, [this] { ShownTextMayHaveChanged(); });
}

void SkinComboBox::ShownTextMayHaveChanged() {
    if (currentText() == shown_)
        return;
    shown_ = currentText();
    if (OnChange)
        OnChange();
}

void SkinComboBox::SetItemIndex(int index) {
    {
        const QSignalBlocker quiet(this);
        setCurrentIndex(index >= 0 && index < count() ? index : -1);
    }
    ShownTextMayHaveChanged();
}

void SkinComboBox::ClearItems() {
    const QSignalBlocker quiet(this);
    clear();
    shown_.clear();
}

void SkinComboBox::AddItem(const QString& text) {
    const QSignalBlocker quiet(this);
    const int selected = currentIndex();
    addItem(text);
    setCurrentIndex(selected);
}

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
    // Reachable with Tab like the buttons around it; the skins draw its focus.
    setFocusPolicy(Qt::StrongFocus);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && OnClick) {
        OnClick();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick)
        OnClick();
}

void ClipRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    if (OnDraw)
        OnDraw();
    // The row's background and selection as the skin draws them, without text.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    const QString text = background.text;
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : nullptr;
    if (style)
        style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(option.rect.adjusted(5, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
    painter->restore();
}

} // namespace zavrio
