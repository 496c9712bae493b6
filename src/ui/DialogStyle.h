// Look and help wiring shared by the dialogs.
#pragma once

#include <QFont>
#include <QWidget>

// Dynamic property holding a control's help context; F1 opens help at the focused control's value.
inline constexpr char kHelpContextProperty[] = "helpContext";

// The dialogs were laid out for an 11-pixel sans-serif face; keeping it makes their fixed sizes fit.
inline void ApplyDialogFont(QWidget* dialog) {
    QFont font("Arial");
    font.setPixelSize(11);
    dialog->setFont(font);
}

// Arial at a pixel height, optionally bold, for the few labels with a font of their own.
inline QFont ArialPixels(int pixels, bool bold) {
    QFont font("Arial");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
