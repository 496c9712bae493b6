// The pop-up menu of the stack and register windows.
#pragma once

#include <functional>
#include <vector>

class QMenu;
class QWidget;
class TKorbCalcForm;

// What differs between the two windows' menus.
struct ToolWindowMenuText {
    const char* menuName;
    const char* preferencesText;
    const char* clearName;
    const char* clearText;
};

// Builds a window's menu: Number Format, Preferences, the window's clear item, then Undo and Redo.
// It opens where the window or any of the given widgets on it is right-clicked.
QMenu* BuildToolWindowMenu(TKorbCalcForm& main, QWidget& window, const ToolWindowMenuText& text,
                           const std::function<void()>& clear, const std::vector<QWidget*>& openers);
