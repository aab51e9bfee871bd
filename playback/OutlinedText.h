#pragma once
// Lines of text drawn over any picture and readable on all of them: white
// letters with a dark outline, on nothing (the picture shows between the
// letters). The widget takes the size its lines need; the text is its
// font's, in pixels.

#include <QStringList>
#include <QWidget>

namespace zavrio {

class OutlinedText : public QWidget {
public:
    explicit OutlinedText(QWidget* parent);

    void SetLines(const QStringList& lines);
    const QStringList& Lines() const { return lines_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int Outline() const;

    QStringList lines_;
};

} // namespace zavrio
