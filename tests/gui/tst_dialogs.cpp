// End-to-end tests of the dialogs, driven without blocking: modal dialogs are
// answered from a zero-time timer that runs inside their own event loop.
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QScrollArea>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "settings/ValueStore.h"
#include "support/unit_engine_scope.h"
#include "ui/AboutBoxForm.h"
#include "ui/ErrWindowForm.h"
#include "ui/FormatFormUnit.h"
#include "ui/PreferencesForm.h"
#include "ui/ResetCalcForm.h"
#include "ui/UnitsSelectorUnit.h"
#include "units/NumberUnits.h"
#include "units/PickedUnits.h"
#include "units/QuantityMath.h"

namespace {

// Runs `answer` once the next modal loop is running.
void WhenModal(std::function<void()> answer) {
    QTimer::singleShot(0, std::move(answer));
}

// Records what the dialogs ask of the main window.
struct HostLog {
    int showStackTop = 0;
    int refreshLists = 0;
    int writePrefs = 0;
    bool entered = true;
    std::vector<int> previewedPlaces; // DecimalPlaces at each ShowStackTop
};

FormatDialogHost MakeFormatHost(HostLog& log, Settings& s) {
    FormatDialogHost host;
    host.showStackTop = [&] {
        ++log.showStackTop;
        log.previewedPlaces.push_back(s.DecimalPlaces);
    };
    host.entered = [&] { return log.entered; };
    host.refreshLists = [&] { ++log.refreshLists; };
    return host;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitUnitTables(); }

    void unitsSelectorBuildsUnits_data();
    void unitsSelectorBuildsUnits();
    void unitsSelectorCancelAndClose();
    void unitsSelectorTypedText();
    void unitsSelectorPages();
    void unitsSelectorCaptionsReadAsTheirUnits();

    void notationPreview_data();
    void notationPreview();
    void preferencesOkAppliesAndWrites();
    void formatOkKeepsPreviewWithoutWriting();
    void fontStyleCodes_data();
    void fontStyleCodes();
    void fontButtonStoresFont();

    void errorWindowShowsEachMessage();
    void resetDialogAnswers();
    void aboutBoxVersion();
};

// ---- units selector ------------------------------------------------------------------------------

void TestDialogs::unitsSelectorBuildsUnits_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("steps"); // unit captions; "/" picks Denominator, "*" Numerator
    QTest::addColumn<QString>("result");
    QTest::newRow("ft/sec^2 from buttons") << "" << QStringList{"ft", "/", "sec", "sec"} << "ft/sec^2";
    QTest::newRow("special button picks its text") << "" << QStringList{"kph"} << "km/hr";
    QTest::newRow("numerator square") << "1 m" << QStringList{"*", "m"} << "m^2";
    QTest::newRow("denominator cancels") << "1 m" << QStringList{"/", "m"} << "";
    QTest::newRow("numerator cancels denominator") << "3 ft/sec" << QStringList{"*", "sec"} << "ft";
    QTest::newRow("dash is a product") << "" << QStringList{"ft-lbf"} << "lbf*ft";
    QTest::newRow("picked text with a denominator") << "" << QStringList{"/", "Reyn"} << "in^2/lbf*sec";
}

void TestDialogs::unitsSelectorBuildsUnits() {
    QFETCH(QString, start);
    QFETCH(QStringList, steps);
    QFETCH(QString, result);
    TUnitsDlg dlg;
    QStringList errors;
    dlg.SetErrorHandler([&](const std::string& m) { errors << QString::fromStdString(m); });
    bool pressedAll = true;
    WhenModal([&] {
        for (const QString& step : steps) {
            if (step == "/" || step == "*")
                dlg.SetDenominator(step == "/");
            else
                pressedAll = dlg.PressUnitButton(step) && pressedAll;
        }
        dlg.OKBtn->click();
    });
    const auto chosen = dlg.Run(start.toStdString());
    QVERIFY(pressedAll);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("; ")));
    QVERIFY(chosen.has_value());
    QCOMPARE(QString::fromStdString(*chosen), result);
}

