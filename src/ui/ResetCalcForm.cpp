#include "ui/ResetCalcForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DialogStyle.h"

TResetCalcDialog::TResetCalcDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("ResetCalcDialog");
    setWindowTitle("Reset Calculator");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    ApplyDialogFont(this);
    FixSizeToFit(this, {232, 95});
    CentreOnScreenWhenShown(this);

    Label1 = new QLabel("Reset calculator (clear stack and register contents)?", this);
    Label1->setObjectName("Label1");
    Label1->setFont(ArialPixels(16, true));
    Label1->setWordWrap(true);
    BtnYes = new QPushButton("&Yes", this);
    BtnYes->setObjectName("BtnYes");
    BtnNo = new QPushButton("&No", this);
    BtnNo->setObjectName("BtnNo");
    // Yes is the answer that destroys data, so it is not the default.
    BtnNo->setDefault(true);
    connect(BtnYes, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnNo, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->addWidget(Label1, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(BtnYes);
    row->addWidget(BtnNo);
    row->addStretch(1);
    layout->addLayout(row);
}

bool TResetCalcDialog::Ask() {
    BtnNo->setFocus();
    return exec() == QDialog::Accepted;
}
