// A toggle of the main window's panel (AutoConv, SI and US, Stck and Reg): a tool button that, while
// on, is filled with the palette's highlight, so that its state reads at a glance in either theme
// (a pressed-in bevel alone is faint in the light one and lost in the dark one).
#pragma once

#include <QToolButton>

class TToggleButton : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};
