#include "ui/KorbCalcMainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolButton>
#include <array>
#include <cstdio>
#include <exception>

#include "settings/NumberFormat.h"
#include "settings/ValueStore.h"
#include "ui/AboutBoxForm.h"
#include "ui/DialogStyle.h"
#include "ui/ErrWindowForm.h"
#include "ui/FormatFormUnit.h"
#include "ui/HelpWindow.h"
#include "ui/KeyTranslate.h"
#include "ui/PreferencesForm.h"
#include "ui/ReadmeFormUnit.h"
#include "ui/RegisterFormUnit.h"
#include "ui/ResetCalcForm.h"
#include "ui/StackFormUnit.h"
#include "ui/UnitsSelectorUnit.h"

namespace {

constexpr int KeypadHelpContext = HelpContexts::Keypad;
constexpr int OtherHelpContext = HelpContexts::Other;
constexpr int UnitsHelpContext = HelpContexts::Units;
constexpr int StackHelpContext = HelpContexts::Stack;
constexpr int RegisterHelpContext = HelpContexts::Registers;

// The keypad, in panel coordinates. Glyph faces are symbols; each keeps its tool tip, which also
// serves as its accessible name.
struct KeySpec {
    const char* name;
    const char* face;
    const char* tip;
    int left, top, width, height;
    void (*click)(KorbCalc&);
    bool tabStop;
};

constexpr int Col[] = {8, 40, 72, 104, 136, 168, 200, 232, 264, 296, 328};
constexpr int Row[] = {16, 56, 96, 136};
constexpr int Key = 25;

#define DIGIT(n, col, row)                                                                                   \
    KeySpec {                                                                                                \
        "Btn" #n, #n, "", Col[col], Row[row], Key, Key, [](KorbCalc& k) { k.NumBtnClick(n); }, true          \
    }

const std::array<KeySpec, 33> kKeys{{
    {"BtnDel", "DEL", "Delete From Stack", Col[0], Row[0], Key, Key, [](KorbCalc& k) { k.BtnDelClick(); },
     true},
    {"BtnBS", "BS", "Backspace", Col[1], Row[0], Key, Key, [](KorbCalc& k) { k.BtnBSClick(); }, true},
    {"SecondFBtn", "2nd", "2nd Function F2", Col[2], Row[0], Key, Key,
     [](KorbCalc& k) { k.SecondFBtnClick(); }, true},
    {"SqrRtBtn", "\u221Ax", "Square Root", Col[3], Row[0], Key, Key, [](KorbCalc& k) { k.SqrRtBtnClick(); },
     true},
    {"xsqrBtn", "x\u00B2", "Squared", Col[4], Row[0], Key, Key, [](KorbCalc& k) { k.xsqrBtnClick(); }, true},
    {"xtoNeg1Btn", "1/x", "Reciprocal", Col[5], Row[0], Key, Key, [](KorbCalc& k) { k.xtoNeg1BtnClick(); },
     true},
    {"BtnPI", "\u03C0", "Pi", Col[6], Row[0], Key, Key, [](KorbCalc& k) { k.BtnPIClick(); }, true},
    DIGIT(7, 7, 0),
    DIGIT(8, 8, 0),
    DIGIT(9, 9, 0),
    {"BtnDiv", "\u00F7", "Divide", Col[10], Row[0], Key, Key,
     [](KorbCalc& k) { k.BtnMulDivClick(KeyTag::Divide); }, true},
    {"SelectUnitsBtn", "Select Units \u25B8", "Units Selector Menu F9", Col[0], Row[1], 89, Key,
     [](KorbCalc& k) { k.SelectUnitsBtnClick(); }, true},
    {"BtnSIN", "sin", "sine", Col[3], Row[1], Key, Key,
     [](KorbCalc& k) { k.BtnSINCOSTANClick(TrigKey::Sin); }, true},
    {"BtnCOS", "cos", "cosine", Col[4], Row[1], Key, Key,
     [](KorbCalc& k) { k.BtnSINCOSTANClick(TrigKey::Cos); }, true},
    {"BtnTAN", "tan", "tangent", Col[5], Row[1], Key, Key,
     [](KorbCalc& k) { k.BtnSINCOSTANClick(TrigKey::Tan); }, true},
    {"GravityBtn", "g", "Acceleration of Gravity", Col[6], Row[1], Key, Key,
     [](KorbCalc& k) { k.GravityBtnClick(); }, true},
    DIGIT(4, 7, 1),
    DIGIT(5, 8, 1),
    DIGIT(6, 9, 1),
    {"BtnMul", "\u00D7", "Multiply", Col[10], Row[1], Key, Key,
     [](KorbCalc& k) { k.BtnMulDivClick(KeyTag::Multiply); }, true},
    {"ConvertUnitsBtn", "Convert Units \u21C4", "Units Converter Menu F10", Col[0], Row[2], 89, Key,
     [](KorbCalc& k) { k.ConvertUnitsBtnClick(); }, true},
    {"LogBtn", "log", "Log", Col[3], Row[2], Key, Key, [](KorbCalc& k) { k.LogBtnClick(); }, true},
    {"LnBtn", "ln", "Natural Log", Col[4], Row[2], Key, Key, [](KorbCalc& k) { k.LnBtnClick(); }, true},
    {"StackTopFlipBtn", "x\u21C4y", "Swap Top Two Stack Items F12", Col[5], Row[2], Key, Key,
     [](KorbCalc& k) { k.StackTopFlipBtnClick(); }, true},
    {"BtnEnter", "\u21B5", "Push Display to Stack", Col[6], Row[2], Key, 65,
     [](KorbCalc& k) { k.BtnEnterClick(); }, true},
    DIGIT(1, 7, 2),
    DIGIT(2, 8, 2),
    DIGIT(3, 9, 2),
    {"BtnSub", "\u2212", "Subtract", Col[10], Row[2], Key, Key,
     [](KorbCalc& k) { k.BtnAddSubtractClick(KeyTag::Subtract); }, true},
    {"BtnSTO", "STO", "Store to Register F7", Col[4], Row[3], 26, Key, [](KorbCalc& k) { k.BtnSTOClick(); },
     false},
    {"BtnRCL", "RCL", "Recall from Register F8", Col[5], Row[3], 26, Key,
     [](KorbCalc& k) { k.BtnRCLClick(); }, false},
    DIGIT(0, 7, 3),
    {"BtnDot", ".", "", Col[8], Row[3], Key, Key, [](KorbCalc& k) { k.BtnDotClick(); }, true},
}};
#undef DIGIT

// Buttons outside the main table: the change-sign and add keys sit in the last row, the hidden
// direct-convert key shares its place with the converter key.
const std::array<KeySpec, 3> kMoreKeys{{
    {"BtnCHS", "\u00B1", "Change Algebraic Sign", Col[9], Row[3], Key, Key,
     [](KorbCalc& k) { k.BtnCHSClick(); }, true},
    {"BtnAdd", "+", "Add", Col[10], Row[3], Key, Key, [](KorbCalc& k) { k.BtnAddSubtractClick(KeyTag::Add); },
     true},
    {"ConvertStackBtn", "\u21E5", "Convert to Top of Stack Units F11", Col[0], Row[2], 20, Key,
     [](KorbCalc& k) { k.ConvertStackBtnClick(); }, true},
}};

// Images above the keys that name the second functions and run them on a double-click.
struct SecondImageSpec {
    const char* name;
    const char* face;
    const char* tip;
    int left, top;
    void (*run)(KorbCalc&);
};
const std::array<SecondImageSpec, 8> kSecondImages{{
    {"XRootYImg", "\u02E3\u221Ay", "Root of Y", 104, 4, [](KorbCalc& k) { k.XRootYImgDblClick(); }},
    {"YtoXImg", "y\u02E3", "Y to the Power of X", 136, 4, [](KorbCalc& k) { k.YtoXImgDblClick(); }},
    {"AreaImg", "\u03C0d\u00B2/4", "Area of a Circle, Given Diameter", 200, 5,
     [](KorbCalc& k) { k.AreaImgDblClick(); }},
    {"SinInvImg", "sin\u207B\u00B9", "Arcsine", 108, 46, [](KorbCalc& k) { k.SinInvImgDblClick(); }},
    {"CosInvImg", "cos\u207B\u00B9", "Arccosine", 140, 46, [](KorbCalc& k) { k.CosInvImgDblClick(); }},
    {"TanInvImg", "tan\u207B\u00B9", "Arctangent", 172, 46, [](KorbCalc& k) { k.TanInvImgDblClick(); }},
    {"TenToXImg", "10\u02E3", "10 to the Power of X", 104, 85, [](KorbCalc& k) { k.TenToXImgDblClick(); }},
    {"EtoXImg", "e\u02E3", "E to the Power of X", 136, 85, [](KorbCalc& k) { k.EtoXImgDblClick(); }},
}};

// Pictures drawn in code so that they stay sharp at any scale.
enum class Picture { Editing, NotEditing, UnitsDown, SecondF, Emblem };

QPixmap DrawPicture(Picture picture, int size, qreal dpr) {
    QPixmap pm(QSize(size, size) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    switch (picture) {
    case Picture::Editing: { // a pencil
        p.setPen(QPen(QColor(200, 120, 0), s / 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.8, s * 0.2), QPointF(s * 0.35, s * 0.65));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPolygon(
            QPolygonF{QPointF(s * 0.1, s * 0.9), QPointF(s * 0.22, s * 0.55), QPointF(s * 0.45, s * 0.78)});
        break;
    }
    case Picture::NotEditing: { // a stack with its top marked
        for (int i = 0; i < 3; ++i) {
            p.setBrush(i == 0 ? QColor(0, 120, 0) : QColor(150, 150, 150));
            p.setPen(Qt::NoPen);
            p.drawRect(QRectF(s * 0.1, s * (0.1 + i * 0.3), s * 0.8, s * 0.2));
        }
        break;
    }
    case Picture::UnitsDown: { // an arrow down
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 160));
        p.drawRect(QRectF(s * 0.4, s * 0.05, s * 0.2, s * 0.5));
        p.drawPolygon(
            QPolygonF{QPointF(s * 0.1, s * 0.5), QPointF(s * 0.9, s * 0.5), QPointF(s * 0.5, s * 0.95)});
        break;
    }
    case Picture::SecondF: {
        QFont f("Arial");
        f.setPixelSize(qRound(s));
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(0, 0, 200));
        p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, "2");
        break;
    }
    case Picture::Emblem: { // a dial with a measuring scale
        QRadialGradient g(QPointF(s * 0.35, s * 0.35), s * 0.7);
        g.setColorAt(0, QColor(90, 140, 220));
        g.setColorAt(1, QColor(20, 50, 120));
        p.setBrush(g);
        p.setPen(QPen(QColor(10, 30, 80), 1));
        p.drawEllipse(QRectF(1, 1, s - 2, s - 2));
        p.setPen(QPen(Qt::white, 1.2));
        const QPointF c(s / 2, s / 2);
        for (int i = 0; i <= 8; ++i) {
            const double a = 3.14159 * (0.85 + 1.3 * i / 8.0);
            const double r0 = s * (i % 4 == 0 ? 0.28 : 0.33), r1 = s * 0.40;
            p.drawLine(c + QPointF(r0 * std::cos(a), r0 * std::sin(a)),
                       c + QPointF(r1 * std::cos(a), r1 * std::sin(a)));
        }
        p.setPen(QPen(QColor(255, 200, 60), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, c + QPointF(s * 0.25 * std::cos(-0.6), s * 0.25 * std::sin(-0.6)));
        QFont f("Arial");
        f.setPixelSize(qRound(s * 0.3));
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, s * 0.52, s, s * 0.4), Qt::AlignCenter, "M");
        break;
    }
    }
    return pm;
}

} // namespace

