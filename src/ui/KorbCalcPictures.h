// Pictures of the main window drawn in code, so that they stay sharp at any scale.
#pragma once

#include <QPainter>
#include <QPalette>
#include <QPixmap>

enum class Picture { Editing, NotEditing, UnitsDown, SecondF, Emblem };

// Paints a square picture of the given size (device-independent pixels) at the painter's origin,
// in colours that stay readable on the palette's window colour.
void PaintPicture(QPainter& painter, Picture picture, qreal size, const QPalette& palette);
// The same as a pixmap at a device pixel ratio.
QPixmap DrawPicture(Picture picture, int size, qreal dpr, const QPalette& palette = QPalette());

// Whether a palette is dark (light text on a dark window).
bool IsDarkPalette(const QPalette& palette);
// The blue of the second functions: dark on a light window, light on a dark one.
QColor AccentBlue(const QPalette& palette);
