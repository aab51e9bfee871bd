#pragma once
// The configuration window's controls, with the rules its handlers rely on
// built in once:
//  - a check box runs its click handler whenever its state changes, whether
//    the user clicked it or code set it (OnClick follows QCheckBox::toggled,
//    never QAbstractButton::clicked, which code does not emit);
//  - a drop-down list runs its change handler only when the text it shows
//    changes, whether code set the selection (SetItemIndex) or the user chose
//    an entry; choosing the entry already shown runs nothing, and filling or
//    clearing the list runs nothing either (Qt would select the first entry
//    added on its own; these lists keep showing nothing until told).

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStyledItemDelegate>

#include <functional>

namespace zavrio {

class SkinCheckBox : public QCheckBox {
public:
    SkinCheckBox(const QString& caption, QWidget* parent);
    std::function<void()> OnClick;
};

class SkinComboBox : public QComboBox {
public:
    explicit SkinComboBox(QWidget* parent);

    std::function<void()> OnChange;

    // -1 (or any index outside the list) shows nothing.
    void SetItemIndex(int index);
    int ItemIndex() const { return currentIndex(); }
    void ClearItems();
    void AddItem(const QString& text);

private:
    void ShownTextMayHaveChanged();

    QString shown_;
};

// A link shown as plain text in the skin's colours (a rich-text link would
// take the palette's link colour instead); a left click runs OnClick, and so
// do Return, Enter and Space while it has the keyboard focus (Tab reaches it).
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent);
    std::function<void()> OnClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// Draws the rows of a list the window draws itself: each entry's text at
// horizontal position 5 and the top of its row, over the skin's row
// background. OnDraw runs before each row is drawn.
class ClipRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    std::function<void()> OnDraw;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace zavrio
