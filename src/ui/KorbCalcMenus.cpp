// The main window's menu bar and the display's pop-up menu.
#include <QAction>
#include <QActionGroup>
#include <QMenuBar>
#include <QTextDocument>
#include <algorithm>
#include <utility>

#include "ui/KorbCalcMainForm.h"

QAction* TKorbCalcForm::AddAction(QMenu* menu, const char* name, const char* text, const QKeySequence& key,
                                  std::function<void()> handler) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    namedActions_.push_back(a);
    return a;
}

void TKorbCalcForm::BuildMenus() {
    auto command = [this](Command c) { return [this, c] { RunCommand(c); }; };
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");

    QMenu* calc = bar->addMenu("&Calculator");
    AddAction(calc, "Preferences1", "&Preferences", QKeySequence("Ctrl+P"), [this] { Preferences1Click(); });
    AddAction(calc, "ResetCalculator1", "&Clear/Reset", {}, [this] { ResetCalculator1Click(); });
    calc->addSeparator();
    AddAction(calc, "ExitPowerOff1", "E&xit", {}, [this] { close(); });

    QMenu* edit = bar->addMenu("&Edit");
    AddUndoRedo(edit, nullptr);
    edit->addSeparator();
    AddAction(edit, "Copy1", "&Copy", QKeySequence("Ctrl+C"), command(Command::Copy));
    AddAction(edit, "Paste1", "&Paste", QKeySequence("Ctrl+V"), command(Command::Paste));
    // The display shows a value rounded to the chosen places; this copies it as it is kept.
    AddAction(edit, "CopyFullPrecision1", "Copy Full Precision", QKeySequence("Ctrl+Shift+C"),
              [this] { CopyFullPrecisionClick(); });

    QMenu* view = bar->addMenu("&View");
    items_.showStack =
        AddAction(view, "ShowStack1", "&Stack Form", QKeySequence(Qt::Key_F5), [this] { ShowStack1Click(); });
    items_.showRegisters = AddAction(view, "ShowRegisters1", "&Register Form", QKeySequence(Qt::Key_F6),
                                     [this] { ShowRegisters1Click(); });
    view->addSeparator();
    items_.darkTheme = AddAction(view, "DarkTheme1", "Dark Theme", {},
                                 [this] { SetDarkTheme(items_.darkTheme->isChecked()); });
    for (QAction* a : {items_.showStack, items_.showRegisters, items_.darkTheme}) a->setCheckable(true);

    QMenu* mode = bar->addMenu("&Mode");
    items_.secondFunction = AddAction(mode, "Menu2ndF", "2nd Function", QKeySequence(Qt::Key_F2),
                                      command(Command::SecondFunction));
    items_.secondFunction->setCheckable(true);
    mode->addSeparator();
    items_.calculator = AddAction(mode, "Calculator1", "&Calculator", {}, command(Command::CalculatorMode));
    items_.freeForm = AddAction(mode, "FreeForm1", "&Free-Form", {}, command(Command::FreeFormMode));
    mode->addSeparator();
    items_.si = AddAction(mode, "SystemeInternationale1", "Systeme Internationale", QKeySequence(Qt::Key_F3),
                          command(Command::UnitSystemSI));
    items_.us = AddAction(mode, "USCustomary1", "U.S. Customary", QKeySequence(Qt::Key_F4),
                          command(Command::UnitSystemUS));
    for (auto [first, second] :
         {std::pair{items_.calculator, items_.freeForm}, std::pair{items_.si, items_.us}}) {
        auto* group = new QActionGroup(this);
        for (QAction* a : {first, second}) {
            a->setCheckable(true);
            group->addAction(a);
        }
    }
    mode->addSeparator();
    items_.autoConvert = AddAction(mode, "AutoConvert1", "Auto Convert", {}, command(Command::AutoConvert));
    items_.autoConvert->setCheckable(true);

    QMenu* shortcuts = bar->addMenu("&Shortcuts");
    AddAction(shortcuts, "StoretoRegister1", "&Store to Register", QKeySequence(Qt::Key_F7),
              command(Command::Store));
    AddAction(shortcuts, "RecallRegister1", "&Recall Register", QKeySequence(Qt::Key_F8),
              command(Command::Recall));
    shortcuts->addSeparator();
    AddAction(shortcuts, "UnitSelectorMenu1", "&Unit Selector Menu", QKeySequence(Qt::Key_F9),
              command(Command::SelectUnits));
    AddAction(shortcuts, "UnitConverterMenu1", "Unit &Converter Menu", QKeySequence(Qt::Key_F10),
              command(Command::ConvertUnits));
    AddAction(shortcuts, "DirectConvert1", "&Direct Convert", QKeySequence(Qt::Key_F11),
              command(Command::DirectConvert));
    shortcuts->addSeparator();
    AddAction(shortcuts, "XYStackSwap1", "&X<=>Y (Swap)", QKeySequence(Qt::Key_F12), command(Command::Swap));

    QMenu* help = bar->addMenu("&Help");
    AddAction(help, "HelpFile", "&Help", QKeySequence(Qt::Key_F1), [this] { HelpFileClick(); });
    AddAction(help, "Contents1", "&Contents", {}, [this] { Contents1Click(); });
    AddAction(help, "KeywordSearch1", "&Keyword Search", {}, [this] { KeywordSearch1Click(); });
    help->addSeparator();
    AddAction(help, "About1", "&About Calculator", {}, [this] { About1Click(); });
    AddAction(help, "ViewReadme1", "&View Readme", {}, [this] { ViewReadme1Click(); });

    // The display's pop-up menu; its shortcuts are those of the main menu, shown for reference.
    popup_ = new QMenu(this);
    popup_->setObjectName("PopupMenu1");
    auto popupItem = [this](const char* name, const char* text, const QKeySequence& key, auto handler) {
        QAction* a = AddAction(popup_, name, text, {}, handler);
        if (!key.isEmpty()) a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetShortcut);
    };
    popupItem("Copy2", "&Copy", QKeySequence("Ctrl+C"), command(Command::Copy));
    popupItem("Paste2", "&Paste", QKeySequence("Ctrl+V"), command(Command::Paste));
    popup_->addSeparator();
    popupItem("FormatPrecision1", "&Number Format", {}, [this] { FormatPrecision1Click(); });
    popupItem("Font", "&Font...", {}, [this] { FontClick(); });
    popupItem("Preferences2", "P&references", QKeySequence("Ctrl+P"), [this] { Preferences1Click(); });
}