void TestDialogs::unitsSelectorCancelAndClose() {
    TUnitsDlg dlg;
    bool startedInDenominator = false;
    QString startEdit;
    WhenModal([&] {
        startedInDenominator = dlg.DenominatorSelected();
        startEdit = dlg.UnitsEdit->text();
        dlg.PressUnitButton("in");
        dlg.CancelBtn->click();
    });
    QVERIFY(!dlg.Run("12 ft/sec").has_value());
    QVERIFY(startedInDenominator);
    QCOMPARE(startEdit, QString("ft/sec"));

    // The close box behaves as Cancel; the next run starts afresh in the numerator.
    bool numeratorOnReopen = false;
    WhenModal([&] {
        numeratorOnReopen = !dlg.DenominatorSelected();
        dlg.PressUnitButton("kg");
        dlg.close();
    });
    QVERIFY(!dlg.Run("").has_value());
    QVERIFY(numeratorOnReopen);
}

void TestDialogs::unitsSelectorTypedText() {
    TUnitsDlg dlg;
    QStringList errors;
    dlg.SetErrorHandler([&](const std::string& m) { errors << QString::fromStdString(m); });
    // Enter is OK: a typed text is reduced and returned.
    WhenModal([&] {
        dlg.UnitsEdit->setFocus();
        dlg.UnitsEdit->clear();
        QTest::keyClicks(dlg.UnitsEdit, "ft*lbf");
        QTest::keyClick(dlg.UnitsEdit, Qt::Key_Return);
    });
    const auto typed = dlg.Run("5 m");
    QVERIFY(typed.has_value());
    QCOMPARE(QString::fromStdString(*typed), QString("lbf*ft"));

    // A misspelled text is reported once, at OK, whatever the focus does meanwhile; the dialog
    // stays open, and Cancel then returns nothing at its first click.
    bool openAfterError = false;
    WhenModal([&] {
        dlg.UnitsEdit->setFocus();
        dlg.UnitsEdit->clear();
        QTest::keyClicks(dlg.UnitsEdit, "fot");
        dlg.CancelBtn->setFocus(Qt::TabFocusReason);
        dlg.UnitsEdit->setFocus();
        dlg.OKBtn->setFocus();
        QTest::keyClick(dlg.OKBtn, Qt::Key_Return);
        openAfterError = dlg.isVisible();
        QTest::mouseClick(dlg.CancelBtn, Qt::LeftButton);
    });
    QVERIFY(!dlg.Run("5 m").has_value());
    QCOMPARE(errors, QStringList{QString::fromStdString(ErrorMessage(_UnitProblem)) +
                                 QString::fromUtf8("\nno unit \"fot\" \u2014 did you mean ft or foot?")});
    QVERIFY(openAfterError);
}

void TestDialogs::unitsSelectorCaptionsReadAsTheirUnits() {
    // A caption that is itself a unit name (kph, mph, RPS) means what its button picks, so typing
    // the caption and pressing the button agree.
    int captionsRead = 0;
    for (const auto& spec : UnitButtonTable()) {
        if (!*spec.picked) continue;
        const auto caption = ReducedUnitText(spec.caption);
        if (!caption) continue;
        ++captionsRead;
        QCOMPARE(QString::fromStdString(*caption), QString::fromStdString(*ReducedUnitText(spec.picked)));
    }
    QVERIFY(captionsRead >= 3);
    for (const char* name : {"kph", "mph", "RPS"}) QVERIFY2(ReducedUnitText(name).has_value(), name);
    // Typed typographic forms read as their ASCII names.
    TUnitsDlg dlg;
    WhenModal([&] {
        dlg.UnitsEdit->setText(QString::fromUtf8("N\u00B7m/s\u00B2"));
        QTest::keyClick(dlg.UnitsEdit, Qt::Key_Return);
    });
    const auto typed = dlg.Run("");
    QVERIFY(typed.has_value());
    QCOMPARE(QString::fromStdString(*typed), QString("N*m/sec^2"));
}