// ---- display ------------------------------------------------------------------------------------

TDisplay::TDisplay(TKorbCalcForm& main) : QTextEdit(&main), main_(main) {
    setObjectName("Display");
    setAcceptRichText(false);
    // Lines stay whole; the layout keeps the widget's width so right alignment works.
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::NoWrap);
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(Qt::AlignRight);
    option.setWrapMode(QTextOption::NoWrap);
    document()->setDefaultTextOption(option);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setCursor(Qt::IBeamCursor);
    setProperty(kHelpContextProperty, KeypadHelpContext);
    setToolTip({});
    setAccessibleName("Display");
    setAcceptDrops(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

bool TDisplay::event(QEvent* event) {
    // Copy and paste keys stay the window's commands, which copy the whole display and push what
    // they paste, also while the display is being edited.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste)) {
            event->ignore();
            return true;
        }
    }
    return QTextEdit::event(event);
}

void TDisplay::keyPressEvent(QKeyEvent* event) {
    const bool isEnter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isEnter && !(event->modifiers() & Qt::AltModifier)) {
        main_.HandleKey(event);
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TDisplay::focusInEvent(QFocusEvent* event) {
    QTextEdit::focusInEvent(event);
    // A pop-up menu or another window taking the focus for a while is no leaving of the display.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) {
        if (main_.Engine().DisplayFocused) return;
    }
    main_.Run([this] { main_.Engine().DisplayEnter(); });
}

