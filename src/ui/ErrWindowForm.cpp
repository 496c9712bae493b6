#include "ui/ErrWindowForm.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DialogStyle.h"

#include <algorithm>

TErrWindow::TErrWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("ErrWindow");
    setWindowTitle("ERROR!");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    ApplyDialogFont(this);
    setFixedSize(270, 96);
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
    Message->setToolTip(Message->text()); // a long message is cut off on its single line
    // A message with a second line (what failed, and the nearest names) gets the room for it; a
    // one-line message keeps the window's usual size.
    const QStringList lines = Message->text().split('\n');
    const QFontMetrics metrics(Message->font());
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    const int extraLines = static_cast<int>(lines.size()) - 1;
    setFixedSize(extraLines > 0 ? std::clamp(widest + 24, 270, 640) : 270,
                 96 + extraLines * metrics.lineSpacing());
    BitBtn1->setFocus();
    exec();
}
