#include "ui/ErrWindowForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DialogStyle.h"

TErrWindow::TErrWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("ErrWindow");
    setWindowTitle("ERROR!");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    ApplyDialogFont(this);
    FixSizeToFit(this, {270, 96});
    CentreOnScreenWhenShown(this);

    Label1 = new QLabel("ERROR:", this);
    Label1->setObjectName("Label1");
    Label1->setFont(ArialPixels(19, true));
    Message = new QLabel("You have done something illegal", this);
    Message->setObjectName("Message");
    Message->setFont(ArialPixels(16, false));
    Message->setWordWrap(false);
    Message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 8);
    layout->addWidget(Label1);
    layout->addWidget(Message);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(BitBtn1);
    row->addStretch(1);
    layout->addLayout(row);
}

void TErrWindow::ShowError(const std::string& message) {
    Message->setText(QString::fromStdString(message));
    Message->setToolTip(Message->text()); // one wider than the screen is cut off on its single line
    BitBtn1->setFocus();
    exec();
}
