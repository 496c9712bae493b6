// The main window's keypad: the key tables, the toggle buttons, the 2nd-function images, and the
// way key presses reach the keyboard map.
#include <QApplication>
#include <QButtonGroup>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <string_view>

#include "ui/DialogStyle.h"
#include "ui/KeyTranslate.h"
#include "ui/KorbCalcDisplay.h"
#include "ui/KorbCalcMainForm.h"
#include "ui/ToggleButton.h"

namespace {

// The keypad, in panel coordinates. The keys' captions and tool tips are their commands' (see the
// command table); a glyph caption keeps its tool tip, which also serves as its accessible name.
struct KeySpec {
    const char* name;
    int left, top, width, height;
    Command command;
    bool tabStop;
};

constexpr int Col[] = {8, 40, 72, 104, 136, 168, 200, 232, 264, 296, 328};
constexpr int Row[] = {16, 56, 96, 136};
constexpr int Key = 25;
constexpr int SecondLabelPixels = 11; // the names of the second functions above the keys
constexpr int KeyMargin = 2;          // pixels kept clear between a caption and its key's edges

#define DIGIT(n, col, row)                                                                                   \
    KeySpec {                                                                                                \
        "Btn" #n, Col[col], Row[row], Key, Key, Command::Digit##n, true                                      \
    }

const std::array<KeySpec, 33> kKeys{{
    {"BtnDel", Col[0], Row[0], Key, Key, Command::Delete, true},
    {"BtnBS", Col[1], Row[0], Key, Key, Command::Backspace, true},
    {"SecondFBtn", Col[2], Row[0], Key, Key, Command::SecondFunction, true},
    {"SqrRtBtn", Col[3], Row[0], Key, Key, Command::SquareRoot, true},
    {"xsqrBtn", Col[4], Row[0], Key, Key, Command::Square, true},
    {"xtoNeg1Btn", Col[5], Row[0], Key, Key, Command::Reciprocal, true},
    {"BtnPI", Col[6], Row[0], Key, Key, Command::Pi, true},
    DIGIT(7, 7, 0),
    DIGIT(8, 8, 0),
    DIGIT(9, 9, 0),
    {"BtnDiv", Col[10], Row[0], Key, Key, Command::Divide, true},
    {"SelectUnitsBtn", Col[0], Row[1], 89, Key, Command::SelectUnits, true},
    {"BtnSIN", Col[3], Row[1], Key, Key, Command::Sin, true},
    {"BtnCOS", Col[4], Row[1], Key, Key, Command::Cos, true},
    {"BtnTAN", Col[5], Row[1], Key, Key, Command::Tan, true},
    {"GravityBtn", Col[6], Row[1], Key, Key, Command::Gravity, true},
    DIGIT(4, 7, 1),
    DIGIT(5, 8, 1),
    DIGIT(6, 9, 1),
    {"BtnMul", Col[10], Row[1], Key, Key, Command::Multiply, true},
    {"ConvertUnitsBtn", Col[0], Row[2], 89, Key, Command::ConvertUnits, true},
    {"LogBtn", Col[3], Row[2], Key, Key, Command::Log, true},
    {"LnBtn", Col[4], Row[2], Key, Key, Command::Ln, true},
    {"StackTopFlipBtn", Col[5], Row[2], Key, Key, Command::Swap, true},
    {"BtnEnter", Col[6], Row[2], Key, 65, Command::Enter, true},
    DIGIT(1, 7, 2),
    DIGIT(2, 8, 2),
    DIGIT(3, 9, 2),
    {"BtnSub", Col[10], Row[2], Key, Key, Command::Subtract, true},
    {"BtnSTO", Col[4], Row[3], 26, Key, Command::Store, false},
    {"BtnRCL", Col[5], Row[3], 26, Key, Command::Recall, false},
    DIGIT(0, 7, 3),
    {"BtnDot", Col[8], Row[3], Key, Key, Command::Dot, true},
}};
#undef DIGIT

// Buttons outside the main table: the change-sign and add keys sit in the last row, the hidden
// direct-convert key shares its place with the converter key.
const std::array<KeySpec, 3> kMoreKeys{{
    {"BtnCHS", Col[9], Row[3], Key, Key, Command::ChangeSign, true},
    {"BtnAdd", Col[10], Row[3], Key, Key, Command::Add, true},
    {"ConvertStackBtn", Col[0], Row[2], 20, Key, Command::DirectConvert, true},
}};

// The command table holds UTF-8.
QString Text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Images above the keys that name the second functions and run them on a double-click.
struct SecondImageSpec {
    const char* name;
    int left, top;
    Command command;
};
const std::array<SecondImageSpec, 8> kSecondImages{{
    {"XRootYImg", 104, 4, Command::XRootY},
    {"YtoXImg", 136, 4, Command::YtoX},
    {"AreaImg", 200, 5, Command::CircleArea},
    {"SinInvImg", 108, 46, Command::ArcSin},
    {"CosInvImg", 140, 46, Command::ArcCos},
    {"TanInvImg", 172, 46, Command::ArcTan},
    {"TenToXImg", 104, 85, Command::TenToX},
    {"EtoXImg", 136, 85, Command::EtoX},
}};

} // namespace

