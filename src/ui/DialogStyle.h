// Look and help wiring shared by the dialogs.
#pragma once

#include <QEvent>
#include <QFont>
#include <QLayout>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <algorithm>

// Dynamic property holding a control's help context; F1 opens help at the focused control's value.
inline constexpr char kHelpContextProperty[] = "helpContext";

// The help contexts the windows carry and F1 passes on.
namespace HelpContexts {
inline constexpr int Keypad = 10;    // main window, display and keypad
inline constexpr int Other = 1;      // any other control of the main window
inline constexpr int Units = 11;     // units selector
inline constexpr int Stack = 20;     // stack window
inline constexpr int Registers = 21; // register window
} // namespace HelpContexts

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

// The first of the families that is installed, or an empty name (the default face) when none is.
QString PresentFamily(const QStringList& families);
// The font at its own pixel size, or smaller (down to `smallest` pixels) until `text` fits in `box`
// with `margin` pixels to spare on each side: the captions were drawn for one face, and the
// machine may only have wider ones.
QFont FontToFit(QFont font, const QString& text, QSize box, int margin, int smallest = 7);

// A dialog's fixed size: the one it was designed at, or larger where its contents need more room in
// the fonts present, never larger than its screen. Measured again each time it is shown.
void FixSizeToFit(QWidget* dialog, QSize designed);
// Measures such a dialog anew now (its contents changed).
void FitToContents(QWidget* dialog);

// Moves a window so that it sits in the middle of the screen its owner (or it) is on.
void CentreOnScreen(QWidget* window);

// Centres a window on the screen each time it is shown.
class ScreenCentring : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent()) {
            FitToContents(static_cast<QWidget*>(watched));
            CentreOnScreen(static_cast<QWidget*>(watched));
        }
        return QObject::eventFilter(watched, event);
    }
};

inline void CentreOnScreenWhenShown(QWidget* window) {
    window->installEventFilter(new ScreenCentring(window));
}
