// Confirmation before the calculator's stack and registers are cleared.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TResetCalcDialog : public QDialog {
    Q_OBJECT
public:
    explicit TResetCalcDialog(QWidget* parent = nullptr);

    // Shows the dialog modally; true when the user answered Yes. The caller runs the reset.
    bool Ask();

    QLabel* Label1 = nullptr;
    QPushButton* BtnYes = nullptr;
    QPushButton* BtnNo = nullptr;
};
