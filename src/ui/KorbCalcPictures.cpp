#include "ui/KorbCalcPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

bool IsDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < palette.color(QPalette::WindowText).lightnessF();
}

QColor AccentBlue(const QPalette& palette) {
    return IsDarkPalette(palette) ? QColor(120, 170, 255) : QColor(0, 0, 192);
}

QPixmap DrawPicture(Picture picture, int size, qreal dpr, const QPalette& palette) {
    QPixmap pm(QSize(size, size) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    PaintPicture(p, picture, size, palette);
    return pm;
}

void PaintPicture(QPainter& p, Picture picture, qreal s, const QPalette& palette) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    switch (picture) {
    case Picture::Editing: { // a pencil
        p.setPen(QPen(QColor(200, 120, 0), s / 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.8, s * 0.2), QPointF(s * 0.35, s * 0.65));
        p.setPen(Qt::NoPen);
        p.setBrush(palette.color(QPalette::WindowText));
        p.drawPolygon(
            QPolygonF{QPointF(s * 0.1, s * 0.9), QPointF(s * 0.22, s * 0.55), QPointF(s * 0.45, s * 0.78)});
        break;
    }
    case Picture::NotEditing: { // a stack with its top marked
        for (int i = 0; i < 3; ++i) {
            p.setBrush(i == 0 ? QColor(0, 120, 0) : QColor(150, 150, 150));
            p.setPen(Qt::NoPen);
            p.drawRect(QRectF(s * 0.1, s * (0.1 + i * 0.3), s * 0.8, s * 0.2));
        }
        break;
    }
    case Picture::UnitsDown: { // an arrow down
        p.setPen(Qt::NoPen);
        p.setBrush(AccentBlue(palette));
        p.drawRect(QRectF(s * 0.4, s * 0.05, s * 0.2, s * 0.5));
        p.drawPolygon(
            QPolygonF{QPointF(s * 0.1, s * 0.5), QPointF(s * 0.9, s * 0.5), QPointF(s * 0.5, s * 0.95)});
        break;
    }
    case Picture::SecondF: {
        QFont f("Arial");
        f.setPixelSize(qRound(s));
        f.setBold(true);
        p.setFont(f);
        p.setPen(AccentBlue(palette));
        p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, "2");
        break;
    }
    case Picture::Emblem: { // a dial with a measuring scale
        QRadialGradient g(QPointF(s * 0.35, s * 0.35), s * 0.7);
        g.setColorAt(0, QColor(90, 140, 220));
        g.setColorAt(1, QColor(20, 50, 120));
        p.setBrush(g);
        p.setPen(QPen(QColor(10, 30, 80), 1));
        p.drawEllipse(QRectF(1, 1, s - 2, s - 2));
        p.setPen(QPen(Qt::white, 1.2));
        const QPointF c(s / 2, s / 2);
        for (int i = 0; i <= 8; ++i) {
            const double a = 3.14159 * (0.85 + 1.3 * i / 8.0);
            const double r0 = s * (i % 4 == 0 ? 0.28 : 0.33), r1 = s * 0.40;
            p.drawLine(c + QPointF(r0 * std::cos(a), r0 * std::sin(a)),
                       c + QPointF(r1 * std::cos(a), r1 * std::sin(a)));
        }
        p.setPen(QPen(QColor(255, 200, 60), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, c + QPointF(s * 0.25 * std::cos(-0.6), s * 0.25 * std::sin(-0.6)));
        QFont f("Arial");
        f.setPixelSize(qRound(s * 0.3));
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, s * 0.52, s, s * 0.4), Qt::AlignCenter, "M");
        break;
    }
    }
    p.restore();
}
