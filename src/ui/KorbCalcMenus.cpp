// The main window's menu bar and the display's pop-up menu.
#include <QAction>
#include <QActionGroup>
#include <QMenuBar>
#include <tuple>

#include "ui/KorbCalcMainForm.h"

QAction* TKorbCalcForm::AddAction(QMenu* menu, const char* name, const char* text, const QKeySequence& key,
                                  std::function<void()> handler) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    actions_[name] = a;
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
    AddAction(edit, "Copy1", "&Copy", QKeySequence("Ctrl+C"), command(Command::Copy));
    AddAction(edit, "Paste1", "&Paste", QKeySequence("Ctrl+V"), command(Command::Paste));
    // The display shows a value rounded to the chosen places; this copies it as it is kept.
    AddAction(edit, "CopyFullPrecision1", "Copy Full Precision", QKeySequence("Ctrl+Shift+C"),
              [this] { CopyFullPrecisionClick(); });

    QMenu* view = bar->addMenu("&View");
    AddAction(view, "ShowStack1", "&Stack Form", QKeySequence(Qt::Key_F5), [this] {
        ShowStack1Click();
    })->setCheckable(true);
    AddAction(view, "ShowRegisters1", "&Register Form", QKeySequence(Qt::Key_F6), [this] {
        ShowRegisters1Click();
    })->setCheckable(true);
    view->addSeparator();
    AddAction(view, "DarkTheme1", "Dark Theme", {}, [this] {
        SetDarkTheme(actions_["DarkTheme1"]->isChecked());
    })->setCheckable(true);

    QMenu* mode = bar->addMenu("&Mode");
    AddAction(mode, "Menu2ndF", "2nd Function", QKeySequence(Qt::Key_F2), command(Command::SecondFunction))
        ->setCheckable(true);
    mode->addSeparator();
    auto* modeGroup = new QActionGroup(this);
    for (auto [name, text, mode_] : {std::tuple{"Calculator1", "&Calculator", Command::CalculatorMode},
                                     std::tuple{"FreeForm1", "&Free-Form", Command::FreeFormMode}}) {
        QAction* a = AddAction(mode, name, text, {}, command(mode_));
        a->setCheckable(true);
        modeGroup->addAction(a);
    }
    mode->addSeparator();
    auto* unitGroup = new QActionGroup(this);
    QAction* si = AddAction(mode, "SystemeInternationale1", "Systeme Internationale",
                            QKeySequence(Qt::Key_F3), command(Command::UnitSystemSI));
    QAction* us = AddAction(mode, "USCustomary1", "U.S. Customary", QKeySequence(Qt::Key_F4),
                            command(Command::UnitSystemUS));
    for (QAction* a : {si, us}) {
        a->setCheckable(true);
        unitGroup->addAction(a);
    }
    mode->addSeparator();
    AddAction(mode, "AutoConvert1", "Auto Convert", {}, command(Command::AutoConvert))->setCheckable(true);

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

QAction* TKorbCalcForm::Action(const QString& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}
