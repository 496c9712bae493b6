// The windows as a daily user meets them: long values in the display, help and preferences keys
// in every window, the units selector's start page and keys, the visible mode switch, the 2nd key,
// copying at full precision, the readme's wrapping and the dark theme.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "gui/start_form.h"
#include "settings/ValueStore.h"
#include "ui/HelpWindow.h"
#include "ui/KorbCalcMainForm.h"
#include "ui/PreferencesForm.h"
#include "ui/PreferredUnitsForm.h"
#include "ui/ReadmeFormUnit.h"
#include "ui/RegisterFormUnit.h"
#include "ui/StackFormUnit.h"
#include "ui/Theme.h"
#include "ui/UnitsSelectorUnit.h"
#include "units/NumberUnits.h"
#include "units/PreferredUnits.h"

namespace {

// Runs `answer` once the next modal loop is running.
void WhenModal(std::function<void()> answer) {
    QTimer::singleShot(0, std::move(answer));
}

// A preferences file with Fixed notation and the given places; nothing loaded or saved.
void WritePrefs(int places) {
    QFile f("Meridot.ini");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("; test\r\n[Startup Options]\r\nShow_Stack = false\r\nShow_Regs = false\r\n"
                           "Save_Prefs = false\r\nSave_Stack = false\r\nSave_Regs = false\r\n"
                           "[Other Options]\r\nFract_Notation = Fixed\r\nDecimal_Places = %1\r\n")
                .arg(places)
                .toLatin1());
}

// Whether the characters [from, to) of the display lie wholly inside its visible area.
bool ShownWhole(QTextEdit* display, int from, int to) {
    const QRect area = display->viewport()->rect();
    for (int pos : {from, to}) {
        QTextCursor c(display->document());
        c.setPosition(pos);
        const QRect r = display->cursorRect(c);
        if (r.left() < 0 || r.right() > area.right() + 1 || r.top() < 0 || r.bottom() > area.bottom() + 1)
            return false;
    }
    return true;
}

double LightnessApart(const QColor& a, const QColor& b) {
    return std::abs(a.lightnessF() - b.lightnessF());
}

} // namespace

class TestDailyUse : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    MemoryValueStore store_;
    std::unique_ptr<TKorbCalcForm> form_;
    QStringList messages_;
    QStringList errors_;

    TKorbCalcForm& Start(int places = 7) {
        WritePrefs(places);
        form_ = StartForm(store_, messages_, errors_);
        return *form_;
    }
    QPushButton* Button(const char* name) const { return form_->findChild<QPushButton*>(name); }
    QWidget* Image(const char* name) const { return form_->findChild<QWidget*>(name); }
    void Push(const char* value) {
        QTest::keyClicks(Button("BtnEnter"), value);
        QTest::keyClick(Button("BtnEnter"), Qt::Key_Return);
    }
    QString Display() const { return QString::fromStdString(form_->DisplayText()); }
    // Makes a control's window the active one, once the main window's own activation has passed,
    // and gives the control the focus.
    static void Activate(QWidget* control) {
        QTest::qWait(20);
        control->window()->activateWindow();
        QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == control->window(); }));
        control->setFocus();
        QCOMPARE(QApplication::focusWidget(), control);
    }

