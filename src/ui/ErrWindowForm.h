// The small modal window that shows the calculator's operand errors.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

class TErrWindow : public QDialog {
    Q_OBJECT
public:
    explicit TErrWindow(QWidget* parent = nullptr);

    // Puts the message into Message and shows the window modally; returns after OK.
    void ShowError(const std::string& message);

    QLabel* Label1 = nullptr;
    QLabel* Message = nullptr;
    QPushButton* BitBtn1 = nullptr;
};
