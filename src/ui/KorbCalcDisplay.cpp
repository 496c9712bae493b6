#include "ui/KorbCalcDisplay.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include "ui/DialogStyle.h"
#include "ui/KorbCalcMainForm.h"
#include "ui/KorbCalcPictures.h"
#include "ui/StackFormUnit.h"

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
    setProperty(kHelpContextProperty, HelpContexts::Keypad);
    setToolTip({});
    setAccessibleName("Display");
    setAcceptDrops(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    base_ = font();
    connect(this, &QTextEdit::textChanged, this, &TDisplay::FitText);
}

namespace {

constexpr qreal OneLineMargin = 4; // the text field's usual margin
constexpr qreal TwoLineMargin = 1; // two lines need the height
constexpr qreal CaretRoom = 3;     // the text cursor after the last character, and rounding

// Lines of a text broken to a width (at spaces where it can, anywhere where it must) and their
// total height.
std::pair<int, qreal> WrappedLines(const QString& text, const QFont& font, qreal width) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += line.height();
        ++lines;
    }
    layout.endLayout();
    return {lines, height};
}

} // namespace

void TDisplay::SetBaseFont(const QFont& font) {
    base_ = font;
    FitText();
}

void TDisplay::resizeEvent(QResizeEvent* event) {
    QTextEdit::resizeEvent(event);
    FitText();
}

void TDisplay::FitText() {
    if (fitting_) return;
    const QScopedValueRollback guard(fitting_, true);
    const QString text = toPlainText();
    const qreal width = viewport()->width();
    const qreal height = contentsRect().height();
    const int largest = QFontInfo(base_).pixelSize();
    const int smallest = std::min(largest, MinPixelSize);
    auto sized = [this](int pixels) {
        QFont f = base_;
        f.setPixelSize(pixels);
        return f;
    };

    // One line in the largest size that holds the whole text; else the units (or whatever
    // follows the last space that still fits) on a second line, again as large as fits.
    int pixels = -1;
    bool two = false;
    if (!text.contains('\n'))
        for (int px = largest; px >= smallest && pixels < 0; --px)
            if (QFontMetricsF(sized(px)).horizontalAdvance(text) + CaretRoom <= width - 2 * OneLineMargin)
                pixels = px;
    if (pixels < 0) {
        two = true;
        pixels = smallest;
        for (int px = largest; px >= smallest; --px) {
            const auto [lines, textHeight] =
                WrappedLines(text, sized(px), width - 2 * TwoLineMargin - CaretRoom);
            if (lines <= 2 && textHeight <= height - 2 * TwoLineMargin) {
                pixels = px;
                break;
            }
        }
    }

    const QFont shown = sized(pixels);
    if (font() != shown) setFont(shown);
    document()->setDocumentMargin(two ? TwoLineMargin : OneLineMargin);
    setWordWrapMode(two ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    // A smaller text sits in the middle of the field's height.
    const qreal used = two ? document()->size().height() : QFontMetricsF(shown).height() + 2 * OneLineMargin;
    setViewportMargins(0, std::max(0, qRound((height - used) / 2)), 0, 0);
    setToolTip(pixels < largest || two ? text : QString());
    if (!hasFocus()) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
        verticalScrollBar()->setValue(verticalScrollBar()->minimum());
    }
    if (two != twoLines_) {
        twoLines_ = two;
        emit unitsOnNextLineChanged(two);
    }
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
        // Undo and redo keys undo the typing while a value is typed, the last command otherwise.
        const bool historyKey = key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                                key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
        if (historyKey && main_.Engine().State().Entered) {
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
        if (main_.Engine().State().DisplayFocused) return;
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

void TImage::SetPicture(Picture picture) {
    picture_ = picture;
    update();
}

void TImage::paintEvent(QPaintEvent* event) {
    if (!picture_) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    PaintPicture(painter, *picture_, std::min(width(), height()), palette());
}

void TImage::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    emit clicked();
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

// ---- the display and its indicator images in the main window -----------------------------------------

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
        TImage* Indicators::*slot;
    };
    const IndicatorSpec indicators[] = {
        {"IsEditingImg", "Currently Editing Value", Picture::Editing, 9, false, &Indicators::editing},
        {"IsNotEditingImg", "Displaying Top of Stack Value", Picture::NotEditing, 9, true,
         &Indicators::notEditing},
        {"DOIDown", "Units Displayed on Next Line", Picture::UnitsDown, 21, false, &Indicators::unitsDown},
        {"SecondFImg", "Second Functions Enabled", Picture::SecondF, 31, false, &Indicators::secondFunction},
    };
    for (const auto& spec : indicators) {
        auto* img = new TImage(client);
        img->setObjectName(spec.name);
        img->setToolTip(spec.tip);
        img->setAccessibleName(spec.tip);
        img->SetPicture(spec.picture);
        img->setGeometry(322, spec.top, 10, 10);
        img->setVisible(spec.visible);
        indicators_.*spec.slot = img;
    }
    connect(display_, &TDisplay::unitsOnNextLineChanged, this,
            [this] { SetUnitsOnNextLine(engineUnitsDown_); });
    connect(indicators_.unitsDown, &TImage::clicked, this, [this] { FocusEnterButtonNow(); });

    auto* emblem = new TImage(client);
    emblem->setObjectName("Image1");
    emblem->setAccessibleName("Meridot");
    emblem->SetPicture(Picture::Emblem);
    emblem->setGeometry(332, 10, 36, 36);
    connect(emblem, &TImage::clicked, this, [this] { FocusEnterButtonNow(); });
}
