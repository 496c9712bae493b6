// Look and help wiring shared by the dialogs.
#pragma once

#include <QEvent>
#include <QFont>
#include <QScreen>
#include <QWidget>

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

// Moves a window so that it sits in the middle of the screen its owner (or it) is on.
inline void CentreOnScreen(QWidget* window) {
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : window;
    const QScreen* screen = owner->screen();
    if (!screen) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->geometry().center());
    window->move(frame.topLeft());
}

// Centres a window on the screen each time it is shown.
class ScreenCentring : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent())
            CentreOnScreen(static_cast<QWidget*>(watched));
        return QObject::eventFilter(watched, event);
    }
};

inline void CentreOnScreenWhenShown(QWidget* window) {
    window->installEventFilter(new ScreenCentring(window));
}
