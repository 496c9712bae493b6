#include "ui/PreferencesForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QShowEvent>
#include <QVBoxLayout>

#include "settings/ValueStore.h"
#include "ui/DialogStyle.h"
#include "ui/PreferredUnitsForm.h"
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"

namespace {

constexpr int kAngleUnits = 4;
const char* const kAngleCaptions[kAngleUnits] = {"Radians (rad)", "Degrees (deg)", "Gradients (grad)",
                                                 "Revolutions (rev)"};

// The colours the font dialog offers, as stored numbers (red in the low byte).
struct NamedColor {
    const char* name;
    long long number;
};
const NamedColor kFontColors[] = {
    {"Black", 0x000000},  {"Maroon", 0x000080},  {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080},  {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},     {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
};

constexpr int kDefaultFontSize = 14;
constexpr int kFallbackPlaces = 7;

QIcon Swatch(const QColor& color) {
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter(&pixmap).drawRect(0, 0, 15, 11);
    return QIcon(pixmap);
}

} // namespace

// ---- font values in the store ----------------------------------------------------------------

QColor ColorFromNumber(long long number) {
    // Anything outside 24-bit RGB (system colour codes, garbage) falls back to black text.
    if (number < 0 || number > 0xFFFFFF) return QColor(Qt::black);
    return QColor(static_cast<int>(number & 0xFF), static_cast<int>((number >> 8) & 0xFF),
                  static_cast<int>((number >> 16) & 0xFF));
}

long long NumberFromColor(const QColor& color) {
    return static_cast<long long>(color.red()) | (static_cast<long long>(color.green()) << 8) |
           (static_cast<long long>(color.blue()) << 16);
}

std::string FontStyleCode(const QFont& font) {
    if (font.underline() || font.strikeOut()) return "";
    const bool bold = font.weight() == QFont::Bold;
    if (!bold && font.weight() != QFont::Normal) return "";
    if (font.italic()) return bold ? "2" : "1";
    return bold ? "0" : "";
}

DisplayFont ReadDisplayFont(const ValueStore& store) {
    DisplayFont result;
    result.font = QFont(QString::fromStdString(store.ReadString("FontName", "Arial")));
    const int size = store.ReadInteger("FontSize", kDefaultFontSize);
    result.font.setPointSize(size > 0 ? size : kDefaultFontSize);
    result.color = ColorFromNumber(store.ReadInteger("FontColor", 0));
    const std::string style = store.ReadString("FontStyle", "0");
    result.font.setBold(style == "0" || style == "2");
    result.font.setItalic(style == "1" || style == "2");
    return result;
}

void WriteDisplayFont(ValueStore& store, const QFont& font, const QColor& color) {
    int points = font.pointSize();
    if (points <= 0) points = qRound(font.pixelSize() * 72.0 / 96.0); // a pixel-sized font
    store.WriteString("FontName", font.family().toStdString());
    store.WriteInteger("FontSize", points);
    store.WriteString("FontColor", std::to_string(NumberFromColor(color)));
    store.WriteString("FontStyle", FontStyleCode(font));
}

// ---- font dialog -------------------------------------------------------------------------------

TFontDialog::TFontDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("FontDialog1");
    setWindowTitle("Font");
    // The stock font dialog as a pane, without its buttons, so that a colour choice sits beside it.
    FontPane = new QFontDialog(this);
    FontPane->setWindowFlags(Qt::Widget);
    FontPane->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    ColorBox = new QComboBox(this);
    ColorBox->setObjectName("ColorBox");
    for (const auto& c : kFontColors) {
        const QColor color = ColorFromNumber(c.number);
        ColorBox->addItem(Swatch(color), c.name, color);
    }
    auto* colorLabel = new QLabel("&Color:", this);
    colorLabel->setBuddy(ColorBox);
    auto* ok = new QPushButton("OK", this);
    auto* cancel = new QPushButton("Cancel", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FontPane, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(colorLabel);
    row->addWidget(ColorBox);
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
}

void TFontDialog::SetSelection(const QFont& font, const QColor& color) {
    // The dialog lists installed families only; a stored name such as "Arial" that the system
    // substitutes would otherwise open on some unrelated face. Show the face actually used, and
    // hand back the stored name while the user keeps that face.
    requestedFamily_ = font.family();
    resolvedFamily_ = font.family();
    if (!QFontDatabase::families().contains(font.family())) {
        const QString used = QRawFont::fromFont(font).familyName();
        if (!used.isEmpty()) resolvedFamily_ = used;
    }
    QFont shown = font;
    shown.setFamily(resolvedFamily_);
    FontPane->setCurrentFont(shown);
    int index = ColorBox->findData(color);
    if (index < 0) {
        ColorBox->addItem(Swatch(color), "Custom", color);
        index = ColorBox->count() - 1;
    }
    ColorBox->setCurrentIndex(index);
}

QFont TFontDialog::SelectedFont() const {
    QFont font = FontPane->currentFont();
    if (font.family() == resolvedFamily_) font.setFamily(requestedFamily_);
    return font;
}

QColor TFontDialog::SelectedColor() const {
    return ColorBox->currentData().value<QColor>();
}

// ---- preferences dialog ----------------------------------------------------------------------------

QCheckBox* TPrefForm::AddCheck(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QLabel* TPrefForm::AddToggleLabel(QWidget* parent, const char* name, const char* caption, QCheckBox* box) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->installEventFilter(this);
    toggleLabels_[label] = box;
    return label;
}

TPrefForm::TPrefForm(Settings& settings, ValueStore& store, PrefDialogHost host, QWidget* parent)
    : QDialog(parent), settings_(settings), store_(store), host_(std::move(host)) {
    setObjectName("PrefForm");
    setWindowTitle("Preferences");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    ApplyDialogFont(this);
    FixSizeToFit(this, {377, 337});
    CentreOnScreenWhenShown(this);

    // Start-up options.
    gbStartupOptions = new QGroupBox("Startup ", this);
    gbStartupOptions->setObjectName("gbStartupOptions");
    cbShowStack = AddCheck(gbStartupOptions, "cbShowStack", "Show Stack on startup.");
    cbShowRegs = AddCheck(gbStartupOptions, "cbShowRegs", "Show Registers on startup.");
    cbSaveStack = AddCheck(gbStartupOptions, "cbSaveStack", "Use stack from last session.");
    cbSaveRegs = AddCheck(gbStartupOptions, "cbSaveRegs", "Use registers from last session.");
    cbSaveOnExit = AddCheck(gbStartupOptions, "cbSaveOnExit", "Save preferences on exit.");
    cbSaveOnExit->setVisible(false);
    cbSavePosition = AddCheck(gbStartupOptions, "cbSavePosition", "Use previous Calculator position.");
    cbSaveStackPos = AddCheck(gbStartupOptions, "cbSaveStackPos", "Use previous Stack Form position.");
    cbSaveRegPos = AddCheck(gbStartupOptions, "cbSaveRegPos", "Use previous Register Form position.");
    auto* startup = new QVBoxLayout(gbStartupOptions);
    startup->setContentsMargins(6, 2, 6, 4);
    startup->setSpacing(2);
    for (auto* box : {cbShowStack, cbShowRegs, cbSaveStack, cbSaveRegs, cbSaveOnExit, cbSavePosition,
                      cbSaveStackPos, cbSaveRegPos})
        startup->addWidget(box);

    // Default angle unit.
    rgbDefAngMode = new QGroupBox("Default Angular Mode ", this);
    rgbDefAngMode->setObjectName("rgbDefAngMode");
    angleButtons = new QButtonGroup(this);
    auto* angles = new QVBoxLayout(rgbDefAngMode);
    angles->setContentsMargins(6, 2, 6, 4);
    angles->setSpacing(2);
    for (int i = 0; i < kAngleUnits; ++i) {
        auto* radio = new QRadioButton(kAngleCaptions[i], rgbDefAngMode);
        angleButtons->addButton(radio, i);
        angles->addWidget(radio);
    }

    Panel = new TNotationPanel(settings_, host_, false, Qt::Vertical, this);

    // General preferences.
    gbFreeFormOptions = new QGroupBox("General Preferences ", this);
    gbFreeFormOptions->setObjectName("gbFreeFormOptions");
    fmoDisplayOps =
        AddCheck(gbFreeFormOptions, "fmoDisplayOps", "Numpad operators copy directly to Display.");
    fmoAutoConvert = AddCheck(gbFreeFormOptions, "fmoAutoConvert", "AutoConvert");
    rbSI = new QRadioButton("S.I.", gbFreeFormOptions);
    rbSI->setObjectName("rbSI");
    rbUS = new QRadioButton("U.S. Customary", gbFreeFormOptions);
    rbUS->setObjectName("rbUS");
    fmoDoInlineMath = AddCheck(gbFreeFormOptions, "fmoDoInlineMath", "");
    fmoDoInlineMath->setVisible(false);
    fmoDoInlineMath->setEnabled(false);
    auto* fmoDisplayOpsLabel =
        AddToggleLabel(gbFreeFormOptions, "fmoDisplayOpsLabel", "to Display.", fmoDisplayOps);
    fmoDisplayOpsLabel->setVisible(false);
    auto* general = new QGridLayout(gbFreeFormOptions);
    general->setContentsMargins(6, 2, 6, 4);
    general->setSpacing(2);
    general->addWidget(fmoDisplayOps, 0, 0, 1, 3);
    general->addWidget(fmoAutoConvert, 1, 0);
    general->addWidget(rbSI, 1, 1);
    general->addWidget(rbUS, 1, 2);

    // Calculator-mode options: kept and applied, never shown.
    gbCalcModeOptions = new QGroupBox("Calculator Mode ", this);
    gbCalcModeOptions->setObjectName("gbCalcModeOptions");
    cmoSwitchOnAlpha = AddCheck(gbCalcModeOptions, "cmoSwitchOnAlpha", "Switch to Free Form Mode");
    cmoSubActsAsCHS =
        AddCheck(gbCalcModeOptions, "cmoSubActsAsCHS", "Keypad subtract button acts as +/- button.");
    auto* calcMode = new QVBoxLayout(gbCalcModeOptions);
    calcMode->addWidget(cmoSwitchOnAlpha);
    calcMode->addWidget(
        AddToggleLabel(gbCalcModeOptions, "SwitchToFFLabel", "on alphabetic keypress.", cmoSwitchOnAlpha));
    calcMode->addWidget(cmoSubActsAsCHS);
    calcMode->addWidget(
        AddToggleLabel(gbCalcModeOptions, "SubAsCHSLabel", "as +/- button.", cmoSubActsAsCHS));
    gbCalcModeOptions->setVisible(false);

    FontBtn = new QPushButton("Font...", this);
    FontBtn->setObjectName("FontBtn");
    BtnOK = new QPushButton("OK", this);
    BtnOK->setObjectName("BtnOK");
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton("Cancel", this);
    BtnCancel->setObjectName("BtnCancel");
    btnSavePrefs = new QPushButton("Save", this);
    btnSavePrefs->setObjectName("btnSavePrefs");
    btnSavePrefs->setVisible(false);
    // Two more hidden controls of the layout; nothing reads them.
    auto* precisionBox = new QLineEdit("18", this);
    precisionBox->setObjectName("PrecisionBox");
    precisionBox->setVisible(false);
    auto* precisionText = new QLineEdit("Precision", this);
    precisionText->setObjectName("Edit1");
    precisionText->setVisible(false);

    FontDialog1 = new TFontDialog(this);
    PreferredUnitsBtn = new QPushButton("Preferred Units...", this);
    PreferredUnitsBtn->setObjectName("PreferredUnitsBtn");
    PreferredUnits = new TPreferredUnitsForm(store_, host_.pickUnit, this);

    auto* left = new QVBoxLayout;
    left->addWidget(rgbDefAngMode);
    left->addWidget(Panel);
    left->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(gbStartupOptions, 1, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FontBtn);
    buttons->addWidget(PreferredUnitsBtn);
    buttons->addStretch(1);
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(5);
    layout->addLayout(top, 1);
    layout->addWidget(gbFreeFormOptions);
    layout->addLayout(buttons);

    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnSavePrefs, &QPushButton::clicked, this, &TPrefForm::btnSavePrefsClick);
    connect(FontBtn, &QPushButton::clicked, this, &TPrefForm::FontBtnClick);
    connect(PreferredUnitsBtn, &QPushButton::clicked, PreferredUnits, &QDialog::exec);
    connect(fmoAutoConvert, &QCheckBox::clicked, this, &TPrefForm::fmoAutoConvertClick);
}

