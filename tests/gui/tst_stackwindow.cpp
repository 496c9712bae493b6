// The stack window's list as a view of the engine: which rows the model announces for each stack
// command, the list's current row, loading at start, and drops onto the lists.
#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>
#include <utility>

#include "calc/CalcView.h"
#include "calc/StackCalc.h"
#include "settings/ValueStore.h"
#include "ui/KorbCalcMainForm.h"
#include "ui/RegisterFormUnit.h"
#include "ui/StackFormUnit.h"
#include "ui/StackListModel.h"
#include "units/Notation.h"
#include "units/NumberUnits.h"

namespace {

class QuietView : public CalcView {
public:
    std::string DisplayText() const override { return {}; }
    void SetDisplayText(const std::string&) override {}
    void ShowError(const std::string& m) override { errors << QString::fromStdString(m); }
    void ShowMessage(const std::string& m) override { errors << QString::fromStdString(m); }
    std::optional<std::string> RunUnitsSelector(const std::string&) override { return std::nullopt; }
    QStringList errors;
};

// Records a model's announcements as "inserted 3 3" (first, last row), "removed 2 2",
// "changed 1 2" and "reset".
class ModelLog : public QObject {
public:
    explicit ModelLog(QAbstractItemModel* model) {
        auto rows = [this](const char* what) {
            return [this, what](const QModelIndex&, int first, int last) {
                log << QStringLiteral("%1 %2 %3").arg(what).arg(first).arg(last);
            };
        };
        connect(model, &QAbstractItemModel::rowsInserted, this, rows("inserted"));
        connect(model, &QAbstractItemModel::rowsRemoved, this, rows("removed"));
        connect(model, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex& a, const QModelIndex& b) {
                    log << QStringLiteral("changed %1 %2").arg(a.row()).arg(b.row());
                });
        connect(model, &QAbstractItemModel::modelReset, this, [this] { log << "reset"; });
    }
    QStringList log;
};

QStringList Rows(const QAbstractItemModel& model) {
    QStringList rows;
    for (int i = 0; i < model.rowCount(); ++i) rows << model.index(i, 0).data().toString();
    return rows;
}

QStringList EngineRows(const StackCalc& stack) {
    QStringList rows;
    for (const auto& t : stack.StackListBox()) rows << QString::fromStdString(t);
    return rows;
}

bool WriteFile(const QString& name, const QByteArray& text) {
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

// A menu's items, one line each: name, caption, keys, where the keys work and whether it is
// enabled; "-" for a separator.
QStringList MenuLayout(const QMenu& menu) {
    QStringList rows;
    for (const QAction* a : menu.actions()) {
        if (a->isSeparator()) {
            rows << "-";
            continue;
        }
        QStringList keys;
        for (const QKeySequence& k : a->shortcuts()) keys << k.toString();
        rows << QStringList{a->objectName(), a->text(), keys.join(' '),
                            a->shortcutContext() == Qt::WidgetShortcut ? "widget" : "window",
                            a->isEnabled() ? "on" : "off"}
                    .join('|');
    }
    return rows;
}

} // namespace

class TestStackWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;

