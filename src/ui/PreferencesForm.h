// The preferences dialog and its font dialog.
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "settings/Prefs.h"
#include "ui/FormatFormUnit.h"

class QCheckBox;
class QComboBox;
class QFontDialog;
class QGroupBox;
class QLabel;
class QRadioButton;
class TPreferredUnitsForm;
class ValueStore;

// ---- the display font in the value store ("FontName", "FontSize", "FontColor", "FontStyle") ----

struct DisplayFont {
    QFont font;
    QColor color;
};
// Reads the four values with their defaults (Arial, 14 points, colour 0, style "0" bold).
DisplayFont ReadDisplayFont(const ValueStore& store);
// Writes the four values at once.
void WriteDisplayFont(ValueStore& store, const QFont& font, const QColor& color);
// "" regular, "0" bold, "1" italic, "2" bold italic; any other style (underlined, struck out,
// light, semibold...) is written as "" and so reads back as regular.
std::string FontStyleCode(const QFont& font);
// Colours are stored as 32-bit numbers with red in the low byte.
QColor ColorFromNumber(long long number);
long long NumberFromColor(const QColor& color);

// The font dialog: face, style, size, underline and strike-out, and a text colour.
class TFontDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFontDialog(QWidget* parent = nullptr);
    void SetSelection(const QFont& font, const QColor& color);
    QFont SelectedFont() const;
    QColor SelectedColor() const;

    QFontDialog* FontPane = nullptr;
    QComboBox* ColorBox = nullptr;

private:
    QString requestedFamily_;
    QString resolvedFamily_;
};

// ---- the preferences dialog ----

struct PrefDialogHost : FormatDialogHost {
    std::function<void()> writePrefs;                 // write "Meridot.ini" and the three stored values
    std::function<void(bool si)> applyUnitSystem;     // press the SI or US button and run its action
    std::function<void(bool on)> applyAutoConvert;    // set the AutoConvert button and run its action
    std::function<void(int format)> setWorkingFormat; // the working quantity's Format
    std::function<void(int digits)> setWorkingDigits; // the working quantity's Digits
    std::function<WindowPos()> mainPos;               // current left and top of the windows
    std::function<WindowPos()> stackWindowPos;
    std::function<WindowPos()> registerWindowPos;
    std::function<void(const QFont&, const QColor&)> applyDisplayFont;
    // Runs the units selector to pick a unit in place of the given one: the chosen text, or nothing.
    std::function<std::optional<std::string>(const std::string&)> pickUnit;
};

class TPrefForm : public QDialog {
    Q_OBJECT
public:
    TPrefForm(Settings& settings, ValueStore& store, PrefDialogHost host, QWidget* parent = nullptr);

    // The apply step of OK: every control into the settings, then the preferences are written.
    void btnSavePrefsClick();
    // Shows the font dialog with the stored font; on OK the display takes the font and the four
    // values are stored at once. Also the main window's font command. True when confirmed.
    bool FontBtnClick();
    void fmoAutoConvertClick();

    void done(int result) override;

    QGroupBox* rgbDefAngMode = nullptr;
    QButtonGroup* angleButtons = nullptr;
    TNotationPanel* Panel = nullptr;
    QGroupBox* gbStartupOptions = nullptr;
    QCheckBox* cbShowStack = nullptr;
    QCheckBox* cbShowRegs = nullptr;
    QCheckBox* cbSaveStack = nullptr;
    QCheckBox* cbSaveRegs = nullptr;
    QCheckBox* cbSaveOnExit = nullptr;
    QCheckBox* cbSavePosition = nullptr;
    QCheckBox* cbSaveStackPos = nullptr;
    QCheckBox* cbSaveRegPos = nullptr;
    QGroupBox* gbFreeFormOptions = nullptr;
    QCheckBox* fmoDisplayOps = nullptr;
    QCheckBox* fmoAutoConvert = nullptr;
    QRadioButton* rbSI = nullptr;
    QRadioButton* rbUS = nullptr;
    QCheckBox* fmoDoInlineMath = nullptr;
    QGroupBox* gbCalcModeOptions = nullptr;
    QCheckBox* cmoSwitchOnAlpha = nullptr;
    QCheckBox* cmoSubActsAsCHS = nullptr;
    QPushButton* FontBtn = nullptr;
    QPushButton* BtnOK = nullptr;
    QPushButton* BtnCancel = nullptr;
    QPushButton* btnSavePrefs = nullptr;
    TFontDialog* FontDialog1 = nullptr;
    QPushButton* PreferredUnitsBtn = nullptr;
    TPreferredUnitsForm* PreferredUnits = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    QCheckBox* AddCheck(QWidget* parent, const char* name, const char* caption);
    QLabel* AddToggleLabel(QWidget* parent, const char* name, const char* caption, QCheckBox* box);

    Settings& settings_;
    ValueStore& store_;
    PrefDialogHost host_;
    int shownPlaces_ = 0;
    int shownNotation_ = 0;
    std::map<QObject*, QCheckBox*> toggleLabels_; // hidden labels that toggle the box beside them
};