void TestDialogs::unitsSelectorPages() {
    TUnitsDlg dlg;
    QCOMPARE(dlg.PageCaptions(),
             (QStringList{"Length", "Area", "Volume", "Force", "Mass", "Time", "Angular", "Temperature",
                          "Speed", "Energy", "Power", "Pressure/Stress", "Flow Rate", "Viscosity", "Inertia",
                          "Currency", "Other", "Electrical"}));
    QCOMPARE(dlg.CurrentPage(), QString("Length"));
    // Every row of the table became exactly one button with its hint, and each one picks its units
    // on its own without an error.
    const auto buttons = dlg.findChildren<QPushButton*>();
    QStringList errors;
    dlg.SetErrorHandler([&](const std::string& m) { errors << QString::fromStdString(m); });
    // Every page shows all of its buttons in the dialog's fixed size, with no scrolling.
    dlg.show();
    for (const QString& page : dlg.PageCaptions()) {
        QVERIFY(dlg.SelectPage(page));
        QApplication::processEvents();
        const auto* scroll = dlg.findChild<QScrollArea*>(page);
        QVERIFY2(scroll->widget()->minimumSizeHint().height() <= scroll->viewport()->height(),
                 qPrintable(page));
    }
    dlg.hide();
    QVERIFY(dlg.SelectPage("Length"));
    WhenModal([&] {
        for (const auto& spec : UnitButtonTable()) {
            const auto matches = std::count_if(buttons.begin(), buttons.end(), [&](QPushButton* b) {
                return b->text() == spec.caption && b->toolTip() == spec.hint;
            });
            QVERIFY2(matches == 1, spec.caption);
            dlg.UnitsEdit->selectAll();
            QTest::keyClick(dlg.UnitsEdit, Qt::Key_Delete);
            QVERIFY(dlg.PressUnitButton(spec.caption));
            QVERIFY2(errors.isEmpty() && !dlg.UnitsEdit->text().isEmpty(), spec.caption);
        }
        dlg.reject();
    });
    dlg.Run("");
    QVERIFY(errors.isEmpty());
    // The page used last stays selected for the next run.
    QVERIFY(dlg.SelectPage("Viscosity"));
    WhenModal([&] { dlg.reject(); });
    dlg.Run("");
    QCOMPARE(dlg.CurrentPage(), QString("Viscosity"));
}

// ---- preferences and number format -----------------------------------------------------------------

void TestDialogs::notationPreview_data() {
    QTest::addColumn<bool>("preferences");
    QTest::newRow("number-format dialog") << false;
    QTest::newRow("preferences dialog") << true;
}