void TDisplay::focusOutEvent(QFocusEvent* event) {
    QTextEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) return;
    main_.Run([this] { main_.Engine().DisplayExit(); });
}

void TDisplay::dragEnterEvent(QDragEnterEvent* event) {
    AnswerListDrag(event, &KorbCalc::DisplayDragOver);
}

void TDisplay::dragMoveEvent(QDragMoveEvent* event) {
    AnswerListDrag(event, &KorbCalc::DisplayDragOver);
}

void TDisplay::dropEvent(QDropEvent* event) {
    if (!AnswerListDrag(event, &KorbCalc::DisplayDragOver)) return;
    auto source = ReadListDragData(event->mimeData());
    main_.Run([&] { main_.Engine().DisplayDragDrop(*source); });
    main_.FocusMainWindow();
}

void TImage::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    emit clicked();
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

// ---- main window ----------------------------------------------------------------------------------

namespace {

// Milliseconds since the process started, from the kernel's start time of the process; -1 where
// that cannot be read. Used only for the start-up time report.
double ProcessAgeMs() {
    FILE* stat = std::fopen("/proc/self/stat", "r");
    FILE* uptime = std::fopen("/proc/uptime", "r");
    double age = -1;
    if (stat && uptime) {
        char buf[1024] = {};
        const size_t n = std::fread(buf, 1, sizeof buf - 1, stat);
        buf[n] = 0;
        // Field 22 (start time in clock ticks) comes after the command name's closing parenthesis.
        const char* p = std::strrchr(buf, ')');
        unsigned long long ticks = 0;
        double up = 0;
        if (p &&
            std::sscanf(p + 2,
                        "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                        &ticks) == 1 &&
            std::fscanf(uptime, "%lf", &up) == 1) {
            const long hz = sysconf(_SC_CLK_TCK);
            age = (up - static_cast<double>(ticks) / static_cast<double>(hz)) * 1000.0;
        }
    }
    if (stat) std::fclose(stat);
    if (uptime) std::fclose(uptime);
    return age;
}

} // namespace

TKorbCalcForm::TKorbCalcForm(ValueStore& store, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      store_(store) {
    setObjectName("KorbCalcForm");
    setWindowTitle("Meridot");
    setProperty(kHelpContextProperty, KeypadHelpContext);

    auto* client = new QWidget(this);
    client->setObjectName("ClientArea");
    client->setFixedSize(ClientWidth, ClientHeight);
    client->installEventFilter(this);
    setCentralWidget(client);

    BuildDisplay(client);
    BuildKeypad();
    BuildToggles();
    BuildSecondFunctionImages();
    BuildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(DesignLeft, DesignTop);

    ApplyStoredFont();
    PrefsHost host;
    host.mainPos = [this] { return WindowPos{pos().x(), pos().y()}; };
    host.mainWidth = [this] { return frameGeometry().width(); };
    host.moveMain = [this](WindowPos p) { move(p.x, p.y); };
    host.stackWindowPos = [this] {
        return stackForm_ ? WindowPos{stackForm_->pos().x(), stackForm_->pos().y()} : Prefs().StackPos;
    };
    host.registerWindowPos = [this] {
        return registerForm_ ? WindowPos{registerForm_->pos().x(), registerForm_->pos().y()} : Prefs().RegPos;
    };
    host.reportWriteError = [this](const std::string& m) { ShowMessage(m); };
    engine_ = std::make_unique<KorbCalc>(*this, store_, std::move(host));

    engine_->onRefreshViews = [this] {
        if (registerForm_ && registerForm_->isVisible()) registerForm_->Refresh();
    };
    StackCalc& stack = engine_->Stack();
    stack.onStackChanged = [this] {
        if (stackForm_) stackForm_->UpdateAll();
    };
    stack.onRegistersChanged = [this] {
        if (registerForm_ && registerForm_->isVisible()) registerForm_->Refresh();
    };
}

TKorbCalcForm::~TKorbCalcForm() {
    // Everything that reaches the engine goes before it: the other windows, then the display and
    // the keypad.
    delete stackForm_;
    delete registerForm_;
    stackForm_ = nullptr;
    registerForm_ = nullptr;
    const auto children = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* w : children)
        if (w->isWindow()) delete w;
    display_->blockSignals(true);
    delete takeCentralWidget();
    display_ = nullptr;
}

void TKorbCalcForm::BuildDisplay(QWidget* client) {
    display_ = new TDisplay(*this);
    display_->setParent(client);
    display_->setGeometry(8, 8, 313, 33);
    connect(display_, &QTextEdit::textChanged, this, [this] {
        if (engine_) Run([this] { engine_->DisplayChange(); });
    });
    connect(display_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { popup_->popup(display_->mapToGlobal(p)); });

    struct IndicatorSpec {
        const char* name;
        const char* tip;
        Picture picture;
        int top;
        bool visible;
    };
    const IndicatorSpec indicators[] = {
        {"IsEditingImg", "Currently Editing Value", Picture::Editing, 9, false},
        {"IsNotEditingImg", "Displaying Top of Stack Value", Picture::NotEditing, 9, true},
        {"DOIDown", "Units Displayed on Next Line", Picture::UnitsDown, 21, false},
        {"SecondFImg", "Second Functions Enabled", Picture::SecondF, 31, false},
    };
    const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
    for (const auto& spec : indicators) {
        auto* img = new TImage(client);
        img->setObjectName(spec.name);
        img->setToolTip(spec.tip);
        img->setAccessibleName(spec.tip);
        img->setPixmap(DrawPicture(spec.picture, 10, dpr));
        img->setGeometry(322, spec.top, 10, 10);
        img->setVisible(spec.visible);
        images_[spec.name] = img;
    }
    connect(images_["DOIDown"], &TImage::clicked, this, [this] { FocusEnterButtonNow(); });

    auto* emblem = new TImage(client);
    emblem->setObjectName("Image1");
    emblem->setAccessibleName("Meridot");
    emblem->setPixmap(DrawPicture(Picture::Emblem, 36, dpr));
    emblem->setGeometry(332, 10, 36, 36);
    images_["Image1"] = emblem;
    connect(emblem, &TImage::clicked, this, [this] { FocusEnterButtonNow(); });
}

void TKorbCalcForm::BuildKeypad() {
    panel_ = new QFrame(centralWidget());
    panel_->setObjectName("ButtonPanel");
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel_->setGeometry(8, 48, 361, 172);
    panel_->setProperty(kHelpContextProperty, KeypadHelpContext);
    panel_->installEventFilter(this);

    auto make = [this](const KeySpec& spec) {
        auto* b = new QPushButton(QString::fromUtf8(spec.face), panel_);
        b->setObjectName(spec.name);
        b->setGeometry(spec.left, spec.top, spec.width, spec.height);
        b->setAutoDefault(false);
        b->setToolTip(spec.tip);
        b->setAccessibleName(*spec.tip ? QString(spec.tip) : QString::fromUtf8(spec.face));
        b->setProperty(kHelpContextProperty, KeypadHelpContext);
        b->setFocusPolicy(spec.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        b->installEventFilter(this);
        QFont f = b->font();
        f.setPixelSize(spec.width > Key ? 11 : 12);
        b->setFont(f);
        auto click = spec.click;
        connect(b, &QPushButton::clicked, this, [this, click] { Run([this, click] { click(*engine_); }); });
        buttons_[spec.name] = b;
    };
    for (const auto& spec : kKeys) make(spec);
    for (const auto& spec : kMoreKeys) make(spec);
    enterBtn_ = buttons_["BtnEnter"];
    buttons_["ConvertStackBtn"]->setProperty(kHelpContextProperty, 0);
    buttons_["ConvertStackBtn"]->hide();
    QFont big = enterBtn_->font();
    big.setPixelSize(20);
    enterBtn_->setFont(big);
    QPushButton* second = buttons_["SecondFBtn"];
    QFont narrow("Arial Narrow");
    narrow.setPixelSize(12);
    narrow.setBold(true);
    second->setFont(narrow);
    second->setStyleSheet("color: #0000c0;");
}

void TKorbCalcForm::BuildToggles() {
    struct ToggleSpec {
        const char* name;
        const char* caption;
        const char* tip;
        int left, top, width, height;
        bool hidden;
    };
    const ToggleSpec specs[] = {
        {"AutoConvertBtn", "AutoConv", "AutoConvert Calculations", 8, 128, 57, 18, false},
        {"SIBtn", "SI", "Systeme Internationale F3", 8, 146, 29, 18, false},
        {"USBtn", "US", "U.S. Customary F4", 36, 146, 29, 18, false},
        {"ShowStackBtn", "Stck", "Show Stack F5", 72, 136, 26, 25, false},
        {"ShowRegsBtn", "Reg", "Show Registers F6", 104, 136, 26, 25, false},
        {"CalcModeBtn", "Calc", "Calculator Mode F5", 72, 136, 26, 25, true},
        {"FFModeBtn", "Free", "Free Form Mode F6", 100, 136, 26, 25, true},
    };
    for (const auto& spec : specs) {
        auto* b = new QToolButton(panel_);
        b->setObjectName(spec.name);
        b->setText(spec.caption);
        b->setToolTip(spec.tip);
        b->setAccessibleName(spec.tip);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(spec.left, spec.top, spec.width, spec.height);
        QFont f = b->font();
        f.setPixelSize(10);
        b->setFont(f);
        b->setVisible(!spec.hidden);
        toggles_[spec.name] = b;
    }
    auto* units = new QButtonGroup(this);
    units->setExclusive(true);
    units->addButton(toggles_["SIBtn"]);
    units->addButton(toggles_["USBtn"]);
    auto* modes = new QButtonGroup(this);
    modes->addButton(toggles_["CalcModeBtn"]);
    modes->addButton(toggles_["FFModeBtn"]);

    connect(toggles_["AutoConvertBtn"], &QToolButton::clicked, this,
            [this](bool down) { Run([&] { engine_->AutoConvertBtnClick(down); }); });
    connect(toggles_["SIBtn"], &QToolButton::clicked, this,
            [this] { Run([this] { engine_->SIBtnClick(); }); });
    connect(toggles_["USBtn"], &QToolButton::clicked, this,
            [this] { Run([this] { engine_->USBtnClick(); }); });
    connect(toggles_["ShowStackBtn"], &QToolButton::clicked, this, [this] { ShowStack1Click(); });
    connect(toggles_["ShowRegsBtn"], &QToolButton::clicked, this, [this] { ShowRegisters1Click(); });
    connect(toggles_["CalcModeBtn"], &QToolButton::clicked, this,
            [this] { Run([this] { engine_->Calculator1Click(); }); });
    connect(toggles_["FFModeBtn"], &QToolButton::clicked, this,
            [this] { Run([this] { engine_->FreeForm1Click(); }); });
}

void TKorbCalcForm::BuildSecondFunctionImages() {
    for (const auto& spec : kSecondImages) {
        auto* img = new TImage(QString::fromUtf8(spec.face), panel_);
        img->setObjectName(spec.name);
        img->setToolTip(spec.tip);
        img->setAccessibleName(spec.tip);
        QFont f("Arial");
        f.setPixelSize(9);
        img->setFont(f);
        img->setStyleSheet("color: #0000c0;");
        img->setAlignment(Qt::AlignCenter);
        img->setGeometry(spec.left - 2, spec.top, 30, 12);
        auto run = spec.run;
        connect(img, &TImage::doubleClicked, this, [this, run] { Run([this, run] { run(*engine_); }); });
        images_[spec.name] = img;
    }
}

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
    auto engine = [this](void (KorbCalc::*method)()) {
        return [this, method] { Run([this, method] { (engine_.get()->*method)(); }); };
    };
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");

    QMenu* calc = bar->addMenu("&Calculator");
    AddAction(calc, "Preferences1", "&Preferences", QKeySequence("Ctrl+P"), [this] { Preferences1Click(); });
    AddAction(calc, "ResetCalculator1", "&Clear/Reset", {}, [this] { ResetCalculator1Click(); });
    calc->addSeparator();
    AddAction(calc, "ExitPowerOff1", "E&xit", {}, [this] { close(); });

    QMenu* edit = bar->addMenu("&Edit");
    AddAction(edit, "Copy1", "&Copy", QKeySequence("Ctrl+C"), engine(&KorbCalc::Copy1Click));
    AddAction(edit, "Paste1", "&Paste", QKeySequence("Ctrl+V"), engine(&KorbCalc::Paste1Click));

    QMenu* view = bar->addMenu("&View");
    AddAction(view, "ShowStack1", "&Stack Form", QKeySequence(Qt::Key_F5), [this] {
        ShowStack1Click();
    })->setCheckable(true);
    AddAction(view, "ShowRegisters1", "&Register Form", QKeySequence(Qt::Key_F6), [this] {
        ShowRegisters1Click();
    })->setCheckable(true);

    QMenu* mode = bar->addMenu("&Mode");
    AddAction(mode, "Menu2ndF", "2nd Function", QKeySequence(Qt::Key_F2), engine(&KorbCalc::Menu2ndFClick))
        ->setCheckable(true);
    mode->addSeparator();
    auto* modeGroup = new QActionGroup(this);
    for (auto [name, text, method] : {std::tuple{"Calculator1", "&Calculator", &KorbCalc::Calculator1Click},
                                      std::tuple{"FreeForm1", "&Free-Form", &KorbCalc::FreeForm1Click}}) {
        QAction* a = AddAction(mode, name, text, {}, engine(method));
        a->setCheckable(true);
        a->setVisible(false);
        modeGroup->addAction(a);
    }
    mode->addSeparator()->setVisible(false);
    auto* unitGroup = new QActionGroup(this);
    QAction* si = AddAction(mode, "SystemeInternationale1", "Systeme Internationale",
                            QKeySequence(Qt::Key_F3), engine(&KorbCalc::SystemeInternationale1Click));
    QAction* us = AddAction(mode, "USCustomary1", "U.S. Customary", QKeySequence(Qt::Key_F4),
                            engine(&KorbCalc::USCustomary1Click));
    for (QAction* a : {si, us}) {
        a->setCheckable(true);
        unitGroup->addAction(a);
    }
    mode->addSeparator();
    AddAction(mode, "AutoConvert1", "Auto Convert", {}, engine(&KorbCalc::AutoConvert1Click))
        ->setCheckable(true);

    QMenu* shortcuts = bar->addMenu("&Shortcuts");
    AddAction(shortcuts, "StoretoRegister1", "&Store to Register", QKeySequence(Qt::Key_F7),
              engine(&KorbCalc::StoretoRegister1Click));
    AddAction(shortcuts, "RecallRegister1", "&Recall Register", QKeySequence(Qt::Key_F8),
              engine(&KorbCalc::RecallRegister1Click));
    shortcuts->addSeparator();
    AddAction(shortcuts, "UnitSelectorMenu1", "&Unit Selector Menu", QKeySequence(Qt::Key_F9),
              engine(&KorbCalc::UnitSelectorMenu1Click));
    AddAction(shortcuts, "UnitConverterMenu1", "Unit &Converter Menu", QKeySequence(Qt::Key_F10),
              engine(&KorbCalc::UnitConverterMenu1Click));
    AddAction(shortcuts, "DirectConvert1", "&Direct Convert", QKeySequence(Qt::Key_F11),
              engine(&KorbCalc::DirectConvert1Click));
    shortcuts->addSeparator();
    AddAction(shortcuts, "XYStackSwap1", "&X<=>Y (Swap)", QKeySequence(Qt::Key_F12),
              engine(&KorbCalc::XYStackSwap1Click));

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
    popupItem("Copy2", "&Copy", QKeySequence("Ctrl+C"), engine(&KorbCalc::Copy2Click));
    popupItem("Paste2", "&Paste", QKeySequence("Ctrl+V"), engine(&KorbCalc::Paste2Click));
    popup_->addSeparator();
    popupItem("FormatPrecision1", "&Number Format", {}, [this] { FormatPrecision1Click(); });
    popupItem("Font", "&Font...", {}, [this] { FontClick(); });
    popupItem("Preferences2", "P&references", QKeySequence("Ctrl+P"), [this] { Preferences1Click(); });
}

QAction* TKorbCalcForm::Action(const QString& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

// ---- running handlers and keys -----------------------------------------------------------------------

void TKorbCalcForm::Run(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ShowMessage(e.what());
    } catch (...) {
        ShowMessage("Unexpected error");
    }
}

bool TKorbCalcForm::HandleKey(QKeyEvent* event) {
    const auto key = TranslateKey(*event);
    if (!key) return false;
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

// ---- start-up and shut-down ---------------------------------------------------------------------------

void TKorbCalcForm::StartUp() {
    show();
    Run([this] { engine_->FormShow(); });
    FocusEnterButtonNow();

    // The other windows, in their fixed order.
    aboutBox_ = new TAboutBox(this);
    stackForm_ = new TStackForm(*this);
    stackForm_->StartUp();
    errWindow_ = new TErrWindow(this);
    resetDialog_ = new TResetCalcDialog(this);
    registerForm_ = new TRegisterForm(*this);
    registerForm_->StartUp();
    unitsDlg_ = new TUnitsDlg(this);
    unitsDlg_->SetErrorHandler([this](const std::string& m) { ShowMessage(m); });
    AddHelpKey(unitsDlg_, UnitsHelpContext);
    AddHelpKey(stackForm_, StackHelpContext);
    AddHelpKey(registerForm_, RegisterHelpContext);
    prefForm_ = new TPrefForm(Prefs(), store_, PrefHost(), this);
    formatForm_ = new TFormatForm(Prefs(), PrefHost(), this);
    readmeForm_ = new TReadmeForm(this);
}

void TKorbCalcForm::closeEvent(QCloseEvent* event) {
    Run([this] { engine_->FormClose(); });
    if (stackForm_) stackForm_->hide();
    if (registerForm_) registerForm_->hide();
    event->accept();
    emit closed();
}

void TKorbCalcForm::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (!firstPaintReported_) {
        firstPaintReported_ = true;
        if (qEnvironmentVariableIsSet("MERIDOT_STARTUP_TIME"))
            std::fprintf(stderr, "Korbcalc: first paint %.0f ms after process start\n", ProcessAgeMs());
        emit firstPainted();
    }
}

// ---- window commands ---------------------------------------------------------------------------------

// Hides a visible tool window, storing its position, or shows it; its menu item and toggle button
// follow.
void TKorbCalcForm::ToggleToolWindow(QWidget* window, const char* item, const char* button, WindowPos& pos,
                                     const std::function<void()>& place,
                                     const std::function<void()>& refresh) {
    if (!window) return;
    const bool show = !window->isVisible();
    if (show) {
        place();
        window->show();
    } else {
        pos = {window->pos().x(), window->pos().y()};
        window->hide();
    }
    actions_[item]->setChecked(show);
    toggles_[button]->setChecked(show);
    if (show) {
        refresh();
        FocusMainWindow();
    }
}

void TKorbCalcForm::ShowStack1Click() {
    ToggleToolWindow(
        stackForm_, "ShowStack1", "ShowStackBtn", Prefs().StackPos, [this] { stackForm_->PlaceForShow(); },
        [this] { Run([this] { engine_->Stack().RefreshViews(); }); });
}

void TKorbCalcForm::ShowRegisters1Click() {
    ToggleToolWindow(
        registerForm_, "ShowRegisters1", "ShowRegsBtn", Prefs().RegPos,
        [this] { registerForm_->PlaceForShow(); }, [this] { registerForm_->Refresh(); });
}

void TKorbCalcForm::ResetCalculator1Click() {
    bool yes = false;
    if (resetConfirmHook)
        yes = resetConfirmHook();
    else if (resetDialog_)
        yes = resetDialog_->Ask();
    if (yes) Run([this] { engine_->ResetCalculator(); });
    FocusEnterButtonNow();
}

void TKorbCalcForm::About1Click() {
    if (aboutBox_) aboutBox_->Execute();
    FocusEnterButtonNow();
}

void TKorbCalcForm::ViewReadme1Click() {
    if (readmeForm_) readmeForm_->exec();
    FocusEnterButtonNow();
}

void TKorbCalcForm::ApplyStoredFont() {
    const DisplayFont stored = ReadDisplayFont(store_);
    ApplyDisplayFont(stored.font, stored.color);
}

void TKorbCalcForm::ApplyDisplayFont(const QFont& font, const QColor& color) {
    display_->setFont(font);
    QPalette pal = display_->palette();
    pal.setColor(QPalette::Text, color);
    display_->setPalette(pal);
}

void TKorbCalcForm::FontClick() {
    if (prefForm_) prefForm_->FontBtnClick();
    FocusEnterButtonNow();
}

// ---- help ----------------------------------------------------------------------------------------------

int TKorbCalcForm::HelpContextOfFocus() const {
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != this) return KeypadHelpContext;
    // Buttons, the display and page controls carry their own context; anything else gets 1.
    if (qobject_cast<QPushButton*>(focus) || qobject_cast<QTextEdit*>(focus) ||
        qobject_cast<QTabWidget*>(focus))
        return focus->property(kHelpContextProperty).toInt();
    return OtherHelpContext;
}

