// Pictures of the main window drawn in code, so that they stay sharp at any scale.
#pragma once

#include <QPixmap>

enum class Picture { Editing, NotEditing, UnitsDown, SecondF, Emblem };

// A square picture of the given size in device-independent pixels.
QPixmap DrawPicture(Picture picture, int size, qreal dpr);
