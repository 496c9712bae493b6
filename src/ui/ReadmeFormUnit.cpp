#include "ui/ReadmeFormUnit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DialogStyle.h"

const char* const kReadmeText = R"(MERIDOT 1.04 - Engineering calculator with units
=================================================

Meridot computes with physical quantities. Every value carries a unit
expression such as ft*lbf, N/m^2 or kg*m^2/sec^2, and every operation
checks and combines the units: feet plus inches gives feet, pounds-force
times feet gives a moment, the sine of a length is refused.

WHAT COMES WITH THE PROGRAM
---------------------------
  Korbcalc          the calculator program (Qt 6 windows)
  korbcalc-cli      the same calculator engine for the command line
  scripts/run.sh    installs what is missing, builds and starts Korbcalc
  scripts/test.sh   builds and runs every test
  Help              built into the program: Help menu or F1

Files the calculator writes, in the directory it is started from:
  Meridot.ini       your preferences (rewritten whole when saved)
  SaveStck.dat      the operand stack, one quantity per line
  SaveRegs.dat      the ten registers, one quantity per line
The display font, the keyboard mode, AutoConvert and the unit system
are kept in your per-user settings store, not in Meridot.ini.

INSTALLING
----------
Meridot is built from source on Debian 12 (or a system with the same
packages). From the top folder of the source tree run

  scripts/run.sh

It installs the Debian packages that are missing (CMake, Ninja, the
Qt 6 development files, a compiler and the Liberation fonts, which
stand in for Arial and Courier New), builds the program in the folder
build/ and starts it. It asks for your password through sudo when a
package has to be installed.

To build by hand:

  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
  cmake --build build

STARTING
--------
  build/src/ui/Korbcalc

Start it from the folder where your Meridot.ini, SaveStck.dat and
SaveRegs.dat should live. Started from the desktop menu (the entry runs
Korbcalc --desktop) it keeps them in ~/.local/share/Ovrin/Meridot.
On the first start the program says that it cannot load Meridot.ini
and creates one with the default settings.

FIRST STEPS
-----------
  12 ft  Enter     puts 12 ft on the stack (free-form mode, the default)
  6 in   Enter     puts 6 in on the stack
  +                adds them: 12.5 ft
  F9               opens the Units Selector to give a value units
  F10              converts the top of the stack to other units
  F5 / F6          show or hide the Stack and Register windows
  Ctrl+P           Preferences: notation, decimal places, angle unit,
                   start-up options, AutoConvert and SI / U.S. units

Use Help > Contents for the full description of keys, modes, units,
conversions, the stack and registers and the error messages.
)";

TReadmeForm::TReadmeForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ReadmeForm");
    setWindowTitle("Meridot Readme.txt");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    ApplyDialogFont(this);
    FixSizeToFit(this, {465, 243});
    CentreOnScreenWhenShown(this);

    ReadmeBox = new QPlainTextEdit(this);
    ReadmeBox->setObjectName("ReadmeBox");
    ReadmeBox->setReadOnly(true);
    // Lines wrap at the window's edge, so that no paragraph needs sideways scrolling.
    ReadmeBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    ReadmeBox->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    ReadmeBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ReadmeBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont mono("Courier New");
    mono.setStyleHint(QFont::Monospace);
    mono.setPixelSize(12);
    ReadmeBox->setFont(mono);
    UseButtonFace();
    ReadmeBox->setPlainText(QString::fromUtf8(kReadmeText));
    ReadmeBox->setFixedHeight(209);

    BitBtn1 = new QPushButton("Close", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(4);
    layout->addWidget(ReadmeBox);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(BitBtn1);
    row->addStretch(1);
    layout->addLayout(row);
}

void TReadmeForm::UseButtonFace() {
    // Button-face background: the text reads as part of the window, not as an editor.
    QPalette palette = ReadmeBox->palette();
    palette.setColor(QPalette::Base, QApplication::palette().color(QPalette::Button));
    ReadmeBox->setPalette(palette);
}

void TReadmeForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // A change of the application's palette (the dark theme) brings its own button face.
    if (event->type() == QEvent::ApplicationPaletteChange && ReadmeBox) UseButtonFace();
}