bool TPrefForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto it = toggleLabels_.find(watched);
        if (it != toggleLabels_.end()) {
            it->second->toggle();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TPrefForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TPrefForm::FormShow() {
    shownPlaces_ = settings_.DecimalPlaces;
    shownNotation_ = settings_.FractNotation;

    const DisplayFont font = ReadDisplayFont(store_);
    FontDialog1->SetSelection(font.font, font.color);

    fmoAutoConvert->setChecked(AutoConvert);
    fmoAutoConvertClick();
    (UnitSystem ? rbSI : rbUS)->setChecked(true);

    if (settings_.AngularDefault < 0 || settings_.AngularDefault >= kAngleUnits) settings_.AngularDefault = 0;
    angleButtons->button(settings_.AngularDefault)->setChecked(true);

    fmoDisplayOps->setChecked(settings_.CopyOperators != 0);
    fmoDoInlineMath->setChecked(settings_.DoInlineMath != 0);
    cmoSwitchOnAlpha->setChecked(settings_.SwitchToFF != 0);
    cmoSubActsAsCHS->setChecked(settings_.SubAsCHS != 0);

    const int places = Panel->Load(settings_.FractNotation, settings_.DecimalPlaces);
    if (host_.setWorkingDigits) host_.setWorkingDigits(places);

    cbShowStack->setChecked(settings_.ShowStack != 0);
    cbShowRegs->setChecked(settings_.ShowRegs != 0);
    cbSavePosition->setChecked(settings_.SavePos != 0);
    cbSaveStackPos->setChecked(settings_.SaveStackPos != 0);
    cbSaveRegPos->setChecked(settings_.SaveRegPos != 0);
    cbSaveOnExit->setChecked(settings_.SavePrefs != 0);
    cbSaveStack->setChecked(settings_.SaveStack != 0);
    cbSaveRegs->setChecked(settings_.SaveRegs != 0);
    BtnOK->setFocus();
}

void TPrefForm::fmoAutoConvertClick() {
    rbSI->setEnabled(fmoAutoConvert->isChecked());
    rbUS->setEnabled(fmoAutoConvert->isChecked());
}

void TPrefForm::btnSavePrefsClick() {
    // The engine's unit commands set the program-wide flags and reselect the preferred units.
    if ((rbSI->isChecked() || rbUS->isChecked()) && host_.applyUnitSystem)
        host_.applyUnitSystem(rbSI->isChecked());
    if (host_.applyAutoConvert) host_.applyAutoConvert(fmoAutoConvert->isChecked());

    if (angleButtons->checkedId() >= 0) settings_.AngularDefault = angleButtons->checkedId();

    settings_.CopyOperators = fmoDisplayOps->isChecked();
    settings_.DoInlineMath = fmoDoInlineMath->isChecked();
    settings_.SwitchToFF = cmoSwitchOnAlpha->isChecked();
    settings_.SubAsCHS = cmoSubActsAsCHS->isChecked();

    const int notation = Panel->SelectedNotation();
    if (notation >= 0) {
        settings_.FractNotation = notation;
        if (host_.setWorkingFormat) host_.setWorkingFormat(notation);
    }

    settings_.DecimalPlaces = Panel->ArrowsPosition().value_or(kFallbackPlaces);
    if (host_.setWorkingDigits) host_.setWorkingDigits(settings_.DecimalPlaces);
    if (host_.showStackTop) host_.showStackTop();
    Panel->SetArrows(settings_.DecimalPlaces);

    settings_.ShowStack = cbShowStack->isChecked();
    settings_.ShowRegs = cbShowRegs->isChecked();
    settings_.SavePos = cbSavePosition->isChecked();
    if (settings_.SavePos && host_.mainPos) settings_.CalcPos = host_.mainPos();
    settings_.SaveStackPos = cbSaveStackPos->isChecked();
    if (settings_.SaveStackPos && host_.stackWindowPos) settings_.StackPos = host_.stackWindowPos();
    settings_.SaveRegPos = cbSaveRegPos->isChecked();
    if (settings_.SaveRegPos && host_.registerWindowPos) settings_.RegPos = host_.registerWindowPos();

    settings_.SavePrefs = cbSaveOnExit->isChecked();
    settings_.SaveStack = cbSaveStack->isChecked();
    settings_.SaveRegs = cbSaveRegs->isChecked();

    if (host_.writePrefs) host_.writePrefs();
}

bool TPrefForm::FontBtnClick() {
    const DisplayFont stored = ReadDisplayFont(store_);
    FontDialog1->SetSelection(stored.font, stored.color);
    if (FontDialog1->exec() != QDialog::Accepted) return false;
    const QFont font = FontDialog1->SelectedFont();
    const QColor color = FontDialog1->SelectedColor();
    if (host_.applyDisplayFont) host_.applyDisplayFont(font, color);
    WriteDisplayFont(store_, font, color);
    return true;
}

void TPrefForm::done(int result) {
    if (result == QDialog::Accepted) {
        btnSavePrefsClick();
        if (host_.refreshLists) host_.refreshLists();
    } else {
        RestorePreviewedFormat(settings_, host_, shownNotation_, shownPlaces_);
    }
    QDialog::done(result);
}