void TKorbCalcForm::AddUndoRedo(QMenu* menu, QWidget* window) {
    auto item = [&](const char* text, QList<QKeySequence> keys, void (TKorbCalcForm::*handler)()) {
        QAction* a = menu->addAction(text);
        a->setObjectName(window ? QString() : QString(text).remove('&') + "1");
        a->setShortcuts(keys);
        a->setEnabled(false);
        if (window) window->addAction(a); // the shortcuts work in that window too
        connect(a, &QAction::triggered, this, handler);
        if (!window) namedActions_.push_back(a);
        return a;
    };
    undoActions_.push_back(item("&Undo", {QKeySequence("Ctrl+Z")}, &TKorbCalcForm::UndoClick));
    redoActions_.push_back(
        item("&Redo", {QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}, &TKorbCalcForm::RedoClick));
}

void TKorbCalcForm::UndoClick() {
    // While a value is being typed, undo takes the typing back: the display's own undo while it
    // has one, then the whole typed entry. Only a completed value leads to the last command.
    if (engine_->State().Entered)
        RunCommand(Command::Undo);
    else if (display_->document()->isUndoAvailable())
        display_->undo();
    else
        Run([this] { engine_->CancelEntry(); });
}

void TKorbCalcForm::RedoClick() {
    if (!engine_->State().Entered && display_->document()->isRedoAvailable())
        display_->redo();
    else
        RunCommand(Command::Redo);
}

void TKorbCalcForm::SetUndoState(bool canUndo, bool canRedo) {
    for (QAction* a : undoActions_) a->setEnabled(canUndo);
    for (QAction* a : redoActions_) a->setEnabled(canRedo);
}

QAction* TKorbCalcForm::Action(const QString& name) const {
    const auto it = std::find_if(namedActions_.begin(), namedActions_.end(),
                                 [&](const QAction* a) { return a->objectName() == name; });
    return it == namedActions_.end() ? nullptr : *it;
}