void TKorbCalcForm::HelpFileClick() {
    ShowHelp(HelpContextOfFocus());
}
void TKorbCalcForm::Contents1Click() {
    ShowHelp(HelpContentsTopic);
}
void TKorbCalcForm::KeywordSearch1Click() {
    ShowHelp(HelpSearch);
}

// ---- the view -----------------------------------------------------------------------------------------

std::string TKorbCalcForm::FormatForDisplay(const std::string& text) const {
    return ::FormatForDisplay(text, NotationFromInt(engine_->settings.FractNotation),
                              engine_->settings.DecimalPlaces);
}

std::string TKorbCalcForm::DisplayText() const {
    return display_->toPlainText().toStdString();
}

void TKorbCalcForm::SetDisplayText(const std::string& text) {
    display_->setPlainText(QString::fromStdString(text));
    // The caret goes to the end, where typing continues the entry.
    display_->moveCursor(QTextCursor::End);
}

void TKorbCalcForm::SelectAllDisplay() {
    display_->selectAll();
}

void TKorbCalcForm::ShowError(const std::string& message) {
    if (errorHook)
        errorHook(message);
    else if (errWindow_)
        errWindow_->ShowError(message);
    else
        QMessageBox::warning(this, "ERROR!", QString::fromStdString(message));
}