void TestDialogs::notationPreview() {
    QFETCH(bool, preferences);
    Settings s;
    s.FractNotation = 2;
    s.DecimalPlaces = 7;
    HostLog log;
    MemoryValueStore store;
    std::unique_ptr<QDialog> dlg;
    TNotationPanel* panel = nullptr;
    if (preferences) {
        PrefDialogHost host;
        static_cast<FormatDialogHost&>(host) = MakeFormatHost(log, s);
        auto* p = new TPrefForm(s, store, host);
        panel = p->Panel;
        dlg.reset(p);
    } else {
        auto* f = new TFormatForm(s, MakeFormatHost(log, s));
        panel = f->Panel;
        dlg.reset(f);
    }
    dlg->show();
    QCOMPARE(panel->DigitsBox->text(), QString("7"));
    QCOMPARE(log.showStackTop, 0); // showing is not an edit

    struct Edit {
        const char* typed;
        int places;
        const char* box;
    };
    const Edit edits[] = {{"9", 9, "9"}, {"99", 15, "15"}, {"", 0, "0"}, {"x", 0, "x"}, {"-3", 0, "0"}};
    for (const Edit& e : edits) {
        panel->DigitsBox->selectAll();
        if (*e.typed)
            QTest::keyClicks(panel->DigitsBox, e.typed);
        else
            QTest::keyClick(panel->DigitsBox, Qt::Key_Delete);
        QVERIFY2(s.DecimalPlaces == e.places, e.typed);
        QCOMPARE(panel->DigitsBox->text(), QString(e.box));
        QCOMPARE(log.previewedPlaces.back(), e.places);
    }

    panel->DigitsBox->setText("4");
    panel->notationButtons->button(0)->click();
    QCOMPARE(s.FractNotation, 0);
    QVERIFY(!panel->DigitsBox->isEnabled());
    QVERIFY(!panel->UpDown1->isEnabled());
    panel->notationButtons->button(1)->click();
    QCOMPARE(s.FractNotation, 1);
    QVERIFY(panel->DigitsBox->isEnabled());
    panel->UpDown1->Step(+1);
    QCOMPARE(s.DecimalPlaces, 5);
    // Engineering is notation 5 and keeps its decimal places; shown again, its button is checked.
    QCOMPARE(panel->notationButtons->button(5)->text(), QString("Engineering"));
    panel->notationButtons->button(5)->click();
    QCOMPARE(s.FractNotation, 5);
    QVERIFY(panel->DigitsBox->isEnabled());
    QCOMPARE(panel->Load(5, 3), 3);
    QCOMPARE(panel->SelectedNotation(), 5);
    panel->notationButtons->button(1)->click();

    // Cancel takes the preview back and redraws the top of the stack.
    const int drawsBefore = log.showStackTop;
    dlg->reject();
    QCOMPARE(s.FractNotation, 2);
    QCOMPARE(s.DecimalPlaces, 7);
    QVERIFY(log.showStackTop > drawsBefore);
    QCOMPARE(log.writePrefs, 0);
    QCOMPARE(log.refreshLists, 0);

    // While an entry is being typed the display is left alone, but the settings still return.
    log.entered = false;
    dlg->show();
    panel->DigitsBox->setText("3");
    const int drawsWhileEditing = log.showStackTop;
    dlg->reject();
    QCOMPARE(s.DecimalPlaces, 7);
    QCOMPARE(log.showStackTop, drawsWhileEditing);
}

void TestDialogs::preferencesOkAppliesAndWrites() {
    Settings s;
    s.FractNotation = 1;
    s.DecimalPlaces = 4;
    s.AngularDefault = 9; // out of range: shown and applied as radians
    s.SwitchToFF = 1;
    s.SubAsCHS = 1;
    s.DoInlineMath = 1;
    s.SavePrefs = 0;
    s.SavePos = 0;
    s.ShowStack = 1;
    UnitEngineScope unitEngine{{true, true}};
    HostLog log;
    MemoryValueStore store;
    PrefDialogHost host;
    static_cast<FormatDialogHost&>(host) = MakeFormatHost(log, s);
    host.writePrefs = [&] { ++log.writePrefs; };
    std::vector<bool> autoConvertApplied, unitSystemApplied;
    host.applyAutoConvert = [&](bool on) { autoConvertApplied.push_back(on); };
    host.applyUnitSystem = [&](bool si) { unitSystemApplied.push_back(si); };
    int workingDigits = -1;
    host.setWorkingDigits = [&](int d) { workingDigits = d; };
    host.mainPos = [] { return WindowPos{321, 123}; };
    TPrefForm dlg(s, store, host);

    dlg.show();
    QVERIFY(dlg.angleButtons->button(0)->isChecked());
    QCOMPARE(s.AngularDefault, 0);
    QVERIFY(dlg.cbShowStack->isChecked());
    QVERIFY(dlg.rbSI->isChecked() && dlg.rbSI->isEnabled());
    dlg.fmoAutoConvert->click(); // off: the unit-system choice goes grey
    QVERIFY(!dlg.rbSI->isEnabled() && !dlg.rbUS->isEnabled());
    dlg.angleButtons->button(1)->click();
    dlg.cbSavePosition->click();
    dlg.BtnOK->click();

    QCOMPARE(log.writePrefs, 1); // written at once although saving on exit is off
    QCOMPARE(log.refreshLists, 1);
    QCOMPARE(autoConvertApplied, std::vector<bool>{false});
    QCOMPARE(unitSystemApplied, std::vector<bool>{true});
    QCOMPARE(s.AngularDefault, 1);
    QCOMPARE(s.SavePos, 1);
    QCOMPARE(s.CalcPos, (WindowPos{321, 123}));
    QCOMPARE(s.FractNotation, 1);
    QCOMPARE(s.DecimalPlaces, 4);
    QCOMPARE(workingDigits, 4);
    // Options the dialog does not show come back unchanged.
    QCOMPARE(s.SwitchToFF, 1);
    QCOMPARE(s.SubAsCHS, 1);
    QCOMPARE(s.DoInlineMath, 1);
    QCOMPARE(s.SavePrefs, 0);
    QCOMPARE(s.ShowStack, 1);
}

