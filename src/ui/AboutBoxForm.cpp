#include "ui/AboutBoxForm.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

#include "ui/DialogStyle.h"

namespace {

// A small calculator face: display with a quantity, keys, and one accent key. Painted in code so
// the box needs no image plugin.
QPixmap Emblem(int size, qreal dpr) {
    // Drawn at the screen's resolution, so that it stays sharp when the desktop is scaled.
    QPixmap pixmap(QSize(size, size) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(QPen(QColor("#16263f"), 2));
    p.setBrush(QColor("#2b4c7e"));
    p.drawRoundedRect(QRectF(6, 4, 52, 56), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#dfe9d2"));
    p.drawRoundedRect(QRectF(12, 10, 40, 14), 2, 2);
    p.setPen(QColor("#1d2b12"));
    p.setFont(ArialPixels(9, true));
    p.drawText(QRectF(12, 10, 38, 14), Qt::AlignRight | Qt::AlignVCenter, "12.5 ft");
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#e8edf5"));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawRoundedRect(QRectF(12 + col * 15, 29 + row * 11, 10, 8), 1.5, 1.5);
    p.drawRoundedRect(QRectF(12, 51, 25, 5), 1.5, 1.5);
    p.setBrush(QColor("#f0a830"));
    p.drawRoundedRect(QRectF(42, 51, 10, 5), 1.5, 1.5);
    return pixmap;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("About Meridot");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    ApplyDialogFont(this);
    FixSizeToFit(this, {232, 265});
    CentreOnScreenWhenShown(this);

    auto* emblem = new QLabel(this);
    emblem->setObjectName("ProgramIcon");
    emblem->setPixmap(Emblem(64, devicePixelRatio()));
    emblem->setAlignment(Qt::AlignCenter);
    emblem->setToolTip("Meridot emblem");
    emblem->setAccessibleName(emblem->toolTip());

    ProductName = new QLabel("Meridot", this);
    ProductName->setObjectName("ProductName");
    ProductName->setFont(ArialPixels(26, true));
    ProductName->setAlignment(Qt::AlignCenter);

    VersionLabel = new QLabel("Version 1.00", this);
    VersionLabel->setObjectName("VersionLabel");
    VersionLabel->setAlignment(Qt::AlignCenter);

    auto* description = new QLabel("An engineering calculator that computes with physical quantities: every "
                                   "value carries its units, and every operation checks and combines them.",
                                   this);
    description->setObjectName("Comments");
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 14, 12, 14);
    layout->addWidget(emblem);
    layout->addWidget(ProductName);
    layout->addWidget(VersionLabel);
    layout->addSpacing(8);
    layout->addWidget(description);
    layout->addStretch(1);
}

void TAboutBox::UpdateVersion() {
    VersionLabel->setText(QString("Version ") + kProgramVersion);
}

void TAboutBox::Execute() {
    UpdateVersion();
    exec();
}
