// The "Preferred Units" dialog: the unit each kind of result is shown in, for S.I. and for U.S.
// Customary work. Every entry is checked as it is typed; OK applies and stores the choices at once.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "units/PreferredUnits.h"

class QLabel;
class QLineEdit;
class QPushButton;
class ValueStore;

class TPreferredUnitsForm : public QDialog {
    Q_OBJECT
public:
    // pickUnit runs the units selector to replace a unit text and gives the chosen text, or nothing.
    using PickUnit = std::function<std::optional<std::string>(const std::string&)>;
    TPreferredUnitsForm(ValueStore& store, PickUnit pickUnit, QWidget* parent = nullptr);

    // The entry of a row (1..19) and unit system.
    QLineEdit* Entry(int row, bool si) const;
    // Picks the entry's unit with the units selector.
    void PickClick(int row, bool si);
    void RestoreDefaultsClick();
    // The choices the entries hold (a default unit counts as no choice); nothing while one is refused.
    std::optional<PreferredChoices> EnteredChoices() const;

    QLabel* Message = nullptr;
    QPushButton* RestoreBtn = nullptr;
    QPushButton* BtnOK = nullptr;
    QPushButton* BtnCancel = nullptr;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Load(const PreferredChoices& choices);
    // Checks every entry; the first refusal goes to the message line. True when all pass.
    bool CheckAll();

    ValueStore& store_;
    PickUnit pickUnit_;
    std::array<QLineEdit*, PreferredRowCount> si_{};
    std::array<QLineEdit*, PreferredRowCount> us_{};
};
