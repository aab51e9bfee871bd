#include "playback/OutlinedText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace zavrio {

OutlinedText::OutlinedText(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void OutlinedText::SetLines(const QStringList& lines) {
    if (lines == lines_)
        return;
    lines_ = lines;
    updateGeometry();
    update();
}

int OutlinedText::Outline() const {
    return std::max(2, QFontMetrics(font()).height() / 10);
}

QSize OutlinedText::sizeHint() const {
    const QFontMetrics metrics(font());
    int width = 0;
    for (const QString& line : lines_)
        width = std::max(width, metrics.horizontalAdvance(line));
    const int margin = 2 * Outline();
    return {width + margin, metrics.lineSpacing() * static_cast<int>(lines_.size()) + margin};
}

void OutlinedText::paintEvent(QPaintEvent*) {
    const QFontMetrics metrics(font());
    QPainterPath path;
    int baseline = Outline() + metrics.ascent();
    for (const QString& line : lines_) {
        path.addText(Outline(), baseline, font(), line);
        baseline += metrics.lineSpacing();
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(path, QPen(QColor(0, 0, 0, 220), 2 * Outline(), Qt::SolidLine, Qt::RoundCap,
                                  Qt::RoundJoin));
    painter.fillPath(path, Qt::white);
}

} // namespace zavrio
