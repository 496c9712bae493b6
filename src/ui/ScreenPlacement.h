// Where windows open: wholly inside the available area of a screen that is attached now, whatever
// position was stored on another monitor or at another scale.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>

class QWidget;

// The top-left corner nearest to (x, y) at which a frame of `size` lies wholly inside one of
// `areas`. In an area too small for the frame, its top-left corner, so that the title bar stays in
// reach. Any int position is fine, however far off: the sums are done in 64 bits. Without areas,
// (x, y) itself, clamped to the int range.
QPoint NearestPlaceInAreas(std::int64_t x, std::int64_t y, QSize size, const QList<QRect>& areas);

// The available areas (without panels and docks) of the screens attached now.
QList<QRect> AvailableAreas();

// Moves a top-level window so that its frame's top-left corner is at (x, y), or at the nearest
// place where the whole frame is on a screen.
void MoveOntoScreen(QWidget* window, std::int64_t x, std::int64_t y);
// Moves a top-level window onto a screen each time it is shown, if it is not wholly on one.
void KeepOnScreenWhenShown(QWidget* window);