void TestDialogs::formatOkKeepsPreviewWithoutWriting() {
    Settings s;
    s.FractNotation = 4; // Currency has no button: none is checked and the places are locked
    s.DecimalPlaces = 20;
    HostLog log;
    TFormatForm dlg(s, MakeFormatHost(log, s));
    dlg.show();
    QCOMPARE(dlg.Panel->SelectedNotation(), -1);
    QVERIFY(!dlg.Panel->DigitsBox->isEnabled());
    QCOMPARE(dlg.Panel->DigitsBox->text(), QString("7"));
    dlg.Panel->notationButtons->button(2)->click();
    dlg.Panel->DigitsBox->setText("3");
    dlg.BitBtn1->click();
    QCOMPARE(s.FractNotation, 2);
    QCOMPARE(s.DecimalPlaces, 3);
    QCOMPARE(log.refreshLists, 1);
}

void TestDialogs::fontStyleCodes_data() {
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("readsBold");
    QTest::addColumn<bool>("readsItalic");
    QTest::newRow("regular") << false << false << false << "" << false << false;
    QTest::newRow("bold") << true << false << false << "0" << true << false;
    QTest::newRow("italic") << false << true << false << "1" << false << true;
    QTest::newRow("bold italic") << true << true << false << "2" << true << true;
    QTest::newRow("underlined bold") << true << false << true << "" << false << false;
}

void TestDialogs::fontStyleCodes() {
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(QString, code);
    QFETCH(bool, readsBold);
    QFETCH(bool, readsItalic);
    QFont font("Courier New");
    font.setPointSize(17);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    MemoryValueStore store;
    WriteDisplayFont(store, font, QColor(0x12, 0x34, 0x56));
    QCOMPARE(QString::fromStdString(store.values.at("FontStyle")), code);
    QCOMPARE(store.values.at("FontSize"), std::string("17"));
    QCOMPARE(store.values.at("FontColor"), std::to_string(0x563412));
    const DisplayFont back = ReadDisplayFont(store);
    QCOMPARE(back.font.family(), QString("Courier New"));
    QCOMPARE(back.font.pointSize(), 17);
    QCOMPARE(back.font.bold(), readsBold);
    QCOMPARE(back.font.italic(), readsItalic);
    QCOMPARE(back.color, QColor(0x12, 0x34, 0x56));
}

