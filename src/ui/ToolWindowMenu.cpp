#include "ui/ToolWindowMenu.h"

#include <QAction>
#include <QMenu>

#include "ui/KorbCalcMainForm.h"

QMenu* BuildToolWindowMenu(TKorbCalcForm& main, QWidget& window, const ToolWindowMenuText& text,
                           const std::function<void()>& clear, const std::vector<QWidget*>& openers) {
    auto* menu = new QMenu(&window);
    menu->setObjectName(text.menuName);
    auto add = [&](const char* name, const char* caption, const QKeySequence& key,
                   std::function<void()> handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        // The menu shows the key; the main window's own Ctrl+P serves this tool window too, and a
        // second window-wide key here would make both ambiguous.
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetShortcut);
        QObject::connect(a, &QAction::triggered, &window, std::move(handler));
    };
    add("NumberFormat1", "&Number Format", {}, [&main] { main.FormatPrecision1Click(); });
    add("Preferences1", text.preferencesText, QKeySequence("Ctrl+P"), [&main] { main.Preferences1Click(); });
    menu->addSeparator();
    add(text.clearName, text.clearText, {}, clear);
    menu->addSeparator();
    main.AddUndoRedo(menu, &window);
    window.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&window, &QWidget::customContextMenuRequested, &window,
                     [menu, w = &window](const QPoint& p) { menu->popup(w->mapToGlobal(p)); });
    for (QWidget* w : openers) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(w, &QWidget::customContextMenuRequested, &window,
                         [menu, w](const QPoint& p) { menu->popup(w->mapToGlobal(p)); });
    }
    return menu;
}
