#include "ui/PreferredUnitsForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "settings/PreferredStore.h"
#include "ui/DialogStyle.h"
#include "units/QuantityMath.h"

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// What an entry stands for: its text, or the default when it is left empty.
std::string EntryUnit(const QLineEdit* edit, int row, bool si) {
    const std::string text = edit->text().trimmed().toStdString();
    return text.empty() ? DefaultPreferredUnit(row, si) : text;
}

} // namespace

TPreferredUnitsForm::TPreferredUnitsForm(ValueStore& store, PickUnit pickUnit, QWidget* parent)
    : QDialog(parent), store_(store), pickUnit_(std::move(pickUnit)) {
    setObjectName("PreferredUnitsForm");
    setWindowTitle("Preferred Units");
    ApplyDialogFont(this);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel("Kind of result", this), 0, 0);
    grid->addWidget(new QLabel("S.I.", this), 0, 1, 1, 2);
    grid->addWidget(new QLabel("U.S. Customary", this), 0, 3, 1, 2);
    for (int row = 1; row <= PreferredRowCount; ++row) {
        auto* kind = new QLabel(PreferredKindName(row), this);
        grid->addWidget(kind, row, 0);
        for (bool si : {true, false}) {
            auto* edit = new QLineEdit(this);
            edit->setObjectName(Text(PreferredValueName(row, si)));
            edit->setPlaceholderText(DefaultPreferredUnit(row, si));
            edit->setMinimumWidth(110);
            edit->setAccessibleName(
                QString("%1, %2").arg(PreferredKindName(row), si ? "S.I." : "U.S. Customary"));
            auto* pick = new QToolButton(this);
            pick->setText("...");
            pick->setToolTip("Pick the unit with the units selector");
            pick->setAccessibleName(pick->toolTip());
            (si ? si_ : us_)[static_cast<std::size_t>(row - 1)] = edit;
            const int column = si ? 1 : 3;
            grid->addWidget(edit, row, column);
            grid->addWidget(pick, row, column + 1);
            connect(edit, &QLineEdit::textChanged, this, [this] { CheckAll(); });
            connect(pick, &QToolButton::clicked, this, [this, row, si] { PickClick(row, si); });
        }
    }

    Message = new QLabel(this);
    Message->setObjectName("Message");
    Message->setWordWrap(true);
    Message->setMinimumHeight(30);
    Message->setStyleSheet("color: #b00000");
    RestoreBtn = new QPushButton("Restore Defaults", this);
    RestoreBtn->setObjectName("RestoreBtn");
    BtnOK = new QPushButton("OK", this);
    BtnOK->setObjectName("BtnOK");
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton("Cancel", this);
    BtnCancel->setObjectName("BtnCancel");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(RestoreBtn);
    buttons->addStretch(1);
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->addLayout(grid);
    layout->addWidget(Message);
    layout->addLayout(buttons);

    connect(RestoreBtn, &QPushButton::clicked, this, &TPreferredUnitsForm::RestoreDefaultsClick);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* TPreferredUnitsForm::Entry(int row, bool si) const {
    if (row < 1 || row > PreferredRowCount) return nullptr;
    return (si ? si_ : us_)[static_cast<std::size_t>(row - 1)];
}

void TPreferredUnitsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Load(CurrentPreferredChoices());
}

void TPreferredUnitsForm::Load(const PreferredChoices& choices) {
    for (int row = 1; row <= PreferredRowCount; ++row)
        for (bool si : {true, false}) {
            const std::string& choice = choices.For(row, si);
            Entry(row, si)->setText(Text(choice.empty() ? DefaultPreferredUnit(row, si) : choice));
        }
    CheckAll();
}

void TPreferredUnitsForm::RestoreDefaultsClick() {
    Load(PreferredChoices{});
}

void TPreferredUnitsForm::PickClick(int row, bool si) {
    QLineEdit* edit = Entry(row, si);
    if (!edit || !pickUnit_) return;
    if (const auto picked = pickUnit_(EntryUnit(edit, row, si))) edit->setText(Text(*picked));
    edit->setFocus();
}

bool TPreferredUnitsForm::CheckAll() {
    QString first;
    for (int row = 1; row <= PreferredRowCount; ++row)
        for (bool si : {true, false}) {
            QLineEdit* edit = Entry(row, si);
            const std::string why = CheckPreferredUnit(row, EntryUnit(edit, row, si));
            edit->setStyleSheet(why.empty() ? QString() : QString("color: #b00000"));
            if (!why.empty() && first.isEmpty())
                first = QString("%1 (%2): %3").arg(PreferredKindName(row), si ? "S.I." : "U.S.", Text(why));
        }
    Message->setText(first);
    BtnOK->setEnabled(first.isEmpty());
    return first.isEmpty();
}

std::optional<PreferredChoices> TPreferredUnitsForm::EnteredChoices() const {
    PreferredChoices choices;
    for (int row = 1; row <= PreferredRowCount; ++row)
        for (bool si : {true, false}) {
            const std::string unit = EntryUnit(Entry(row, si), row, si);
            if (!CheckPreferredUnit(row, unit).empty()) return std::nullopt;
            if (unit != DefaultPreferredUnit(row, si)) choices.For(row, si) = unit;
        }
    return choices;
}

void TPreferredUnitsForm::done(int result) {
    if (result == QDialog::Accepted) {
        const auto choices = EnteredChoices();
        if (!choices) {
            CheckAll();
            return; // a refused entry keeps the dialog open
        }
        SetPreferredChoices(*choices);
        WritePreferredChoices(store_, CurrentPreferredChoices());
    }
    QDialog::done(result);
}
