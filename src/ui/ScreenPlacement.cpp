#include "ui/ScreenPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <limits>
#include <optional>

namespace {

int ToInt(std::int64_t v) {
    return static_cast<int>(
        std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Where a window about to be shown was meant to go: before it is first shown, the platform may
// place its inside rather than its frame there, so the place is applied again once it is up.
constexpr char kWantedPlace[] = "wantedFramePlace";

class ScreenKeeping : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent()) {
            auto* window = static_cast<QWidget*>(watched);
            const QVariant pending = window->property(kWantedPlace);
            const QPoint wanted = pending.isValid() ? pending.toPoint() : window->pos();
            window->setProperty(kWantedPlace, wanted);
            MoveOntoScreen(window, wanted.x(), wanted.y());
            // The frame is known only once the window is up; measure and place it again then.
            QTimer::singleShot(0, window, [w = QPointer<QWidget>(window)] {
                if (!w) return;
                const QPoint wanted = w->property(kWantedPlace).toPoint();
                w->setProperty(kWantedPlace, QVariant());
                if (w->isVisible()) MoveOntoScreen(w, wanted.x(), wanted.y());
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QPoint NearestPlaceInAreas(std::int64_t x, std::int64_t y, QSize size, const QList<QRect>& areas) {
    struct Place {
        std::int64_t x, y;
        bool fits;
        double distance;
    };
    std::optional<Place> best;
    for (const QRect& area : areas) {
        if (area.isEmpty()) continue;
        const std::int64_t left = area.left(), top = area.top();
        // The last corner that keeps the frame inside; before the first when the frame is larger.
        const std::int64_t lastX = left + area.width() - size.width();
        const std::int64_t lastY = top + area.height() - size.height();
        const Place place{std::clamp(x, left, std::max(left, lastX)),
                          std::clamp(y, top, std::max(top, lastY)), lastX >= left && lastY >= top, 0};
        const double dx = static_cast<double>(place.x - x), dy = static_cast<double>(place.y - y);
        const double distance = dx * dx + dy * dy;
        // An area the frame fits in wins over one it does not; then the shorter move.
        if (!best || (place.fits && !best->fits) || (place.fits == best->fits && distance < best->distance))
            best = Place{place.x, place.y, place.fits, distance};
    }
    return best ? QPoint(ToInt(best->x), ToInt(best->y)) : QPoint(ToInt(x), ToInt(y));
}

QList<QRect> AvailableAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
    return areas;
}

void MoveOntoScreen(QWidget* window, std::int64_t x, std::int64_t y) {
    const QPoint place = NearestPlaceInAreas(x, y, window->frameGeometry().size(), AvailableAreas());
    if (!window->isVisible() || window->property(kWantedPlace).isValid())
        window->setProperty(kWantedPlace, place);
    if (place != window->pos()) window->move(place);
}

void KeepOnScreenWhenShown(QWidget* window) {
    window->installEventFilter(new ScreenKeeping(window));
}
