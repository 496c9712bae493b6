#include "ui/Theme.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <cmath>

#include "settings/ValueStore.h"

QPalette DarkPalette() {
    QPalette p;
    const QColor window(45, 45, 48), base(30, 30, 32), button(60, 60, 64), text(225, 225, 225);
    const QColor disabled(125, 125, 125), highlight(42, 110, 200);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, QColor(60, 60, 40));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(255, 90, 90));
    p.setColor(QPalette::Light, QColor(85, 85, 90));
    p.setColor(QPalette::Midlight, QColor(70, 70, 75));
    p.setColor(QPalette::Mid, QColor(40, 40, 42));
    p.setColor(QPalette::Dark, QColor(25, 25, 27));
    p.setColor(QPalette::Shadow, QColor(10, 10, 10));
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(120, 170, 255));
    p.setColor(QPalette::LinkVisited, QColor(180, 140, 255));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

namespace {

// Classes the platform may give a palette of their own.
const char* const kThemedClasses[] = {
    "QTextEdit",   "QTextControl",    "QLineEdit",       "QAbstractItemView", "QComboBox", "QAbstractSpinBox",
    "QToolButton", "QAbstractButton", "QHeaderView",     "QTabBar",           "QMenu",     "QMenuBar",
    "QLabel",      "QGroupBox",       "QMessageBoxLabel"};

} // namespace

LightLook CurrentLook() {
    LightLook look{QApplication::palette(), QApplication::style()->name(), {}};
    for (const char* name : kThemedClasses)
        look.classPalettes.emplace_back(name, QApplication::palette(name));
    return look;
}

void ApplyTheme(bool dark, const LightLook& light) {
    const QString style = dark ? QStringLiteral("fusion") : light.style;
    if (QApplication::style()->name().compare(style, Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStyleFactory::create(style));
    QApplication::setPalette(dark ? DarkPalette() : light.palette);
    for (const auto& [name, palette] : light.classPalettes)
        QApplication::setPalette(dark ? DarkPalette() : palette, name);
}

bool StoredDarkTheme(const ValueStore& store) {
    return store.ReadInteger(kDarkThemeValue, 0) != 0;
}

void StoreDarkTheme(ValueStore& store, bool dark) {
    store.WriteInteger(kDarkThemeValue, dark ? 1 : 0);
}

QColor ReadableOn(const QColor& wanted, const QColor& background, const QColor& fallback) {
    constexpr double least = 0.35; // lightness apart
    return std::abs(wanted.lightnessF() - background.lightnessF()) >= least ? wanted : fallback;
}