void TestDialogs::fontButtonStoresFont() {
    Settings s;
    MemoryValueStore store;
    store.values["FontSize"] = "not a number"; // unreadable values fall back to their defaults
    PrefDialogHost host;
    QFont applied;
    QColor appliedColor;
    host.applyDisplayFont = [&](const QFont& f, const QColor& c) {
        applied = f;
        appliedColor = c;
    };
    TPrefForm dlg(s, store, host);
    QFont shownFont;
    // An italic style where the face has one (the core DejaVu fonts have none), else an upright one.
    bool italic = false;
    WhenModal([&] {
        shownFont = dlg.FontDialog1->SelectedFont();
        const QString family = QRawFont::fromFont(shownFont).familyName();
        QString style;
        for (const QString& each : QFontDatabase::styles(family)) {
            if (QFontDatabase::italic(family, each) && !QFontDatabase::bold(family, each)) style = each;
            if (style.isEmpty() && !QFontDatabase::bold(family, each)) style = each;
        }
        italic = QFontDatabase::italic(family, style);
        QFont chosen = QFontDatabase::font(family, style, 20);
        chosen.setFamily(shownFont.family());
        dlg.FontDialog1->SetSelection(chosen, Qt::red);
        dlg.FontDialog1->accept();
    });
    QVERIFY(dlg.FontBtnClick());
    QCOMPARE(shownFont.pointSize(), 14);
    QVERIFY(shownFont.bold());
    QCOMPARE(store.values.at("FontName"), std::string("Arial")); // the stored name survives the dialog
    QCOMPARE(applied.pointSize(), 20);
    QCOMPARE(appliedColor, QColor(Qt::red));
    QCOMPARE(store.values.at("FontSize"), std::string("20"));
    QCOMPARE(store.values.at("FontStyle"), std::string(italic ? "1" : ""));
    QCOMPARE(store.values.at("FontColor"), std::string("255"));

    WhenModal([&] { dlg.FontDialog1->reject(); });
    store.values.erase("FontSize");
    QVERIFY(!dlg.FontBtnClick());
    QVERIFY(!store.values.count("FontSize")); // nothing written on Cancel
}

// ---- small windows -----------------------------------------------------------------------------------

void TestDialogs::errorWindowShowsEachMessage() {
    TErrWindow win;
    QStringList seen;
    for (const char* message : {"Stack Empty!", "Too Few Operands"}) {
        WhenModal([&] {
            seen << win.Message->text();
            QVERIFY(win.isVisible());
            win.BitBtn1->click();
        });
        win.ShowError(message);
    }
    QCOMPARE(seen, (QStringList{"Stack Empty!", "Too Few Operands"}));
    QCOMPARE(win.windowTitle(), QString("ERROR!"));
    QCOMPARE(win.size(), QSize(270, 96));
    // A message that names what failed on its second line is shown whole.
    const std::string twoLines = "Problem with the units\nno unit \"fx\" \u2014 did you mean ft?";
    WhenModal([&] {
        QVERIFY(win.Message->height() >= 2 * win.Message->fontMetrics().lineSpacing());
        QVERIFY(win.Message->width() >= win.Message->fontMetrics().horizontalAdvance(
                                            QString::fromUtf8("no unit \"fx\" \u2014 did you mean ft?")));
        win.BitBtn1->click();
    });
    win.ShowError(twoLines);
}

void TestDialogs::resetDialogAnswers() {
    TResetCalcDialog dlg;
    WhenModal([&] { dlg.BtnYes->click(); });
    QVERIFY(dlg.Ask());
    WhenModal([&] { dlg.BtnNo->click(); });
    QVERIFY(!dlg.Ask());
    WhenModal([&] { dlg.close(); });
    QVERIFY(!dlg.Ask());
}

void TestDialogs::aboutBoxVersion() {
    TAboutBox box;
    QCOMPARE(box.VersionLabel->text(), QString("Version 1.00"));
    WhenModal([&] { box.close(); });
    box.Execute();
    QCOMPARE(box.VersionLabel->text(), QString("Version 1.04"));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
