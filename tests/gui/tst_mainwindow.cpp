// End-to-end tests of the calculator's windows under the offscreen platform: start-up with and
// without saved files, keys from every control, the display as a text field, drag and drop,
// reset and the close-time saving.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <optional>
#include <stdexcept>

#include "gui/start_form.h"
#include "settings/ValueStore.h"
#include "support/unit_engine_scope.h"
#include "ui/ErrWindowForm.h"
#include "ui/KeyTranslate.h"
#include "ui/KorbCalcMainForm.h"
#include "ui/PreferencesForm.h"
#include "ui/RegisterFormUnit.h"
#include "ui/ResetCalcForm.h"
#include "ui/StackFormUnit.h"

namespace {

void WriteFile(const QString& name, const QByteArray& text) {
    QFile f(name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QByteArray ReadFile(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A preferences file with the given start-up and saving switches; Fixed notation, 2 places.
QByteArray PrefsText(bool showWindows, bool loadFiles, bool savePrefs) {
    auto b = [](bool v) { return v ? "true" : "false"; };
    return QStringLiteral("; test\r\n[Startup Options]\r\nShow_Stack = %1\r\nShow_Regs = %1\r\n"
                          "Calc_Pos = 300, 200\r\nSave_Prefs = %3\r\nSave_Stack = %2\r\nSave_Regs = %2\r\n"
                          "[Free Form Mode Options]\r\nCopy_Operators = true\r\n"
                          "[Other Options]\r\nFract_Notation = Fixed\r\nDecimal_Places = 2\r\n")
        .arg(b(showWindows), b(loadFiles), b(savePrefs))
        .toLatin1();
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    MemoryValueStore store_;
    std::optional<UnitEngineScope> unitEngine_; // outlives the form, whose engine sets the unit flags
    std::unique_ptr<TKorbCalcForm> form_;
    QStringList messages_;
    QStringList errors_;

    // Builds and starts the program in the temporary directory, recording its messages.
    TKorbCalcForm& Start() {
        form_ = StartForm(store_, messages_, errors_);
        return *form_;
    }
    QString Display() const { return QString::fromStdString(form_->DisplayText()); }
    QPushButton* Button(const char* name) const { return form_->findChild<QPushButton*>(name); }
    KorbCalc& Calc() { return form_->Engine(); }
    // Pushes values as typed entries through the Enter button.
    void Push(std::initializer_list<const char*> values) {
        for (const char* v : values) {
            QTest::keyClicks(Button("BtnEnter"), v);
            QTest::keyClick(Button("BtnEnter"), Qt::Key_Return);
        }
    }
    // A double-click as the window system delivers it: press, release, double-click.
    static void DoubleClick(TDragListBox* list, int row) {
        const QPoint at = list->rowRect(row).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &dbl);
    }
    QStringList StackItems() const {
        QStringList items;
        for (const auto& t : form_->Engine().Stack().StackListBox()) items << QString::fromStdString(t);
        return items;
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir::setCurrent(dir_->path()));
        unitEngine_.emplace();
        store_.values.clear();
        messages_.clear();
        errors_.clear();
    }
    void cleanup() {
        form_.reset();
        unitEngine_.reset();
        QDir::setCurrent(QDir::tempPath());
        dir_.reset();
    }

    void startUpWithoutFiles() {
        TKorbCalcForm& form = Start();
        QCOMPARE(messages_, QStringList({"Can't load Prefs from INI file: Meridot.ini",
                                         "Error loading stack file.", "Error loading register file."}));
        QCOMPARE(form.windowTitle(), QString("Meridot"));
        QCOMPARE(form.centralWidget()->size(), QSize(377, 224));
        QCOMPARE(Display(), QString("0"));
        QVERIFY(Calc().State().Entered);
        // Free-form mode by default; the mode items are in the Mode menu, the mode buttons hidden.
        QVERIFY(!Calc().State().CalcMode);
        QVERIFY(form.Action("FreeForm1")->isChecked());
        for (const char* name : {"Calculator1", "FreeForm1"}) QVERIFY(form.Action(name)->isVisible());
        for (const char* name : {"CalcModeBtn", "FFModeBtn"})
            QVERIFY(!form.findChild<QToolButton*>(name)->isVisible());
        QVERIFY(!form.StackForm()->isVisible());
        QVERIFY(!form.RegisterForm()->isVisible());
        // The defaults were written at once, with the window where it was laid out.
        const QByteArray ini = ReadFile("Meridot.ini");
        QVERIFY(ini.contains("Calc_Pos = 274, 159\r\n"));
        QVERIFY(ini.contains("Fract_Notation = Fixed\r\n"));
        QCOMPARE(QString::fromStdString(store_.values["CalcMode"]), QString("0"));
    }

    void startUpWithFiles() {
        WriteFile("Meridot.ini", PrefsText(true, true, false));
        WriteFile("SaveStck.dat", "12 ft\r\n12 fx\r\n3 \r\n");
        WriteFile("SaveRegs.dat", "1 \r\n2.5 lbf\r\n");
        store_.values["CalcMode"] = "1";
        TKorbCalcForm& form = Start();
        QVERIFY(messages_.isEmpty());
        QVERIFY(Calc().State().CalcMode);
        QCOMPARE(form.pos(), QPoint(300, 200));
        // The misspelled line is dropped; the top entry is shown in the file's format.
        QCOMPARE(StackItems(), QStringList({"12.00 ft", "3.00 "}));
        QCOMPARE(form.StackForm()->StackListBox()->count(), 2);
        QCOMPARE(Display(), QString("3.00 "));
        QVERIFY(form.StackForm()->isVisible());
        QVERIFY(form.RegisterForm()->isVisible());
        QVERIFY(form.Action("ShowStack1")->isChecked());
        QVERIFY(form.findChild<QToolButton*>("ShowRegsBtn")->isChecked());
        QCOMPARE(form.RegisterForm()->RegisterList(1)->itemText(0), QString("2.50 lbf"));
        QCOMPARE(form.RegisterForm()->RegisterList(9)->itemText(0), QString("0.00 "));
    }

    void addingLengthsFromTheKeyboard() {
        Start();
        Push({"12ft", "6in"});
        QTest::mouseClick(Button("BtnAdd"), Qt::LeftButton);
        QCOMPARE(Display(), QString("12.5000000 ft"));
        QCOMPARE(StackItems(), QStringList({"12.5000000 ft"}));
        QVERIFY(errors_.isEmpty());
        QCOMPARE(QApplication::focusWidget(), Button("BtnEnter"));
    }

    void keysReachTheMap_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QList<int>>("keys"); // key | modifiers
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("depth");
        const int kp = Qt::KeypadModifier, sh = Qt::ShiftModifier;
        QTest::newRow("window digits") << "" << QList<int>{Qt::Key_1, Qt::Key_2} << "12" << 0;
        QTest::newRow("digit on a digit button") << "Btn7" << QList<int>{Qt::Key_3} << "3" << 0;
        QTest::newRow("keypad digit") << "BtnAdd" << QList<int>{Qt::Key_4 | kp} << "4" << 0;
        QTest::newRow("keypad plus types")
            << "BtnDel" << QList<int>{Qt::Key_1, Qt::Key_Plus | kp} << "1+" << 0;
        QTest::newRow("shifted 6 types a caret")
            << "BtnEnter" << QList<int>{Qt::Key_2, Qt::Key_AsciiCircum | sh, Qt::Key_3} << "2^3" << 0;
        QTest::newRow("shifted letter") << "SqrRtBtn" << QList<int>{Qt::Key_1, Qt::Key_M | sh} << "1M" << 0;
        QTest::newRow("space does not press")
            << "BtnEnter" << QList<int>{Qt::Key_5, Qt::Key_Space} << "5" << 0;
        QTest::newRow("backspace") << "BtnEnter" << QList<int>{Qt::Key_1, Qt::Key_2, Qt::Key_Backspace} << "1"
                                   << 0;
        QTest::newRow("keypad enter pushes")
            << "Btn9" << QList<int>{Qt::Key_7, Qt::Key_Enter | kp} << "7.0000000 " << 1;
        QTest::newRow("a typed zero keeps its units")
            << "BtnEnter" << QList<int>{Qt::Key_0, Qt::Key_C | sh, Qt::Key_Return} << "0.0000000 C" << 1;
        // Keys held with Ctrl, Alt or Meta never type, also with nothing to undo or redo.
        const int ct = Qt::ControlModifier, alt = Qt::AltModifier, meta = Qt::MetaModifier;
        QTest::newRow("ctrl letters on the idle display")
            << "BtnEnter" << QList<int>{Qt::Key_Z | ct, Qt::Key_Y | ct, Qt::Key_A | ct} << "0" << 0;
        QTest::newRow("ctrl letters after a digit")
            << ""
            << QList<int>{Qt::Key_1, Qt::Key_S | ct, Qt::Key_Q | ct, Qt::Key_W | ct, Qt::Key_Z | ct | sh}
            << "1" << 0;
        QTest::newRow("ctrl digit") << "BtnEnter" << QList<int>{Qt::Key_1, Qt::Key_5 | ct} << "1" << 0;
        QTest::newRow("alt and meta letters")
            << "BtnEnter" << QList<int>{Qt::Key_2, Qt::Key_J | alt, Qt::Key_K | meta, Qt::Key_3 | alt} << "2"
            << 0;
    }
    void keysReachTheMap() {
        QFETCH(QString, target);
        QFETCH(QList<int>, keys);
        Start();
        QWidget* w = target.isEmpty() ? static_cast<QWidget*>(form_.get()) : Button(qPrintable(target));
        QVERIFY(w);
        for (int k : keys)
            QTest::keyClick(w, static_cast<Qt::Key>(k & ~Qt::KeyboardModifierMask),
                            Qt::KeyboardModifiers(k & Qt::KeyboardModifierMask));
        QTEST(Display(), "display");
        QTEST(Calc().Stack().Depth(), "depth");
    }

    void translateKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("code"); // 0: not a key of the map
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("ctrl");
        const int kp = Qt::KeypadModifier, sh = Qt::ShiftModifier, ct = Qt::ControlModifier;
        QTest::newRow("digit") << int(Qt::Key_7) << 0 << 55 << false << false;
        QTest::newRow("keypad digit") << int(Qt::Key_7) << kp << 103 << false << false;
        QTest::newRow("ctrl 8") << int(Qt::Key_8) << ct << 56 << false << true;
        QTest::newRow("exclamation is shift 1") << int(Qt::Key_Exclam) << sh << 49 << true << false;
        QTest::newRow("at sign is shift 2") << int(Qt::Key_At) << sh << 50 << true << false;
        QTest::newRow("right parenthesis is shift 0") << int(Qt::Key_ParenRight) << sh << 48 << true << false;
        QTest::newRow("main asterisk is shift 8") << int(Qt::Key_Asterisk) << sh << 56 << true << false;
        QTest::newRow("keypad asterisk") << int(Qt::Key_Asterisk) << kp << 106 << false << false;
        QTest::newRow("keypad plus") << int(Qt::Key_Plus) << kp << 107 << false << false;
        QTest::newRow("keypad minus") << int(Qt::Key_Minus) << kp << 109 << false << false;
        QTest::newRow("keypad point") << int(Qt::Key_Period) << kp << 110 << false << false;
        QTest::newRow("keypad slash") << int(Qt::Key_Slash) << kp << 111 << false << false;
        QTest::newRow("plus is shift equals") << int(Qt::Key_Plus) << sh << 187 << true << false;
        QTest::newRow("equals") << int(Qt::Key_Equal) << 0 << 187 << false << false;
        QTest::newRow("minus") << int(Qt::Key_Minus) << 0 << 189 << false << false;
        QTest::newRow("underscore") << int(Qt::Key_Underscore) << sh << 189 << true << false;
        QTest::newRow("ctrl slash") << int(Qt::Key_Slash) << ct << 191 << false << true;
        QTest::newRow("question mark") << int(Qt::Key_Question) << sh << 191 << true << false;
        QTest::newRow("capital letter") << int(Qt::Key_F) << sh << 70 << true << false;
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << kp << 13 << false << false;
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << 8 << false << false;
        QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << 46 << false << false;
        QTest::newRow("function key") << int(Qt::Key_F5) << 0 << 0 << false << false;
        QTest::newRow("space") << int(Qt::Key_Space) << 0 << 0 << false << false;
        QTest::newRow("ctrl letter") << int(Qt::Key_Z) << ct << 90 << false << true;
        QTest::newRow("alt letter") << int(Qt::Key_A) << int(Qt::AltModifier) << 0 << false << false;
        QTest::newRow("meta digit") << int(Qt::Key_4) << int(Qt::MetaModifier) << 0 << false << false;
        QTest::newRow("alt enter") << int(Qt::Key_Return) << int(Qt::AltModifier) << 13 << false << false;
    }
    void translateKeys() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, code);
        const auto mapped = TranslateKey(key, modifiers);
        QCOMPARE(mapped.has_value(), code != 0);
        if (!mapped) return;
        QCOMPARE(mapped->code, code);
        QTEST(mapped->shift, "shift");
        QTEST(mapped->ctrl, "ctrl");
    }

    void displayEditsItselfWhileFocused() {
        Start();
        TDisplay* display = form_->Display();
        display->setFocus(Qt::MouseFocusReason);
        QVERIFY(Calc().State().DisplayFocused);
        QTest::keyClick(display, Qt::Key_Backspace);
        QTest::keyClicks(display, "5 ft");
        QVERIFY(!Calc().State().Entered);
        QVERIFY(form_->findChild<QLabel*>("IsEditingImg")->isVisible());
        QCOMPARE(Display(), QString("5 ft"));
        QTest::keyClick(display, Qt::Key_Return);
        QCOMPARE(StackItems(), QStringList({"5.0000000 ft"}));
        QVERIFY(!Calc().State().DisplayFocused);
        QVERIFY(Calc().State().Entered);
        // Text the program sets while the display is not focused is no user edit.
        form_->SetDisplayText("7");
        QVERIFY(Calc().State().Entered);
        // Ctrl+V in the focused display is the window's paste, which pushes what it pastes.
        display->setFocus(Qt::MouseFocusReason);
        QApplication::clipboard()->setText("3 in");
        QTest::keyClick(display, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(StackItems().value(StackItems().size() - 1), QString("3.0000000 in"));
    }

    void ctrlZUndoesTheCommandOrTheTyping() {
        Start();
        QAction* undo = form_->Action("Undo1");
        QAction* redo = form_->Action("Redo1");
        QVERIFY(undo && redo);
        QVERIFY(!undo->isEnabled());
        Push({"1", "2"});
        form_->RunCommand(Command::Add);
        QCOMPARE(StackItems().size(), 1);
        QVERIFY(undo->isEnabled());
        QVERIFY(!redo->isEnabled());

        // On a displayed result Ctrl+Z undoes the last command and shows the top.
        QTest::keyClick(Button("BtnEnter"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(StackItems().size(), 2);
        QCOMPARE(Display().trimmed().toDouble(), 2.0);
        QVERIFY(redo->isEnabled());
        QTest::keyClick(Button("BtnEnter"), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(StackItems().size(), 1);
        QTest::keyClick(Button("BtnEnter"), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(Button("BtnEnter"), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(StackItems().size(), 1);

        // While a value is typed in the display, Ctrl+Z undoes the typing and leaves the stack.
        TDisplay* display = form_->Display();
        display->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(display, Qt::Key_End);
        QTest::keyClicks(display, "45");
        QVERIFY(!Calc().State().Entered);
        const QString typed = Display();
        QTest::keyClick(display, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(Display() != typed);
        QVERIFY(!Display().contains("45"));
        QCOMPARE(StackItems().size(), 1);

        // In calculator mode the typed digits go first, then the last command.
        form_->RunCommand(Command::CalculatorMode);
        QTest::keyClicks(Button("BtnEnter"), "78");
        QVERIFY(!Calc().State().Entered);
        QTest::keyClick(Button("BtnEnter"), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(Calc().State().Entered);
        QCOMPARE(StackItems().size(), 1);
        QCOMPARE(Display().trimmed().toDouble(), 3.0);
        QTest::keyClick(Button("BtnEnter"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(StackItems().size(), 2);
    }

    void dragAndDrop_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("index"); // dragged stack item, or register number
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("stack");
        QTest::addColumn<QString>("register4");
        const QStringList start{"1.0000000 ", "2.0000000 ft", "3.0000000 "};
        QTest::newRow("stack to register")
            << "StackListBox" << 1 << "lbReg4" << true << start << "2.0000000 ft";
        QTest::newRow("register to stack")
            << "lbReg0" << 0 << "StackListBox" << true << (start + QStringList{"7.0000000 "}) << "0.0000000 ";
        QTest::newRow("register to register refused")
            << "lbReg0" << 0 << "lbReg4" << false << start << "0.0000000 ";
        QTest::newRow("stack to stack refused")
            << "StackListBox" << 0 << "StackListBox" << false << start << "0.0000000 ";
        QTest::newRow("stack to display") << "StackListBox" << 0 << "Display" << true
                                          << (start + QStringList{"1.0000000 "}) << "0.0000000 ";
        QTest::newRow("register to display")
            << "lbReg0" << 0 << "Display" << true << (start + QStringList{"7.0000000 "}) << "0.0000000 ";
    }
    void dragAndDrop() {
        QFETCH(QString, source);
        QFETCH(int, index);
        QFETCH(QString, target);
        Start();
        Push({"1", "2 ft", "3"});
        Calc().SetRegister("7 ", 0);
        form_->ShowRegisters1Click();
        form_->ShowStack1Click();
        const int tag = source == "StackListBox" ? 0 : index;
        const int item = source == "StackListBox" ? index : 0;
        std::unique_ptr<QMimeData> mime(MakeListDragData({true, source.toStdString(), tag, item}));
        QWidget* widget = target == "Display" ? static_cast<QWidget*>(form_->Display())
                          : target == "StackListBox"
                              ? static_cast<QWidget*>(form_->StackForm()->StackListBox())
                              : static_cast<QWidget*>(form_->RegisterForm()->RegisterList(4));
        QWidget* viewport = static_cast<QAbstractScrollArea*>(widget)->viewport();
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QTEST(enter.isAccepted(), "accepted");
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        QTEST(StackItems(), "stack");
        QCOMPARE(form_->StackForm()->StackListBox()->count(), StackItems().size());
        QTEST(form_->RegisterForm()->RegisterList(4)->itemText(0), "register4");
        QVERIFY(errors_.isEmpty());
    }

    void stackListMovesAnEntryToTheTop() {
        Start();
        Push({"1", "2", "3"});
        form_->ShowStack1Click();
        TDragListBox* list = form_->StackForm()->StackListBox();
        DoubleClick(list, 0);
        QCOMPARE(StackItems(), QStringList({"2.0000000 ", "3.0000000 ", "1.0000000 "}));
        QCOMPARE(Display(), QString("1.0000000 "));
        // Enter in the list does the same and keeps the selection where it was.
        list->setCurrentRow(1);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(StackItems(), QStringList({"2.0000000 ", "1.0000000 ", "3.0000000 "}));
        QCOMPARE(list->currentRow(), 1);
        QCOMPARE(Display(), QString("3.0000000 "));
    }

    void clearCommandsLeaveTheOtherWindow_data() {
        QTest::addColumn<bool>("clearStack");
        QTest::newRow("Clear Stack Contents") << true;
        QTest::newRow("Clear Registers") << false;
    }
    void clearCommandsLeaveTheOtherWindow() {
        QFETCH(bool, clearStack);
        Start();
        Push({"1 ft", "2 ft"});
        Calc().Run(Command::Store);
        Calc().keyPress('3');
        form_->ShowStack1Click();
        form_->ShowRegisters1Click();
        const char* item = clearStack ? "ClearStackContents1" : "ClearRegisterContents1";
        QWidget* window = clearStack ? static_cast<QWidget*>(form_->StackForm()) : form_->RegisterForm();
        QAction* clear = window->findChild<QAction*>(item);
        QVERIFY(clear);
        clear->trigger();
        QCOMPARE(form_->StackForm()->StackListBox()->count(), clearStack ? 0 : 2);
        QCOMPARE(form_->RegisterForm()->RegisterList(3)->itemText(0),
                 clearStack ? QString("2.0000000 ft") : QString("0.0000000 "));
        QCOMPARE(Display(), clearStack ? QString("0") : QString("2.0000000 ft"));
        // A double-click on a register recalls it.
        auto* reg3 = form_->RegisterForm()->RegisterList(3);
        const int depth = Calc().Stack().Depth();
        DoubleClick(reg3, 0);
        QCOMPARE(Calc().Stack().Depth(), depth + 1);
        QCOMPARE(Display(), reg3->itemText(0));
    }

    // The preferences dialog hands the unit system and AutoConvert to the engine's commands, which
    // set the program-wide flags, reselect the preferred units and put the toggles in step.
    void preferencesOkAppliesUnitSystemAndAutoConvert() {
        Start();
        TPrefForm* prefs = form_->PrefForm();
        QTimer::singleShot(0, prefs, [prefs] {
            prefs->rbUS->click();
            prefs->fmoAutoConvert->click(); // off
            prefs->BtnOK->click();
        });
        form_->Preferences1Click();
        QVERIFY(!UnitSystem);
        QVERIFY(!AutoConvert);
        QCOMPARE(PreferredUnit(1), std::string("ft"));
        auto* us = form_->findChild<QToolButton*>("USBtn");
        QVERIFY(us->isChecked() && !us->isEnabled());
        QVERIFY(!form_->findChild<QToolButton*>("SIBtn")->isChecked());
        QVERIFY(!form_->findChild<QToolButton*>("AutoConvertBtn")->isChecked());
        QVERIFY(form_->Action("USCustomary1")->isChecked() && !form_->Action("USCustomary1")->isEnabled());
        QVERIFY(!form_->Action("AutoConvert1")->isChecked());
    }

    void stackWindowCloseBoxAndMinimumSize() {
        Start();
        form_->ShowStack1Click();
        TStackForm* stack = form_->StackForm();
        QVERIFY(stack->isVisible());
        // Beside the main window, or as near to it as the screen allows.
        const int screenRight = stack->screen()->availableGeometry().right() + 1;
        QCOMPARE(stack->pos().x(),
                 std::min(form_->frameGeometry().right() + 1, screenRight - stack->frameGeometry().width()));
        stack->resize(100, 40);
        stack->FormDeactivate();
        QCOMPARE(stack->size(), QSize(194, 69));
        stack->move(500, 400);
        stack->close();
        QVERIFY(!stack->isVisible());
        QVERIFY(!form_->Action("ShowStack1")->isChecked());
        QVERIFY(!form_->findChild<QToolButton*>("ShowStackBtn")->isChecked());
        QCOMPARE(form_->Prefs().StackPos, (WindowPos{500, 400}));
        // F5 shows it again beside the main window, as no position is kept.
        QTest::keyClick(form_.get(), Qt::Key_F5);
        QVERIFY(stack->isVisible());
        QVERIFY(form_->Action("ShowStack1")->isChecked());
        QCOMPARE(stack->pos(), QPoint(std::min(form_->frameGeometry().right() + 1,
                                               screenRight - stack->frameGeometry().width()),
                                      form_->frameGeometry().top()));
    }

    void escapingErrorsAreShownInTheMessageBox() {
        Start();
        form_->unitsSelectorHook = [](const std::string&) -> std::optional<std::string> {
            throw std::runtime_error("selector failed");
        };
        QTest::mouseClick(Button("SelectUnitsBtn"), Qt::LeftButton);
        QCOMPARE(messages_.value(messages_.size() - 1), QString("selector failed"));
        QCOMPARE(Calc().Stack().Depth(), 0);
        // The program goes on taking keys.
        QTest::keyClick(Button("BtnEnter"), Qt::Key_4);
        QCOMPARE(Display(), QString("4"));
    }

    void reset_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes clears") << true;
        QTest::newRow("no keeps") << false;
    }
    void reset() {
        QFETCH(bool, yes);
        Start();
        Push({"4 ft"});
        Calc().SetRegister("5 ", 2);
        QTimer::singleShot(0, this, [yes] {
            auto* dialog = qobject_cast<TResetCalcDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QTest::mouseClick(yes ? dialog->BtnYes : dialog->BtnNo, Qt::LeftButton);
        });
        form_->Action("ResetCalculator1")->trigger();
        QCOMPARE(Calc().Stack().Depth(), yes ? 0 : 1);
        QCOMPARE(QString::fromStdString(Calc().Stack().Register(2)), yes ? QString("0") : QString("5 "));
        QCOMPARE(Display(), yes ? QString("0") : QString("4.0000000 ft"));
    }

    void dialogsOpenInTheMiddleOfTheScreen_data() {
        QTest::addColumn<QString>("item"); // menu item; empty: the error window
        QTest::newRow("preferences") << "Preferences1";
        QTest::newRow("reset") << "ResetCalculator1";
        QTest::newRow("about") << "About1";
        QTest::newRow("readme") << "ViewReadme1";
        QTest::newRow("error window") << "";
    }
    void dialogsOpenInTheMiddleOfTheScreen() {
        QFETCH(QString, item);
        Start();
        // Away from the screen's middle, so that centring on the main window would show.
        form_->move(0, 0);
        QPoint centre;
        QTimer::singleShot(0, this, [&centre] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            centre = dialog->frameGeometry().center();
            dialog->close();
        });
        if (item.isEmpty())
            form_->ErrWindow()->ShowError("Divide by zero");
        else
            form_->Action(item)->trigger();
        QVERIFY((centre - form_->screen()->geometry().center()).manhattanLength() <= 1);
    }

    void closeSavesOnlyWithSavePrefs_data() {
        QTest::addColumn<bool>("savePrefs");
        QTest::newRow("Save_Prefs on") << true;
        QTest::newRow("Save_Prefs off") << false;
    }
    void closeSavesOnlyWithSavePrefs() {
        QFETCH(bool, savePrefs);
        // Loading the files is off, so their writing depends on Save_Prefs alone.
        const QByteArray prefs = PrefsText(false, false, savePrefs);
        WriteFile("Meridot.ini", prefs);
        Start();
        Push({"12 ft"});
        Calc().SetRegister("3 ", 1);
        form_->Action("ExitPowerOff1")->trigger();
        QVERIFY(!form_->isVisible());
        QCOMPARE(QFile::exists("SaveStck.dat"), savePrefs);
        QCOMPARE(QFile::exists("SaveRegs.dat"), savePrefs);
        QCOMPARE(ReadFile("Meridot.ini") == prefs, !savePrefs);
        QCOMPARE(store_.values.count("CalcMode") == 1, savePrefs);
        if (savePrefs) {
            QVERIFY(ReadFile("SaveStck.dat").startsWith("12"));
            QCOMPARE(ReadFile("SaveRegs.dat").count("\r\n"), 10);
        }
    }

    void helpOpensTheFocusedControlsContext() {
        Start();
        QList<int> contexts;
        form_->helpHook = [&](int context) { contexts << context; };
        Button("BtnDel")->setFocus();
        form_->Action("HelpFile")->trigger();
        form_->Display()->setFocus();
        form_->Action("HelpFile")->trigger();
        form_->Action("Contents1")->trigger();
        QCOMPARE(contexts, QList<int>({10, 10, TKorbCalcForm::HelpContentsTopic}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