void TKorbCalcForm::ShowMessage(const std::string& message) {
    if (messageHook)
        messageHook(message);
    else
        QMessageBox::information(isVisible() ? this : nullptr, QApplication::applicationName(),
                                 QString::fromStdString(message));
}

std::optional<std::string> TKorbCalcForm::RunUnitsSelector(const std::string& quantityText) {
    if (unitsSelectorHook) return unitsSelectorHook(quantityText);
    if (!unitsDlg_) return std::nullopt;
    return unitsDlg_->Run(quantityText);
}

void TKorbCalcForm::FocusEnterButton() {
    FocusEnterButtonNow();
}

void TKorbCalcForm::FocusMainWindow() {
    activateWindow();
    FocusEnterButtonNow();
}

void TKorbCalcForm::SetEditingIndicator(bool entered) {
    images_["IsNotEditingImg"]->setVisible(entered);
    images_["IsEditingImg"]->setVisible(!entered);
}

void TKorbCalcForm::SetUnitsOnNextLine(bool visible) {
    images_["DOIDown"]->setVisible(visible);
}

void TKorbCalcForm::SetSecondFunctionIndicator(bool on) {
    images_["SecondFImg"]->setVisible(on);
    actions_["Menu2ndF"]->setChecked(on);
}

void TKorbCalcForm::SetUnitSystemState(bool si, bool enabled) {
    toggles_["SIBtn"]->setChecked(si);
    toggles_["USBtn"]->setChecked(!si);
    actions_["SystemeInternationale1"]->setChecked(si);
    actions_["USCustomary1"]->setChecked(!si);
    for (const char* name : {"SIBtn", "USBtn"}) toggles_[name]->setEnabled(enabled);
    for (const char* name : {"SystemeInternationale1", "USCustomary1"}) actions_[name]->setEnabled(enabled);
}

