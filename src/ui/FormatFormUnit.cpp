#include "ui/FormatFormUnit.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/DialogStyle.h"

namespace {
constexpr int kMinPlaces = 0;
constexpr int kMaxPlaces = 15;
constexpr int kFallbackPlaces = 7;
constexpr int kGeneral = 0;
constexpr int kCurrency = 4;
// The notations the dialogs offer, each button with its notation number as its id.
struct NotationButton {
    const char* caption;
    int notation;
};
constexpr NotationButton kNotationButtons[] = {
    {"General", 0}, {"Scientific", 1}, {"Fixed Point", 2}, {"Engineering", 5}};
} // namespace

// ---------------------------------------------------------------------------------------------

TUpDown::TUpDown(QLineEdit* buddy, int min, int max, QWidget* parent)
    : QWidget(parent), buddy_(buddy), min_(min), max_(max) {
    setObjectName("UpDown1");
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setToolTip("More decimal places");
    down_->setToolTip("Fewer decimal places");
    for (auto* b : {up_, down_}) {
        b->setAccessibleName(b->toolTip());
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(15, 11);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
    buddy_->installEventFilter(this);
}

std::optional<int> TUpDown::Position() const {
    bool ok = false;
    const int value = buddy_->text().trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return std::clamp(value, min_, max_);
}

void TUpDown::SetPosition(int position) {
    last_ = std::clamp(position, min_, max_);
    buddy_->setText(QString::number(last_));
}

void TUpDown::Step(int delta) {
    emit changing();
    SetPosition(Position().value_or(last_) + delta);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    // The arrow keys in the box work the arrows.
    if (watched == buddy_ && event->type() == QEvent::KeyPress && buddy_->isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------

TNotationPanel::TNotationPanel(Settings& settings, const FormatDialogHost& host, bool arrowsReadBox,
                               Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), settings_(settings), host_(host) {
    gbFractNotation = new QGroupBox("Fractional Notation ", this);
    gbFractNotation->setObjectName("gbFractNotation");
    notationButtons = new QButtonGroup(this);
    auto* radios = new QVBoxLayout(gbFractNotation);
    radios->setContentsMargins(6, 2, 6, 4);
    radios->setSpacing(2);
    for (const auto& b : kNotationButtons) {
        auto* radio = new QRadioButton(b.caption, gbFractNotation);
        notationButtons->addButton(radio, b.notation);
        radios->addWidget(radio);
    }

    DigitsBox = new QLineEdit("5", this);
    DigitsBox->setObjectName("DigitsBox");
    DigitsBox->setMaxLength(2);
    DigitsBox->setFixedWidth(26);
    DigitsBox->setToolTip("Decimal places, 0 to 15");
    UpDown1 = new TUpDown(DigitsBox, kMinPlaces, kMaxPlaces, this);
    Edit3 = new QLineEdit("Places", this);
    Edit3->setObjectName("Edit3");
    Edit3->setReadOnly(true);
    Edit3->setFrame(false);
    Edit3->setFocusPolicy(Qt::NoFocus);
    Edit3->setStyleSheet("background: transparent");

    auto* places = new QHBoxLayout;
    places->setSpacing(1);
    places->addWidget(DigitsBox);
    places->addWidget(UpDown1);

    QBoxLayout* layout = orientation == Qt::Horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(this))
                                                       : static_cast<QBoxLayout*>(new QVBoxLayout(this));
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(gbFractNotation, 1);
    if (orientation == Qt::Horizontal) {
        // Narrow dialog: "Places" goes under the box.
        places->addStretch(1);
        auto* column = new QVBoxLayout;
        column->addSpacing(14);
        column->addLayout(places);
        column->addWidget(Edit3);
        column->addStretch(1);
        Edit3->setFixedWidth(Edit3->fontMetrics().horizontalAdvance(Edit3->text()) + 8);
        layout->addLayout(column);
    } else {
        places->addSpacing(3);
        places->addWidget(Edit3, 1);
        layout->addLayout(places);
    }

    connect(notationButtons, &QButtonGroup::idClicked, this, &TNotationPanel::gbFractNotationClick);
    connect(DigitsBox, &QLineEdit::textChanged, this, &TNotationPanel::DigitsBoxChange);
    if (arrowsReadBox) connect(UpDown1, &TUpDown::changing, this, &TNotationPanel::DigitsBoxChange);
}

void TNotationPanel::SetBoxText(const QString& text) {
    if (DigitsBox->text() == text) return;
    const bool wasLoading = loading_;
    loading_ = true; // a correction of the box is not a new edit
    DigitsBox->setText(text);
    loading_ = wasLoading;
}

void TNotationPanel::SetArrows(int places) {
    const bool wasLoading = loading_;
    loading_ = true;
    UpDown1->SetPosition(places);
    loading_ = wasLoading;
}

void TNotationPanel::SetDigitsEnabled(bool enabled) {
    DigitsBox->setEnabled(enabled);
    UpDown1->setEnabled(enabled);
}

void TNotationPanel::DigitsBoxChange() {
    if (loading_) return;
    const QString text = DigitsBox->text();
    int value = 0;
    if (!text.trimmed().isEmpty()) {
        bool ok = false;
        value = text.trimmed().toInt(&ok);
        if (!ok) {
            // Not a number: the places stay, the box keeps what was typed.
            if (host_.showStackTop) host_.showStackTop();
            return;
        }
    }
    value = std::clamp(value, kMinPlaces, kMaxPlaces);
    SetBoxText(QString::number(value));
    settings_.DecimalPlaces = value;
    if (host_.showStackTop) host_.showStackTop();
}

void TNotationPanel::gbFractNotationClick(int index) {
    settings_.FractNotation = index;
    SetDigitsEnabled(index != kGeneral);
    DigitsBoxChange();
}

int TNotationPanel::SelectedNotation() const {
    return notationButtons->checkedId();
}

int TNotationPanel::Load(int notation, int places) {
    loading_ = true;
    if (auto* button = notationButtons->button(notation)) {
        button->setChecked(true);
    } else {
        // Number and Currency have no button: show none checked.
        notationButtons->setExclusive(false);
        for (auto* b : notationButtons->buttons()) b->setChecked(false);
        notationButtons->setExclusive(true);
    }
    SetDigitsEnabled(notation != kGeneral && notation != kCurrency);
    if (notation == kCurrency) DigitsBox->setText("2");
    const int shown = (places >= kMinPlaces && places <= kMaxPlaces) ? places : kFallbackPlaces;
    UpDown1->SetPosition(shown);
    loading_ = false;
    return shown;
}

// ---------------------------------------------------------------------------------------------

void RestorePreviewedFormat(Settings& settings, const FormatDialogHost& host, int notation, int places) {
    settings.FractNotation = notation;
    settings.DecimalPlaces = places;
    if (host.entered && host.entered() && host.showStackTop) host.showStackTop();
}

TFormatForm::TFormatForm(Settings& settings, FormatDialogHost host, QWidget* parent)
    : QDialog(parent), settings_(settings), host_(std::move(host)) {
    setObjectName("FormatForm");
    setWindowTitle("Format & Precision");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    ApplyDialogFont(this);
    FixSizeToFit(this, {181, 135});

    Panel = new TNotationPanel(settings_, host_, true, Qt::Horizontal, this);
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(Panel, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(BitBtn1);
    row->addWidget(BitBtn2);
    layout->addLayout(row);
}

void TFormatForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFormatForm::FormShow() {
    shownPlaces_ = settings_.DecimalPlaces;
    shownNotation_ = settings_.FractNotation;
    Panel->Load(settings_.FractNotation, settings_.DecimalPlaces);
    if (Panel->DigitsBox->isEnabled()) {
        Panel->DigitsBox->setFocus();
        Panel->DigitsBox->selectAll();
    }
}

void TFormatForm::done(int result) {
    if (result == QDialog::Accepted) {
        // The previewed values stay; they reach the file at the next write of the preferences.
        if (host_.refreshLists) host_.refreshLists();
    } else {
        RestorePreviewedFormat(settings_, host_, shownNotation_, shownPlaces_);
    }
    QDialog::done(result);
}