private slots:
    void initTestCase() { InitUnitTables(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir::setCurrent(dir_->path()));
        store_.values.clear();
        messages_.clear();
        errors_.clear();
    }
    void cleanup() {
        form_.reset();
        SetPreferredChoices({}); // the choices are program-wide
        QDir::setCurrent(QDir::tempPath());
        dir_.reset();
    }

    // ---- the display never hides the start of a number ------------------------------------------

    void longValuesKeepTheirDigits_data() {
        QTest::addColumn<int>("places");
        QTest::addColumn<QString>("entry");
        for (int places : {0, 7, 15})
            for (const char* entry :
                 {"123456789 ft/sec", "123456789 lbf*ft/sec^2", "-987654321.25 kg*m^2/sec^3", "12 ft"})
                QTest::addRow("%d places, %s", places, entry) << places << QString(entry);
    }
    void longValuesKeepTheirDigits() {
        QFETCH(int, places);
        QFETCH(QString, entry);
        TKorbCalcForm& form = Start(places);
        Push(qPrintable(entry));
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join('\n')));
        QApplication::processEvents();
        TDisplay* display = form.Display();
        const QString text = Display();
        const int numberEnd = static_cast<int>(text.indexOf(' '));
        QVERIFY(numberEnd > 0);
        // The whole number, its first digit included, and the text's end are in view, in a font no
        // smaller than the readable minimum.
        QVERIFY2(ShownWhole(display, 0, numberEnd), qPrintable(text));
        QVERIFY2(ShownWhole(display, numberEnd, static_cast<int>(text.size())), qPrintable(text));
        QVERIFY(QFontInfo(display->font()).pixelSize() >= TDisplay::MinPixelSize);
        // A text shown smaller than chosen carries its full text as the tool tip.
        const bool shrunk =
            QFontInfo(display->font()).pixelSize() < QFontInfo(display->BaseFont()).pixelSize();
        QCOMPARE(display->toolTip(), shrunk || display->UnitsOnNextLine() ? text : QString());
        if (entry == "12 ft") QVERIFY(!shrunk);
        if (places == 15 && entry != "12 ft") QVERIFY(shrunk);
    }

    void unitsGiveWayToASecondLine() {
        TKorbCalcForm& form = Start();
        TDisplay* display = form.Display();
        const QString text = "123456789012345.123456789012345 kg*m^2*lbf*ft*mi*sec*hr/in^3*yd*BTU*wk*day";
        form.SetDisplayText(text.toStdString());
        QApplication::processEvents();
        QVERIFY(display->UnitsOnNextLine());
        QVERIFY(Image("DOIDown")->isVisible());
        const int numberEnd = static_cast<int>(text.indexOf(' '));
        QVERIFY(ShownWhole(display, 0, numberEnd));
        QCOMPARE(display->toolTip(), text);
        // The number stays on the first line, the units start the second.
        QTextCursor first(display->document()), units(display->document());
        units.setPosition(numberEnd + 1);
        QVERIFY(display->cursorRect(units).top() > display->cursorRect(first).top());
        // A short value brings one line back and puts the indicator out.
        form.SetDisplayText("12 ft");
        QApplication::processEvents();
        QVERIFY(!display->UnitsOnNextLine());
        QVERIFY(!Image("DOIDown")->isVisible());
        QVERIFY(display->toolTip().isEmpty());
    }

    // ---- F1 and Ctrl+P in every window -------------------------------------------------------

    void helpAndPreferencesKeysInEveryWindow_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("context");
        QTest::newRow("main window") << "main" << 10;
        QTest::newRow("stack window") << "stack" << 20;
        QTest::newRow("register window") << "registers" << 21;
    }
    void helpAndPreferencesKeysInEveryWindow() {
        QFETCH(QString, window);
        QFETCH(int, context);
        TKorbCalcForm& form = Start();
        QList<int> contexts;
        form.helpHook = [&](int c) { contexts << c; };
        QWidget* target = Button("BtnDel");
        if (window == "stack") {
            form.ShowStack1Click();
            target = form.StackForm()->StackListBox();
        } else if (window == "registers") {
            form.ShowRegisters1Click();
            target = form.RegisterForm()->RegisterList(3);
        }
        Activate(target);
        QTest::failOnWarning(QRegularExpression("Ambiguous.*"));
        QTest::keyClick(target, Qt::Key_F1);
        QCOMPARE(contexts, QList<int>{context});

        Activate(target);
        QWidget* modal = nullptr;
        WhenModal([&] {
            modal = QApplication::activeModalWidget();
            if (modal) modal->close();
        });
        QTest::keyClick(target, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(modal, static_cast<QWidget*>(form.PrefForm()));
    }

    void helpBesideTheUnitsSelector() {
        TKorbCalcForm& form = Start();
        TUnitsDlg* dlg = form.UnitsDlg();
        HelpWindow* help = nullptr;
        bool helpUsable = false, closedByEsc = false, dialogStayed = false;
        WhenModal([&] {
            Activate(dlg->OKBtn);
            QTest::keyClick(dlg->OKBtn, Qt::Key_F1);
            help = form.findChild<HelpWindow*>();
            if (!help) return dlg->reject();
            // Help belongs to the modal dialog for the time, so the dialog does not block it.
            helpUsable = help->isVisible() && help->parentWidget() == dlg &&
                         help->CurrentTopic() == HelpWindow::TopicForContext(11);
            // It can be activated and used while the dialog is open.
            help->activateWindow();
            helpUsable = helpUsable && QTest::qWaitFor([&] { return QApplication::activeWindow() == help; });
            help->Browser->setFocus();
            QTest::keyClick(help->Browser, Qt::Key_Escape);
            closedByEsc = !help->isVisible();
            dialogStayed = dlg->isVisible();
            dlg->reject();
        });
        QVERIFY(!form.RunUnitsSelector("12 ft").has_value());
        QVERIFY(help);
        QVERIFY(helpUsable);
        QVERIFY(closedByEsc);
        QVERIFY(dialogStayed);
        // Help asked for from the main window belongs to it again.
        form.Action("HelpFile")->trigger();
        QCOMPARE(help->parentWidget(), static_cast<QWidget*>(&form));
        QVERIFY(help->isVisible());
    }

    // ---- units selector --------------------------------------------------------------------------

    void unitsSelectorStartsOnTheValuesPage_data() {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("page");
        QTest::newRow("pressure") << "12 psi"
                                  << "Pressure/Stress";
        QTest::newRow("pascals") << "3 N/m^2"
                                 << "Pressure/Stress";
        QTest::newRow("speed") << "60 mi/hr"
                               << "Speed";
        QTest::newRow("torque reads as energy") << "4.5 lbf*ft"
                                                << "Energy";
        QTest::newRow("flow") << "2 l/min"
                              << "Flow Rate";
        QTest::newRow("mass") << "5 lbm"
                              << "Mass";
        QTest::newRow("length") << "1 in"
                                << "Length";
        QTest::newRow("angle") << "30 deg"
                               << "Angular";
        QTest::newRow("temperature") << "20 C"
                                     << "Temperature";
        QTest::newRow("no units: last page") << "7 "
                                             << "Electrical";
        QTest::newRow("density has no page: last page") << "7 kg/m^3"
                                                        << "Electrical";
    }
    void unitsSelectorStartsOnTheValuesPage() {
        QFETCH(QString, quantity);
        TUnitsDlg dlg;
        QVERIFY(dlg.SelectPage("Electrical"));
        QString shown;
        WhenModal([&] {
            shown = dlg.CurrentPage();
            dlg.reject();
        });
        dlg.Run(quantity.toStdString());
        QTEST(shown, "page");
    }

    void unitsSelectorKeys() {
        TUnitsDlg dlg;
        QStringList errors;
        dlg.SetErrorHandler([&](const std::string& m) { errors << QString::fromStdString(m); });
        // Typed characters go into "Units Selected" wherever the focus is; Enter is OK.
        WhenModal([&] {
            Activate(dlg.OKBtn);
            QVERIFY(dlg.PressUnitButton("ft"));
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dlg.OKBtn));
            QTest::keyClicks(dlg.OKBtn, "/sec");
            QCOMPARE(dlg.UnitsEdit->text(), QString("ft/sec"));
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dlg.UnitsEdit));
            dlg.CancelBtn->setFocus();
            QTest::keyClick(dlg.CancelBtn, Qt::Key_Return);
        });
        const auto units = dlg.Run("");
        QVERIFY(units.has_value());
        QCOMPARE(QString::fromStdString(*units), QString("ft/sec"));
        QVERIFY(errors.isEmpty());
    }

    // ---- mode switch and the 2nd key -------------------------------------------------------------

    void modeItemsStayInStep() {
        TKorbCalcForm& form = Start();
        QAction* calc = form.Action("Calculator1");
        QAction* free = form.Action("FreeForm1");
        auto* calcBtn = form.findChild<QToolButton*>("CalcModeBtn");
        auto* freeBtn = form.findChild<QToolButton*>("FFModeBtn");
        // Both items are in the Mode menu and reachable by their own mnemonic letters.
        QMenu* mode = nullptr;
        for (QAction* a : form.menuBar()->actions())
            if (a->text() == "&Mode") mode = a->menu();
        QVERIFY(mode);
        QStringList mnemonics;
        for (QAction* a : mode->actions())
            if (a->isVisible() && !a->isSeparator())
                mnemonics << QKeySequence::mnemonic(a->text()).toString();
        for (QAction* a : {calc, free}) {
            QVERIFY(mode->actions().contains(a));
            QVERIFY(a->isVisible());
            const QString m = QKeySequence::mnemonic(a->text()).toString();
            QVERIFY(!m.isEmpty());
            QCOMPARE(mnemonics.count(m), 1);
        }
        auto inStep = [&](bool calcMode) {
            return form.Engine().State().CalcMode == calcMode && calc->isChecked() == calcMode &&
                   free->isChecked() == !calcMode && calcBtn->isChecked() == calcMode &&
                   freeBtn->isChecked() == !calcMode;
        };
        QVERIFY(inStep(false));
        calc->trigger();
        QVERIFY(inStep(true));
        // In calculator mode "+" operates at once.
        Push("2");
        QTest::keyClicks(Button("BtnEnter"), "3");
        QTest::keyClick(Button("BtnEnter"), Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(form.Engine().Stack().Depth(), 1);
        QVERIFY(Display().startsWith("5"));
        calc->trigger(); // the checked item again changes nothing
        QVERIFY(inStep(true));
        free->trigger();
        QVERIFY(inStep(false));
    }

    void secondKeyShowsTheLayer() {
        TKorbCalcForm& form = Start();
        QPushButton* second = Button("SecondFBtn");
        QTest::mouseClick(second, Qt::LeftButton);
        QVERIFY(form.Engine().State().SecondFunction);
        QVERIFY(second->isChecked());
        QVERIFY(Image("SecondFImg")->isVisible());
        QTest::mouseClick(second, Qt::LeftButton);
        QVERIFY(!second->isChecked());
        QTest::keyClick(Button("BtnEnter"), Qt::Key_F2);
        QVERIFY(second->isChecked());
        // A second function used turns the layer off, and the key comes up.
        Push("2");
        QTest::mouseClick(Button("BtnPI"), Qt::LeftButton);
        QVERIFY(!form.Engine().State().SecondFunction);
        QVERIFY(!second->isChecked());

        // The names above the keys: legible, whole, and clear of the keys.
        const auto buttons = form.findChildren<QPushButton*>();
        for (const char* name : {"XRootYImg", "YtoXImg", "AreaImg", "SinInvImg", "CosInvImg", "TanInvImg",
                                 "TenToXImg", "EtoXImg"}) {
            auto* label = form.findChild<QLabel*>(name);
            QVERIFY(label);
            const QFontMetrics fm(label->font());
            QVERIFY2(fm.ascent() >= 9, name);
            QVERIFY2(fm.horizontalAdvance(label->text()) <= label->width(), name);
            QVERIFY2(fm.height() <= label->height(), name);
            for (QPushButton* b : buttons)
                if (b->isVisible()) QVERIFY2(!b->geometry().intersects(label->geometry()), name);
        }
    }

    // ---- copy at full precision --------------------------------------------------------------

    void copyFullPrecision() {
        TKorbCalcForm& form = Start(2);
        Push("1 m");
        Push("3 ");
        QTest::mouseClick(Button("BtnDiv"), Qt::LeftButton);
        QCOMPARE(Display(), QString("0.33 m"));
        QClipboard* clipboard = QApplication::clipboard();
        form.Action("Copy1")->trigger();
        QCOMPARE(clipboard->text(), QString("0.33 m"));
        QTest::keyClick(Button("BtnEnter"), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        const QString full = QString::fromStdString(form.Engine().Stack().FPStack().back());
        QCOMPARE(clipboard->text(), full);
        QVERIFY(full.startsWith("0.33333333333333"));
        QVERIFY(full.endsWith(" m"));
        // An entry being typed is copied as typed.
        QTest::keyClicks(Button("BtnEnter"), "1.23456");
        form.Action("CopyFullPrecision1")->trigger();
        QCOMPARE(clipboard->text(), QString("1.23456"));
    }

    // ---- readme and theme ------------------------------------------------------------------------

    // ---- preferred units chosen in the preferences reach the next product ---------------------------

    void preferredUnitEditedInTheDialog() {
        TKorbCalcForm& form = Start();
        TPrefForm* prefs = form.PrefForm();
        TPreferredUnitsForm* dlg = prefs->PreferredUnits;
        bool answered = false;
        WhenModal([&] {
            WhenModal([&] {
                QLineEdit* power = dlg->Entry(7, true);
                QCOMPARE(power->text(), QString("N*m/sec"));
                // A unit of another kind is refused at once, naming both kinds.
                power->selectAll();
                QTest::keyClicks(power, "MPa");
                QVERIFY(!dlg->BtnOK->isEnabled());
                QVERIFY2(dlg->Message->text().contains("pressure, stress") &&
                             dlg->Message->text().contains("power"),
                         qPrintable(dlg->Message->text()));
                power->selectAll();
                QTest::keyClicks(power, "kW");
                QVERIFY(dlg->BtnOK->isEnabled());
                QCOMPARE(dlg->Message->text(), QString());
                QTest::mouseClick(dlg->BtnOK, Qt::LeftButton);
                answered = true;
            });
            QTest::mouseClick(prefs->PreferredUnitsBtn, Qt::LeftButton);
            QTest::mouseClick(prefs->BtnCancel, Qt::LeftButton); // the choice is kept all the same
        });
        form.Preferences1Click();
        QVERIFY(answered);
        QCOMPARE(QString::fromStdString(store_.values["PreferredSI7"]), QString("kW"));

        Push("50 lbf*ft");
        Push("3000 RPM");
        QTest::mouseClick(Button("BtnMul"), Qt::LeftButton);
        QCOMPARE(Display(), QString("21.2971385 kW"));

        // The choice survives a restart on the same stored values.
        form_.reset();
        SetPreferredChoices({});
        TKorbCalcForm& again = Start();
        QCOMPARE(QString::fromStdString(PreferredUnit(7)), QString("kW"));
        Push("50 lbf*ft");
        Push("3000 RPM");
        QTest::mouseClick(Button("BtnMul"), Qt::LeftButton);
        QCOMPARE(Display(), QString("21.2971385 kW"));

        // A pick with the units selector fills the entry; Restore Defaults brings the table back.
        TPreferredUnitsForm* second = again.PrefForm()->PreferredUnits;
        WhenModal([&] {
            WhenModal([&] {
                // The pick starts from no units on the page of the power units.
                TUnitsDlg* selector = again.UnitsDlg();
                QCOMPARE(QString::fromStdString(selector->CurrentUnitsText()), QString());
                QCOMPARE(selector->CurrentPage(), QString("Power"));
                QVERIFY(selector->PressUnitButton("W"));
                QTest::mouseClick(selector->OKBtn, Qt::LeftButton);
            });
            second->PickClick(7, true);
            QCOMPARE(second->Entry(7, true)->text(), QString("W"));
            QTest::mouseClick(second->RestoreBtn, Qt::LeftButton);
            QCOMPARE(second->Entry(7, true)->text(), QString("N*m/sec"));
            QCOMPARE(second->Entry(6, false)->text(), QString("lbf/in^2"));
            QTest::mouseClick(second->BtnOK, Qt::LeftButton);
        });
        second->exec();
        QCOMPARE(QString::fromStdString(store_.values["PreferredSI7"]), QString());
        QCOMPARE(QString::fromStdString(PreferredUnit(7)), QString("N*m/sec"));
    }

    void readmeNeedsNoSidewaysScrolling() {
        TReadmeForm readme;
        readme.show();
        QVERIFY(QTest::qWaitForWindowExposed(&readme));
        QCOMPARE(readme.ReadmeBox->horizontalScrollBar()->maximum(), 0);
        QVERIFY(readme.ReadmeBox->verticalScrollBar()->maximum() > 0);
    }

    void darkThemeKeepsEverythingReadable() {
        store_.values["FontColor"] = "0"; // black display text, as stored by default
        const LightLook light = CurrentLook();
        TKorbCalcForm& form = Start();
        QAction* dark = form.Action("DarkTheme1");
        QVERIFY(dark && !dark->isChecked());
        dark->trigger();
        QVERIFY(dark->isChecked());
        QCOMPARE(QString::fromStdString(store_.values["DarkTheme"]), QString("1"));
        QFile ini("Meridot.ini");
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(!ini.readAll().contains("Dark"));
        const QPalette app = QApplication::palette();
        QVERIFY(app.color(QPalette::Window).lightnessF() < 0.3);
        const QPalette display = form.Display()->palette();
        QVERIFY(LightnessApart(display.color(QPalette::Text), display.color(QPalette::Base)) >= 0.35);
        QPushButton* second = Button("SecondFBtn");
        QVERIFY(LightnessApart(second->palette().color(QPalette::ButtonText),
                               second->palette().color(QPalette::Button)) >= 0.3);
        auto* label = form.findChild<QLabel*>("YtoXImg");
        QVERIFY(LightnessApart(label->palette().color(QPalette::WindowText),
                               label->palette().color(QPalette::Window)) >= 0.3);
        // The indicators paint in colours of the palette: the stack picture differs from the window.
        const QImage picture = Image("IsNotEditingImg")->grab().toImage();
        bool visible = false;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                visible |= LightnessApart(picture.pixelColor(x, y), app.color(QPalette::Window)) > 0.3;
        QVERIFY(visible);

        // Stored: the next start is dark at once; switching back gives the light look and stores it.
        form_.reset();
        ApplyTheme(false, light); // as a new process would start
        TKorbCalcForm& again = Start();
        QVERIFY(QApplication::palette().color(QPalette::Window).lightnessF() < 0.3);
        QVERIFY(again.Action("DarkTheme1")->isChecked());
        again.Action("DarkTheme1")->trigger();
        QCOMPARE(QString::fromStdString(store_.values["DarkTheme"]), QString("0"));
        QVERIFY(QApplication::palette().color(QPalette::Window).lightnessF() > 0.5);
        QCOMPARE(again.Display()->palette().color(QPalette::Text), QColor(Qt::black));
    }
};

QTEST_MAIN(TestDailyUse)
#include "tst_dailyuse.moc"