void TKorbCalcForm::SetAutoConvertState(bool on) {
    toggles_["AutoConvertBtn"]->setChecked(on);
    actions_["AutoConvert1"]->setChecked(on);
}

void TKorbCalcForm::SetCalcModeState(bool calcMode) {
    actions_["Calculator1"]->setChecked(calcMode);
    actions_["FreeForm1"]->setChecked(!calcMode);
    toggles_["CalcModeBtn"]->setChecked(calcMode);
    toggles_["FFModeBtn"]->setChecked(!calcMode);
}

std::string TKorbCalcForm::ClipboardText() const {
    return QApplication::clipboard()->text().toStdString();
}

void TKorbCalcForm::SetClipboardText(const std::string& text) {
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

// ---- preferences, number format and help (wired to their windows) -----------------------------------

PrefDialogHost TKorbCalcForm::PrefHost() {
    PrefDialogHost host;
    host.showStackTop = [this] { Run([this] { engine_->ShowStackTop(); }); };
    host.entered = [this] { return engine_->Entered; };
    host.refreshLists = [this] {
        Run([this] { engine_->Stack().UpdateAll(); });
        if (registerForm_ && registerForm_->isVisible()) registerForm_->Refresh();
    };
    host.writePrefs = [this] { Run([this] { engine_->WritePrefs(); }); };
    host.applyUnitSystem = [this](bool si) {
        Run([&] { si ? engine_->SIBtnClick() : engine_->USBtnClick(); });
    };
    host.applyAutoConvert = [this](bool on) { Run([&] { engine_->AutoConvertBtnClick(on); }); };
    host.setWorkingFormat = [this](int f) { engine_->Working().SetFormat(NotationFromInt(f)); };
    host.setWorkingDigits = [this](int d) { engine_->Working().Digits = static_cast<std::uint8_t>(d); };
    host.mainPos = [this] { return WindowPos{pos().x(), pos().y()}; };
    host.stackWindowPos = [this] { return WindowPos{stackForm_->pos().x(), stackForm_->pos().y()}; };
    host.registerWindowPos = [this] { return WindowPos{registerForm_->pos().x(), registerForm_->pos().y()}; };
    host.applyDisplayFont = [this](const QFont& font, const QColor& color) { ApplyDisplayFont(font, color); };
    return host;
}

void TKorbCalcForm::Preferences1Click() {
    if (prefForm_) prefForm_->exec();
    FocusEnterButtonNow();
}

void TKorbCalcForm::FormatPrecision1Click() {
    if (formatForm_) formatForm_->exec();
    FocusEnterButtonNow();
}
void TKorbCalcForm::ShowHelp(int context) {
    if (helpHook) {
        helpHook(context);
        return;
    }
    if (!helpWindow_) helpWindow_ = new HelpWindow(this);
    if (context == HelpContentsTopic)
        helpWindow_->ShowTopic("Contents");
    else if (context == HelpSearch)
        helpWindow_->ShowSearch();
    else
        helpWindow_->ShowContext(context);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void TKorbCalcForm::AddHelpKey(QWidget* window, int context) {
    auto* help = new QAction(window);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    connect(help, &QAction::triggered, this, [this, context] { ShowHelp(context); });
    window->addAction(help);
}