void TKorbCalcForm::BuildKeypad() {
    panel_ = new QFrame(centralWidget());
    panel_->setObjectName("ButtonPanel");
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel_->setGeometry(8, 48, 361, 172);
    panel_->setProperty(kHelpContextProperty, HelpContexts::Keypad);
    panel_->installEventFilter(this);

    auto make = [this](const KeySpec& spec) {
        const KeyFace& face = Describe(spec.command).key;
        auto* b = new QPushButton(Text(face.caption), panel_);
        b->setObjectName(spec.name);
        b->setGeometry(spec.left, spec.top, spec.width, spec.height);
        b->setAutoDefault(false);
        b->setToolTip(Text(face.tip));
        b->setAccessibleName(Text(face.tip.empty() ? face.caption : face.tip));
        b->setProperty(kHelpContextProperty, HelpContexts::Keypad);
        b->setFocusPolicy(spec.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        b->installEventFilter(this);
        QFont f = b->font();
        // The usual size, smaller where a caption would run into the button's edges.
        f.setPixelSize(spec.width > Key ? 11 : 12);
        b->setFont(FontToFit(f, b->text(), b->size(), KeyMargin));
        const Command command = spec.command;
        connect(b, &QPushButton::clicked, this, [this, command] { RunCommand(command); });
        // The keys changed below are known by their commands.
        if (command == Command::Enter) enterBtn_ = b;
        if (command == Command::SecondFunction) secondFBtn_ = b;
        if (command == Command::DirectConvert) convertStackBtn_ = b;
    };
    for (const auto& spec : kKeys) make(spec);
    for (const auto& spec : kMoreKeys) make(spec);
    convertStackBtn_->setProperty(kHelpContextProperty, 0);
    convertStackBtn_->hide();
    QFont big = enterBtn_->font();
    big.setPixelSize(20);
    enterBtn_->setFont(FontToFit(big, enterBtn_->text(), enterBtn_->size(), KeyMargin));
    // A narrow bold face where one is installed: the face it was drawn with, its metric twin
    // (fonts-liberation) or the narrow DejaVu (fonts-dejavu-extra). Otherwise the usual face, as
    // large as fits.
    QPushButton* second = secondFBtn_;
    QFont narrow = second->font();
    const QString family = PresentFamily({"Arial Narrow", "Liberation Sans Narrow", "DejaVu Sans Condensed"});
    if (!family.isEmpty()) narrow.setFamily(family);
    narrow.setPixelSize(12);
    narrow.setBold(true);
    second->setFont(FontToFit(narrow, second->text(), second->size(), KeyMargin));
    // Stays down while the 2nd-function layer is on.
    second->setCheckable(true);
}

void TKorbCalcForm::BuildToggles() {
    struct ToggleSpec {
        const char* name;
        const char* caption;
        const char* tip;
        int left, top, width, height;
        bool hidden;
        QToolButton* ToggleButtons::*slot;
    };
    const ToggleSpec specs[] = {
        {"AutoConvertBtn", "AutoConv", "AutoConvert Calculations", 8, 128, 57, 18, false,
         &ToggleButtons::autoConvert},
        {"SIBtn", "SI", "Systeme Internationale F3", 8, 146, 29, 18, false, &ToggleButtons::si},
        {"USBtn", "US", "U.S. Customary F4", 36, 146, 29, 18, false, &ToggleButtons::us},
        {"ShowStackBtn", "Stck", "Show Stack F5", 72, 136, 26, 25, false, &ToggleButtons::showStack},
        {"ShowRegsBtn", "Reg", "Show Registers F6", 104, 136, 26, 25, false, &ToggleButtons::showRegisters},
        {"CalcModeBtn", "Calc", "Calculator Mode F5", 72, 136, 26, 25, true, &ToggleButtons::calcMode},
        {"FFModeBtn", "Free", "Free Form Mode F6", 100, 136, 26, 25, true, &ToggleButtons::freeForm},
    };
    for (const auto& spec : specs) {
        auto* b = new TToggleButton(panel_);
        b->setObjectName(spec.name);
        b->setText(spec.caption);
        b->setToolTip(spec.tip);
        b->setAccessibleName(spec.tip);
        b->setCheckable(true);
        // Drawn as buttons up and down, so that they do not read as labels.
        b->setAutoRaise(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(spec.left, spec.top, spec.width, spec.height);
        QFont f = b->font();
        f.setPixelSize(10);
        b->setFont(FontToFit(f, b->text(), b->size(), KeyMargin));
        b->setVisible(!spec.hidden);
        toggles_.*spec.slot = b;
    }
    auto* units = new QButtonGroup(this);
    units->setExclusive(true);
    units->addButton(toggles_.si);
    units->addButton(toggles_.us);
    auto* modes = new QButtonGroup(this);
    modes->addButton(toggles_.calcMode);
    modes->addButton(toggles_.freeForm);

    // The toggles show what the engine reports through the view, so a click only runs the command.
    connect(toggles_.autoConvert, &QToolButton::clicked, this, [this] { RunCommand(Command::AutoConvert); });
    connect(toggles_.si, &QToolButton::clicked, this, [this] { RunCommand(Command::UnitSystemSI); });
    connect(toggles_.us, &QToolButton::clicked, this, [this] { RunCommand(Command::UnitSystemUS); });
    connect(toggles_.showStack, &QToolButton::clicked, this, [this] { ShowStack1Click(); });
    connect(toggles_.showRegisters, &QToolButton::clicked, this, [this] { ShowRegisters1Click(); });
    connect(toggles_.calcMode, &QToolButton::clicked, this, [this] { RunCommand(Command::CalculatorMode); });
    connect(toggles_.freeForm, &QToolButton::clicked, this, [this] { RunCommand(Command::FreeFormMode); });
}

void TKorbCalcForm::BuildSecondFunctionImages() {
    for (const auto& spec : kSecondImages) {
        const KeyFace& face = Describe(spec.command).key;
        auto* img = new TImage(Text(face.caption), panel_);
        img->setObjectName(spec.name);
        img->setToolTip(Text(face.tip));
        img->setAccessibleName(Text(face.tip));
        QFont f("Arial");
        f.setPixelSize(SecondLabelPixels);
        img->setFont(f);
        img->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        // As wide as a key's column, standing on the key below it.
        const int keyTop = *std::find_if(std::begin(Row), std::end(Row), [&](int r) { return r > spec.top; });
        const int height = SecondLabelPixels + 3;
        img->setGeometry(spec.left - 3, keyTop - height, 32, height);
        const Command command = spec.command;
        connect(img, &TImage::doubleClicked, this, [this, command] { RunCommand(command); });
        secondImages_.push_back(img);
    }
}

// ---- keys -------------------------------------------------------------------------------------------

bool TKorbCalcForm::HandleKey(QKeyEvent* event) {
    const auto key = TranslateKey(*event);
    if (!key) {
        // Characters beyond ASCII (µ, ², °, Ω typed on a keyboard that has them) go into the entry
        // as they are; the map knows only the ASCII keys.
        const QString text = event->text();
        const bool typed = !text.isEmpty() && text.size() <= 2 && text.at(0).unicode() >= 0xA0 &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (!typed) return false;
        Run([&] { engine_->TypeCharacter(text.toStdString()); });
        return true;
    }
    Run([&] { engine_->DisplayKeyDown(key->code, key->shift, key->ctrl); });
    return true;
}

void TKorbCalcForm::keyPressEvent(QKeyEvent* event) {
    if (!HandleKey(event)) QMainWindow::keyPressEvent(event);
}

bool TKorbCalcForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && qobject_cast<QAbstractButton*>(watched)) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Tab moves between controls and Alt opens menus; everything else, Space and Enter
        // included, is a calculator key rather than a press of the focused button.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
            (key->modifiers() & Qt::AltModifier))
            return false;
        HandleKey(key);
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && (watched == panel_ || watched == centralWidget())) {
        FocusEnterButtonNow();
        return false;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TKorbCalcForm::mousePressEvent(QMouseEvent* event) {
    QMainWindow::mousePressEvent(event);
    FocusEnterButtonNow();
}

void TKorbCalcForm::FocusEnterButtonNow() {
    if (enterBtn_) enterBtn_->setFocus(Qt::OtherFocusReason);
}
