#include "ui/KorbCalcDisplay.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>

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