private slots:
    void initTestCase() { InitUnitTables(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir::setCurrent(dir_->path()));
    }
    void cleanup() {
        QDir::setCurrent(QDir::tempPath());
        dir_.reset();
    }

    void modelFollowsEachCommand_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("push") << "push" << QStringList{"inserted 3 3"}
                              << QStringList{"1.00 m", "2.00 m", "3.00 m", "4.00 ft"};
        QTest::newRow("pop") << "pop" << QStringList{"removed 2 2"} << QStringList{"1.00 m", "2.00 m"};
        QTest::newRow("swap") << "swap" << QStringList{"changed 1 2"}
                              << QStringList{"1.00 m", "3.00 m", "2.00 m"};
        QTest::newRow("bottom to the top")
            << "move" << QStringList{"changed 0 2"} << QStringList{"2.00 m", "3.00 m", "1.00 m"};
        QTest::newRow("clear the entries") << "clear" << QStringList{"reset"} << QStringList{};
        QTest::newRow("clear all") << "clear all" << QStringList{"reset"} << QStringList{};
        QTest::newRow("new format") << "format" << QStringList{"changed 0 2"}
                                    << QStringList{"1.0000 m", "2.0000 m", "3.0000 m"};
        QTest::newRow("load") << "load" << QStringList{"inserted 3 4"}
                              << QStringList{"1.00 m", "2.00 m", "3.00 m", "5.00 m", "6.00 ft"};
        QTest::newRow("failed push") << "bad push" << QStringList{}
                                     << QStringList{"1.00 m", "2.00 m", "3.00 m"};
        // A notice that does not fit the rows the model announced is answered by a reset.
        QTest::newRow("notice out of step")
            << "stray notice" << QStringList{"reset"} << QStringList{"1.00 m", "2.00 m", "4.00 ft", "3.00 m"};
    }
    void modelFollowsEachCommand() {
        QFETCH(QString, command);
        int notation = 2, places = 2; // fixed, two places
        QuietView view;
        StackCalc stack(view, notation, places);
        for (const char* v : {"1 m", "2 m", "3 m"}) QVERIFY(stack.Push(v));
        StackListModel model(stack);
        stack.SetObserver(model);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        ModelLog log(&model);
        QSignalSpy after(&model, &StackListModel::entriesChanged);

        if (command == "push") stack.Push("4 ft");
        if (command == "pop") stack.Pop();
        if (command == "swap") stack.SwapXY();
        if (command == "move") stack.MoveToTop(0);
        if (command == "clear") stack.ClearEntries();
        if (command == "clear all") stack.ClearAll();
        if (command == "bad push") stack.Push("4 fx");
        if (command == "format") {
            places = 4;
            stack.UpdateAll();
        }
        if (command == "load") {
            QVERIFY(WriteFile("SaveStck.dat", "5 m\r\n5 fx\r\n6 ft\r\n"));
            QVERIFY(stack.LoadStackFile("SaveStck.dat"));
        }
        if (command == "stray notice") {
            CalcObserver nobody;
            stack.SetObserver(nobody);
            stack.Push("4 ft"); // the model misses this one
            stack.SetObserver(model);
            stack.SwapXY(); // told as a change of rows 2-3, but the model has only 3 rows
        }

        QTEST(log.log, "log");
        QTEST(Rows(model), "rows");
        QCOMPARE(Rows(model), EngineRows(stack));
        QCOMPARE(after.count(), log.log.size());
    }

    // Through the main window: the stack list shows the loaded file once and follows pushes, pops
    // and swaps with the top entry as its current row.
    void stackWindowFollowsTheEngine() {
        QVERIFY(WriteFile("Meridot.ini",
                          "[Startup Options]\r\nShow_Stack = true\r\nSave_Stack = true\r\n"
                          "Save_Regs = false\r\nSave_Prefs = false\r\n"
                          "[Other Options]\r\nFract_Notation = Fixed\r\nDecimal_Places = 1\r\n"));
        QByteArray file;
        for (int i = 0; i < 500; ++i) file += QByteArray::number(i) + " m\r\n";
        QVERIFY(WriteFile("SaveStck.dat", file));
        MemoryValueStore store;
        TKorbCalcForm form(store);
        QStringList messages;
        form.messageHook = [&](const std::string& m) { messages << QString::fromStdString(m); };
        form.errorHook = form.messageHook;
        ModelLog log(form.StackModel());
        form.StartUp();
        QVERIFY(messages.isEmpty());
        // Loaded and shown once.
        QCOMPARE(log.log, QStringList{"inserted 0 499"});
        TDragListBox* list = form.StackForm()->StackListBox();
        QVERIFY(form.StackForm()->isVisible());
        QCOMPARE(list->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(list->count(), 500);
        QCOMPARE(list->currentRow(), 499);
        QCOMPARE(list->itemText(499), QString("499.0 m"));

        KorbCalc& calc = form.Engine();
        log.log.clear();
        calc.BtnEnterClick(); // duplicates the top
        calc.StackTopFlipBtnClick();
        QCOMPARE(list->currentRow(), 500);
        calc.BtnDelClick(); // the display shows the top: it is deleted
        QCOMPARE(list->currentRow(), 499);
        QCOMPARE(log.log, (QStringList{"inserted 500 500", "changed 499 500", "removed 500 500"}));
        QCOMPARE(Rows(*list->model()), EngineRows(calc.Stack()));

        // The user's own choice of row gives way to the top entry at the next change.
        list->setCurrentRow(3);
        calc.StackTopFlipBtnClick();
        QCOMPARE(list->currentRow(), 499);

        // A new number format shows every row anew in one announcement.
        log.log.clear();
        calc.ApplyNumberFormat(static_cast<int>(Notation::Fixed), 3);
        QCOMPARE(log.log, QStringList{"changed 0 499"});
        QCOMPARE(list->itemText(0), QString("0.000 m"));

        // Clear Stack Contents empties the list once.
        log.log.clear();
        form.StackForm()->findChild<QAction*>("ClearStackContents1")->trigger();
        QCOMPARE(log.log, QStringList{"reset"});
        QCOMPARE(list->count(), 0);
        QCOMPARE(list->currentRow(), -1);
    }

    // The stack and register windows' pop-up menus: their items in order, and Undo and Redo
    // following the engine's history. A right-click on the window or on any of its lists opens it.
    void toolWindowMenus_data() {
        QTest::addColumn<bool>("stack");
        QTest::addColumn<QString>("menuName");
        QTest::addColumn<QStringList>("head");
        QTest::newRow("stack") << true << "StackPopupMenu"
                               << QStringList{"NumberFormat1|&Number Format||widget|on",
                                              "Preferences1|Preferences|Ctrl+P|widget|on", "-",
                                              "ClearStackContents1|Clear Stack Contents||widget|on", "-"};
        QTest::newRow("registers") << false << "RegisterPopupMenu"
                                   << QStringList{"NumberFormat1|&Number Format||widget|on",
                                                  "Preferences1|P&references|Ctrl+P|widget|on", "-",
                                                  "ClearRegisterContents1|Clear Registers||widget|on", "-"};
    }
    void toolWindowMenus() {
        QFETCH(bool, stack);
        QFETCH(QString, menuName);
        QFETCH(QStringList, head);
        QVERIFY(WriteFile("Meridot.ini",
                          "[Startup Options]\r\nShow_Stack = true\r\nShow_Regs = true\r\n"
                          "Save_Stack = false\r\nSave_Regs = false\r\nSave_Prefs = false\r\n"));
        MemoryValueStore store;
        TKorbCalcForm form(store);
        form.messageHook = [](const std::string&) {};
        form.errorHook = [](const std::string& m) { QFAIL(m.c_str()); };
        form.StartUp();
        QWidget* window = stack ? static_cast<QWidget*>(form.StackForm()) : form.RegisterForm();
        QMenu* menu = stack ? form.StackForm()->StackPopupMenu() : form.RegisterForm()->RegisterPopupMenu();
        QCOMPARE(menu->objectName(), menuName);
        QCOMPARE(menu->parentWidget(), window);
        auto history = [](bool undo, bool redo) {
            return QStringList{QString("|&Undo|Ctrl+Z|window|%1").arg(undo ? "on" : "off"),
                               QString("|&Redo|Ctrl+Shift+Z Ctrl+Y|window|%1").arg(redo ? "on" : "off")};
        };
        QCOMPARE(MenuLayout(*menu), head + history(false, false));
        QVERIFY(form.Engine().EnterText("2 m"));
        QCOMPARE(MenuLayout(*menu), head + history(true, false));
        menu->actions().at(head.size())->trigger();
        QCOMPARE(form.Engine().Stack().Depth(), 0);
        QCOMPARE(MenuLayout(*menu), head + history(false, true));

        QList<QWidget*> openers{window};
        if (stack)
            openers << form.StackForm()->StackListBox();
        else
            for (int i = 0; i < StackCalc::RegisterCount; ++i)
                openers << form.RegisterForm()->RegisterList(i);
        for (QWidget* w : openers) {
            QCOMPARE(w->contextMenuPolicy(), Qt::CustomContextMenu);
            emit w->customContextMenuRequested(QPoint(3, 3));
            QTRY_VERIFY(menu->isVisible());
            // At the click; only pushed sideways where the screen ends.
            QCOMPARE(menu->pos().y(), w->mapToGlobal(QPoint(3, 3)).y());
            menu->hide();
        }
    }

    // Drops onto the lists: a register dropped on the stack list adds one row at the top; a stack
    // entry dropped on a register changes no row of the stack list.
    void dropsChangeOnlyTheirRows_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("register4");
        QTest::newRow("register onto the stack")
            << "lbReg0"
            << "StackListBox" << true << QStringList{"inserted 2 2"} << "0.00 ";
        QTest::newRow("stack onto a register") << "StackListBox"
                                               << "lbReg4" << true << QStringList{} << "1.00 m";
        QTest::newRow("register onto a register refused") << "lbReg0"
                                                          << "lbReg4" << false << QStringList{} << "0.00 ";
        QTest::newRow("stack onto the stack refused") << "StackListBox"
                                                      << "StackListBox" << false << QStringList{} << "0.00 ";
    }
    void dropsChangeOnlyTheirRows() {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QVERIFY(WriteFile("Meridot.ini",
                          "[Startup Options]\r\nShow_Stack = true\r\nShow_Regs = true\r\n"
                          "Save_Stack = false\r\nSave_Regs = false\r\nSave_Prefs = false\r\n"
                          "[Other Options]\r\nFract_Notation = Fixed\r\nDecimal_Places = 2\r\n"));
        MemoryValueStore store;
        TKorbCalcForm form(store);
        form.messageHook = [](const std::string&) {};
        form.errorHook = [](const std::string& m) { QFAIL(m.c_str()); };
        form.StartUp();
        KorbCalc& calc = form.Engine();
        QVERIFY(calc.EnterText("1 m") && calc.EnterText("2 m"));
        calc.SetRegister("7 ", 0);
        ModelLog log(form.StackModel());

        // Register 0, or the bottom stack entry.
        std::unique_ptr<QMimeData> mime(MakeListDragData({true, source.toStdString(), 0, 0}));
        TDragListBox* list = target == "StackListBox" ? form.StackForm()->StackListBox()
                                                      : form.RegisterForm()->RegisterList(4);
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &enter);
        QTEST(enter.isAccepted(), "accepted");
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &drop);
        QTEST(log.log, "log");
        QTEST(form.RegisterForm()->RegisterList(4)->itemText(0), "register4");
        QCOMPARE(form.StackForm()->StackListBox()->currentRow(), calc.Stack().Depth() - 1);
    }
};

QTEST_MAIN(TestStackWindow)
#include "tst_stackwindow.moc"
