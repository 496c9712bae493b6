#include "ui/ToggleButton.h"

#include <QPainter>

void TToggleButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    if (!isChecked()) return;
    // Inside the bevel, which stays pressed in around it.
    constexpr int bevel = 2;
    const QRect inside = rect().adjusted(bevel, bevel, -bevel, -bevel);
    QPainter painter(this);
    painter.fillRect(inside, palette().color(QPalette::Highlight));
    painter.setPen(palette().color(QPalette::HighlightedText));
    painter.drawText(inside, Qt::AlignCenter, text());
}
