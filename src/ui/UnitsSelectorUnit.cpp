#include "ui/UnitsSelectorUnit.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/DialogStyle.h"
#include "units/NumberUnits.h"
#include "units/PickedUnits.h"
#include "units/QuantityMath.h"

namespace {

constexpr int UnitsHelpContext = HelpContexts::Units;

// clang-format off
const std::vector<UnitButtonSpec> kUnitButtons = {
    {"Length", "SI Units", "", "m", "", "meter", "BasicBtn"},
    {"Length", "SI Units", "", "cm", "", "centimeter", ""},
    {"Length", "SI Units", "", "mm", "", "millimeter", ""},
    {"Length", "SI Units", "", "km", "", "Kilometer", ""},
    {"Length", "SI Units", "", "angs", "", "Angstrom", ""},
    {"Length", "SI Units", "", "fermi", "", "fermi", ""},
    {"Length", "SI Units", "", "micron", "", "micron", ""},
    {"Length", "US Customary", "", "yd", "", "Yard", ""},
    {"Length", "US Customary", "", "ft", "", "foot", ""},
    {"Length", "US Customary", "", "in", "", "inch", ""},
    {"Length", "US Customary", "", "mil", "", "mil (1/1000 inch)", ""},
    {"Length", "US Customary", "", "mi", "", "mile", ""},
    {"Length", "US Customary", "", "fath", "", "Fathom", ""},
    {"Length", "US Customary", "", "LtYr", "", "light year", ""},
    {"Length", "US Customary", "", "rod", "", "Surveyor's measure 16.5 ft", ""},
    {"Length", "US Customary", "", "chain", "", "Surveyor's measure 66 ft", ""},
    {"Length", "US Customary", "", "hand", "", "Measure for height of horses = 4 inches", ""},
    {"Length", "US Customary", "", "furlong", "", "Furlong", ""},
    {"Length", "US Customary", "", "link", "", "Surveyor's measure 1/100 chain", ""},
    {"Area", "SI Units", "", "cm^2", "", "square centimeters", ""},
    {"Area", "SI Units", "", "mm^2", "", "square millimeters", ""},
    {"Area", "SI Units", "", "m^2", "", "square meters", ""},
    {"Area", "SI Units", "", "km^2", "", "square kilometers", ""},
    {"Area", "SI Units", "", "ha", "", "Hectare", ""},
    {"Area", "US Customary", "", "in^2", "", "square inches", ""},
    {"Area", "US Customary", "", "ft^2", "", "square feet", ""},
    {"Area", "US Customary", "", "mi^2", "", "square miles", ""},
    {"Area", "US Customary", "", "Acre", "", "Acres", ""},
    {"Area", "US Customary", "", "Section", "", "Surveyor's measure = 1 sq. mile", ""},
    {"Area", "US Customary", "", "Twp", "", "Surveyor's measure = 6 sq miles", ""},
    {"Volume", "SI Units", "", "m^3", "", "cubic meters", ""},
    {"Volume", "SI Units", "", "cm^3", "", "cubic centimeters", ""},
    {"Volume", "SI Units", "", "mm^3", "", "cubic millimeters", ""},
    {"Volume", "SI Units", "", "l", "", "liter", ""},
    {"Volume", "SI Units", "", "ml", "", "milliliter", ""},
    {"Volume", "US Customary", "", "in^3", "", "cubic inches", ""},
    {"Volume", "US Customary", "", "ft^3", "", "cubic feet", ""},
    {"Volume", "US Customary", "", "yd^3", "", "cubic yard", ""},
    {"Volume", "US Customary", "", "gal", "", "gallon US", ""},
    {"Volume", "US Customary", "", "qt", "", "quart", ""},
    {"Volume", "US Customary", "", "pt", "", "pint", ""},
    {"Volume", "US Customary", "", "ozfl", "", "fluid ounce", ""},
    {"Volume", "US Customary", "", "drfl", "", "fluid dram", ""},
    {"Volume", "US Customary", "", "Tbsp", "", "Tablespoon", ""},
    {"Volume", "US Customary", "", "tsp", "", "teaspoon", ""},
    {"Volume", "US Customary", "", "bu", "", "bushel", ""},
    {"Volume", "US Customary", "", "pk", "", "peck", ""},
    {"Volume", "US Customary", "", "bbl", "", "Barrel", ""},
    {"Volume", "US Customary", "", "galC", "", "gallon Canada", ""},
    {"Volume", "US Customary", "", "galU", "", "gallon United Kingdom", ""},
    {"Volume", "US Customary", "", "ozUK", "", "fluid ounce United Kingdom", ""},
    {"Force", "SI Units", "", "N", "", "Newton", ""},
    {"Force", "SI Units", "", "kN", "", "KiloNewton", ""},
    {"Force", "SI Units", "", "MN", "", "MegaNewton", ""},
    {"Force", "SI Units", "", "dyne", "", "dyne", ""},
    {"Force", "US Customary", "", "lbf", "", "pound force", ""},
    {"Force", "US Customary", "", "kip", "", "kilopounds (kips)", ""},
    {"Force", "US Customary", "", "Pndl", "", "Poundal", ""},
    {"Mass", "SI Units", "", "g", "", "gram", ""},
    {"Mass", "SI Units", "", "kg", "", "kilogram", ""},
    {"Mass", "SI Units", "", "mton", "", "metric ton", ""},
    {"Mass", "US Customary", "", "slug", "", "slug", ""},
    {"Mass", "US Customary", "", "lbm", "", "pound mass", ""},
    {"Mass", "US Customary", "", "oz", "", "ounce", ""},
    {"Mass", "US Customary", "", "gr", "", "grain", ""},
    {"Mass", "US Customary", "", "ton", "", "ton (short ton)", ""},
    {"Mass", "US Customary", "", "tonUK", "", "ton United Kingdom (long ton)", ""},
    {"Mass", "US Customary", "", "dram", "", "Avoirdupois dram", ""},
    {"Mass", "US Customary", "", "lbTroy", "", "Troy or Apothecaries pound", ""},
    {"Mass", "US Customary", "", "drAp", "", "Apothecaries dram ", ""},
    {"Mass", "US Customary", "", "ozTroy", "", "Troy or Apothecaries ounce", ""},
    {"Mass", "US Customary", "", "scruple", "", "scruple", ""},
    {"Mass", "US Customary", "", "pennywt", "", "pennyweight", ""},
    {"Time", "SI and US Customary", "", "sec", "", "Second", ""},
    {"Time", "SI and US Customary", "", "min", "", "Minute", ""},
    {"Time", "SI and US Customary", "", "hr", "", "Hour", ""},
    {"Time", "SI and US Customary", "", "day", "", "Day", ""},
    {"Time", "SI and US Customary", "", "wk", "", "Week", ""},
    {"Time", "SI and US Customary", "", "yr", "", "Year", ""},
    {"Angular", "SI and US Customary Units", "", "deg", "", "Degrees", ""},
    {"Angular", "SI and US Customary Units", "", "rad", "", "Radians", ""},
    {"Angular", "SI and US Customary Units", "", "grad", "", "Grad", ""},
    {"Angular", "SI and US Customary Units", "", "rev", "", "Revolution", ""},
    {"Temperature", "SI Units", "", "C", "", "Degrees Celsius", ""},
    {"Temperature", "SI Units", "", "K", "", "Degrees Kelvin", ""},
    {"Temperature", "SI Units", "", "dC", "", "Difference of one degree Celsius", ""},
    {"Temperature", "US Customary", "", "F", "", "Degrees Fahrenheit", ""},
    {"Temperature", "US Customary", "", "R", "", "Degrees Rankine", ""},
    {"Temperature", "US Customary", "", "dF", "", "Difference of one degree Fahrenheit", ""},
    {"Speed", "SI Units", "Linear", "m/sec", "", "meters per second", ""},
    {"Speed", "SI Units", "Linear", "cm/sec", "", "Centimeters per second", ""},
    {"Speed", "SI Units", "Linear", "m/min", "", "meters per minute", ""},
    {"Speed", "SI Units", "Linear", "cm/min", "", "Centimeters per minute", ""},
    {"Speed", "SI Units", "Linear", "m/hr", "", "meters per hour", ""},
    {"Speed", "SI Units", "Linear", "cm/hr", "", "Centimeters per hour", ""},
    {"Speed", "SI Units", "Linear", "mm/sec", "", "millimeters per second", ""},
    {"Speed", "SI Units", "Linear", "km/sec", "", "Kilometers per second", ""},
    {"Speed", "SI Units", "Linear", "mm/min", "", "millimeters per minute", ""},
    {"Speed", "SI Units", "Linear", "km/min", "", "Kilometers per minute", ""},
    {"Speed", "SI Units", "Linear", "mm/hr", "", "millimeters per hour", ""},
    {"Speed", "SI Units", "Linear", "kph", "km/hr", "Kilometers per hour", "SILinearBtn62"},
    {"Speed", "Angular", "", "RPM", "", "Revolutions per minute", ""},
    {"Speed", "Angular", "", "RPS", "rev/sec", "Revolutions per second", "SIAngularBtn12"},
    {"Speed", "Angular", "", "rad/min", "", "Radians per minute", ""},
    {"Speed", "Angular", "", "rad/sec", "", "Radians per second", ""},
    {"Speed", "Angular", "", "deg/min", "", "Degrees per minute", ""},
    {"Speed", "Angular", "", "deg/sec", "", "Degrees per second", ""},
    {"Speed", "US Customary", "Linear", "in/sec", "", "inches per second", ""},
    {"Speed", "US Customary", "Linear", "ft/sec", "", "Feet per second", ""},
    {"Speed", "US Customary", "Linear", "in/min", "", "inches per minute", ""},
    {"Speed", "US Customary", "Linear", "ft/min", "", "Feet per minute", ""},
    {"Speed", "US Customary", "Linear", "in/hr", "", "inches per hour", ""},
    {"Speed", "US Customary", "Linear", "ft/hr", "", "Feet per hour", ""},
    {"Speed", "US Customary", "Linear", "mi/sec", "", "Miles per second", ""},
    {"Speed", "US Customary", "Linear", "mi/min", "", "Miles per minute", ""},
    {"Speed", "US Customary", "Linear", "mph", "mi/hr", "Miles per hour (MPH)", "USLinearBtn51"},
    {"Energy", "SI Units", "", "J", "", "Joule", ""},
    {"Energy", "SI Units", "", "erg", "", "Erg", ""},
    {"Energy", "SI Units", "", "Kcal", "", "KiloCalorie", ""},
    {"Energy", "SI Units", "", "cal", "", "Calorie", ""},
    {"Energy", "SI Units", "", "kW-hr", "", "Kilowatt hour", ""},
    {"Energy", "US Customary", "", "BTU", "", "British Thermal Unit (BTU)", ""},
    {"Energy", "US Customary", "", "ft-lbf", "", "Foot-Pound ", ""},
    {"Energy", "US Customary", "", "in-lbf", "", "inch pound", ""},
    {"Power", "SI Units", "", "W", "", "Watts", ""},
    {"Power", "SI Units", "", "kW", "", "KiloWatts", ""},
    {"Power", "SI Units", "", "N-m/sec", "", "Newton meters per second", ""},
    {"Power", "SI Units", "", "N-m/min", "", "Newton meters per minute", ""},
    {"Power", "US Customary", "", "hp", "", "Horsepower", ""},
    {"Power", "US Customary", "", "BTU/hr", "", "BTU per hour", ""},
    {"Power", "US Customary", "", "BTU/min", "", "BTU per minute", ""},
    {"Power", "US Customary", "", "BTU/sec", "", "BTU per second", ""},
    {"Power", "US Customary", "", "ft-lbf/sec", "", "foot-pounds per second", ""},
    {"Power", "US Customary", "", "ft-lbf/min", "", "foot pounds per minute", ""},
    {"Power", "US Customary", "", "ft-lbf/hr", "", "foot pounds per hour", ""},
    {"Power", "US Customary", "", "in-lbf/sec", "", "inch pounds per sec", ""},
    {"Power", "US Customary", "", "in-lbf/min", "", "inch pounds per minute", ""},
    {"Power", "US Customary", "", "in-lbf/hr", "", "inch pounds per hour", ""},
    {"Pressure/Stress", "SI Units", "", "Pa", "", "Pascal (N/m^2)", ""},
    {"Pressure/Stress", "SI Units", "", "KPa", "", "kiloPascal", ""},
    {"Pressure/Stress", "SI Units", "", "MPa", "", "MegaPascal (1E6 Pa)", ""},
    {"Pressure/Stress", "SI Units", "", "GPa", "", "GigaPascal", ""},
    {"Pressure/Stress", "SI Units", "", "Bar", "", "Bar", ""},
    {"Pressure/Stress", "SI Units", "", "N/m^2", "", "Newtons per m^2", ""},
    {"Pressure/Stress", "SI Units", "", "dyne/cm^2", "", "Dynes per cm^2", ""},
    {"Pressure/Stress", "SI Units", "", "Atm", "", "Atmosphere", ""},
    {"Pressure/Stress", "SI Units", "", "N/mm^2", "", "Newtons per mm^2", ""},
    {"Pressure/Stress", "SI Units", "", "dyne/mm^2", "", "Dynes per mm^2", ""},
    {"Pressure/Stress", "US Customary", "", "psi", "", "pounds per sq inch", ""},
    {"Pressure/Stress", "US Customary", "", "psf", "", "pounds per sq foot", ""},
    {"Pressure/Stress", "US Customary", "", "lbf/in^2", "", "pounds per sq inch", ""},
    {"Pressure/Stress", "US Customary", "", "ksi", "", "kilopounds per sq inch", ""},
    {"Pressure/Stress", "US Customary", "", "ksf", "", "kilopounds per sq foot", ""},
    {"Pressure/Stress", "US Customary", "", "lbf/ft^2", "", "pounds per sq foot", ""},
    {"Flow Rate", "SI Units", "", "l/min", "", "liters per min", ""},
    {"Flow Rate", "SI Units", "", "l/sec", "", "liters per second", ""},
    {"Flow Rate", "SI Units", "", "l/hr", "", "liters per hour", ""},
    {"Flow Rate", "SI Units", "", "m^3/sec", "", "cubic meters per sec", ""},
    {"Flow Rate", "SI Units", "", "cm^3/sec", "", "cubic centimeters per sec", ""},
    {"Flow Rate", "SI Units", "", "mm^3/sec", "", "cubic millimeters per sec", ""},
    {"Flow Rate", "SI Units", "", "m^3/min", "", "cubic meters per min", ""},
    {"Flow Rate", "SI Units", "", "cm^3/min", "", "cubic centimeters per min", ""},
    {"Flow Rate", "SI Units", "", "mm^3/min", "", "cubic millimeters per min", ""},
    {"Flow Rate", "US Customary", "", "GPM", "", "Gallons per minute", ""},
    {"Flow Rate", "US Customary", "", "gal/sec", "", "Gallons per second", ""},
    {"Flow Rate", "US Customary", "", "gal/hr", "", "gallons per hour", ""},
    {"Flow Rate", "US Customary", "", "ft^3/min", "", "cubic feet per min", ""},
    {"Flow Rate", "US Customary", "", "in^3/min", "", "cubic inches per min", ""},
    {"Flow Rate", "US Customary", "", "ft^3/sec", "", "cubic feet per sec", ""},
    {"Flow Rate", "US Customary", "", "in^3/sec", "", "cubic inches per sec", ""},
    {"Viscosity", "SI Units", "Dynamic", "P", "", "Poise", ""},
    {"Viscosity", "SI Units", "Dynamic", "cP", "", "centiPoise", ""},
    {"Viscosity", "SI Units", "Dynamic", "dyne-sec/cm^2", "", "dyne second per sq cm (Poise)", ""},
    {"Viscosity", "SI Units", "Kinematic", "St", "", "Stoke", ""},
    {"Viscosity", "SI Units", "Kinematic", "cSt", "", "centiStoke", ""},
    {"Viscosity", "SI Units", "Kinematic", "cm^2/sec", "", "sq centimeters per second (Stoke)", ""},
    {"Viscosity", "US Customary", "Dynamic", "Reyn", "lbf*sec/in^2", "Reyns", "USViscosity1"},
    {"Viscosity", "US Customary", "Dynamic", "lbf-sec/in^2", "", "lbf-sec/in^2", ""},
    {"Viscosity", "US Customary", "Dynamic", "lbf-sec/ft^2", "", "lbf-sec/ft^2", ""},
    {"Viscosity", "US Customary", "Kinematic", "Newt", "in^2/sec", "Newt", "USViscosity4"},
    {"Viscosity", "US Customary", "Kinematic", "ft^2/sec", "", "ft^2/sec", ""},
    {"Viscosity", "US Customary", "Kinematic", "SUS", "", "Sabolt Universal Seconds", ""},
    {"Inertia", "SI Units", "Area", "m^4", "", "m^4", ""},
    {"Inertia", "SI Units", "Area", "cm^4", "", "cm^4", ""},
    {"Inertia", "SI Units", "Area", "mm^4", "", "mm^4", ""},
    {"Inertia", "SI Units", "Mass", "kg-m^2", "", "kilogram - m^2", ""},
    {"Inertia", "SI Units", "Mass", "g-cm^2", "", "gram - cm^2", ""},
    {"Inertia", "US Customary", "Area", "in^4", "", "in^4", ""},
    {"Inertia", "US Customary", "Area", "ft^4", "", "ft^4", ""},
    {"Inertia", "US Customary", "Mass", "lbm-ft^2", "", "pound mass - ft^2", ""},
    {"Inertia", "US Customary", "Mass", "slug-ft^2", "", "slug - ft^2", ""},
    {"Inertia", "US Customary", "Mass", "in-lbf-sec^2", "", "inch pound sec^2", ""},
    {"Inertia", "US Customary", "Mass", "ft-lbf-sec^2", "", "foot pound sec^2", ""},
    {"Currency", "", "", "$US", "", "U.S. Dollars", ""},
    {"Other", "", "", "Number", "", "Any Number", ""},
    {"Other", "", "", "Piece", "", "Any Piece", ""},
    {"Other", "", "", "Plant", "", "Any Plant", ""},
    {"Other", "", "", "Item", "", "Any Item", ""},
    {"Other", "", "", "Person", "", "Any Person", ""},
    {"Other", "", "", "Mole", "", "One Avagadro's number of molecules", ""},
    {"Electrical", "", "", "Coul", "", "Coulomb charge", ""},
    {"Electrical", "", "", "A", "", "Ampere", ""},
    {"Electrical", "", "", "V", "", "Volt", ""},
    {"Electrical", "", "", "Ohm", "", "Ohm resistance", ""},
    {"Electrical", "", "", "Farad", "", "Farad capacitance", ""},
    {"Electrical", "", "", "Henry", "", "Henry inductance", ""},
};
// clang-format on

// The dimensions of a unit text, or nothing when it does not read as the units of a quantity.
// Angles are no dimension: a text with units but no dimensions is an angle.
std::optional<TSignature> DimensionsOf(const std::string& unitText) {
    TNumberUnits quantity;
    if (!quantity.SetText("1 " + unitText) || quantity.Empty) return std::nullopt;
    return quantity.Signature;
}

// Buttons per row: as many as the widest caption allows in the width a group gets at its depth
// (each framed group takes its frame and margins off the page's width), at most six.
int ColumnsFor(const std::vector<const UnitButtonSpec*>& buttons, const QFontMetrics& metrics, int depth) {
    constexpr int pageWidth = 360, perGroup = 16, padding = 14, spacing = 2, most = 6;
    int widest = 0;
    for (const auto* b : buttons) widest = std::max(widest, metrics.horizontalAdvance(b->caption));
    const int available = pageWidth - perGroup * depth;
    return std::clamp((available + spacing) / (widest + padding + spacing), 1, most);
}

} // namespace

const std::vector<UnitButtonSpec>& UnitButtonTable() {
    return kUnitButtons;
}

TUnitsDlg::TUnitsDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("UnitsDlg");
    setWindowTitle("Units Selector");
    setProperty(kHelpContextProperty, UnitsHelpContext);
    ApplyDialogFont(this);
    FixSizeToFit(this, {390, 400});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    // The pages' tabs wrap over several rows, so all eighteen stay in view.
    auto* tabs = new QWidget(this);
    tabs->setObjectName("UnitsPagesTabs");
    auto* tabRows = new QVBoxLayout(tabs);
    tabRows->setContentsMargins(0, 0, 0, 0);
    tabRows->setSpacing(1);
    pageTabs_ = new QButtonGroup(this);
    pageTabs_->setExclusive(true);
    UnitsPages = new QStackedWidget(this);
    UnitsPages->setObjectName("UnitsPages");
    UnitsPages->setProperty(kHelpContextProperty, UnitsHelpContext);
    layout->addWidget(tabs);
    layout->addWidget(UnitsPages, 1);
    BuildPages();
    const int rowWidth = width() - layout->contentsMargins().left() - layout->contentsMargins().right();
    QHBoxLayout* row = nullptr;
    int used = rowWidth;
    for (int i = 0; i < UnitsPages->count(); ++i) {
        auto* tab = new QToolButton(tabs);
        tab->setText(UnitsPages->widget(i)->objectName());
        tab->setCheckable(true);
        tab->setAutoRaise(true);
        tab->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        tab->setFocusPolicy(Qt::TabFocus);
        pageTabs_->addButton(tab, i);
        const int tabWidth = tab->sizeHint().width() + 1;
        if (used + tabWidth > rowWidth) {
            row = new QHBoxLayout;
            row->setSpacing(1);
            tabRows->addLayout(row);
            used = 0;
        }
        row->addWidget(tab);
        used += tabWidth;
    }
    connect(pageTabs_, &QButtonGroup::idClicked, UnitsPages, &QStackedWidget::setCurrentIndex);
    pageTabs_->button(0)->setChecked(true);
    UnitsPages->setCurrentIndex(0);

    auto* numDen = new QGroupBox("Numerator/Denominator", this);
    numDen->setObjectName("NumDenGrp");
    auto* numDenLayout = new QHBoxLayout(numDen);
    numDenLayout->setContentsMargins(6, 2, 6, 2);
    numeratorBtn_ = new QRadioButton("Numerator", numDen);
    denominatorBtn_ = new QRadioButton("Denominator", numDen);
    numeratorBtn_->setChecked(true);
    numDenLayout->addWidget(numeratorBtn_);
    numDenLayout->addWidget(denominatorBtn_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(numDen, 1);

    auto* editRow = new QHBoxLayout;
    auto* editLabel = new QLabel("Units Selected", this);
    editLabel->setObjectName("UnitsEditLabel");
    UnitsEdit = new QLineEdit(this);
    UnitsEdit->setObjectName("UnitsEdit");
    editLabel->setBuddy(UnitsEdit);
    editRow->addWidget(editLabel);
    editRow->addWidget(UnitsEdit, 1);
    layout->addLayout(editRow);
    layout->addLayout(bottom);

    auto* buttons = new QHBoxLayout;
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setToolTip("OK Selects the units shown");
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setToolTip("Leave without selecting units");
    HelpBtn = new QPushButton("Help", this);
    HelpBtn->setObjectName("HelpBtn");
    HelpBtn->setToolTip("Invoke help");
    HelpBtn->setVisible(false);
    // Enter in the edit validates the text; it must not close the dialog.
    for (auto* b : {OKBtn, CancelBtn, HelpBtn}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(HelpBtn);
    bottom->addLayout(buttons);

    connect(OKBtn, &QPushButton::clicked, this, &TUnitsDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(UnitsEdit, &QLineEdit::textEdited, this, &TUnitsDlg::UnitsEditChange);
    UnitsEdit->installEventFilter(this);
}

// The table grouped into pages, groups and inner groups, in table order.
struct UnitBox {
    std::string title;
    std::vector<const UnitButtonSpec*> buttons;
    std::vector<UnitBox> inner;
};

namespace {

UnitBox& BoxTitled(std::vector<UnitBox>& boxes, const char* title) {
    if (boxes.empty() || boxes.back().title != title) boxes.push_back(UnitBox{title, {}, {}});
    return boxes.back();
}

std::vector<UnitBox> GroupUnitTable() {
    std::vector<UnitBox> pages;
    for (const auto& spec : kUnitButtons) {
        UnitBox* box = &BoxTitled(pages, spec.page);
        if (*spec.group) box = &BoxTitled(box->inner, spec.group);
        if (*spec.inner) box = &BoxTitled(box->inner, spec.inner);
        box->buttons.push_back(&spec);
    }
    return pages;
}

} // namespace

QWidget* TUnitsDlg::BuildBox(const UnitBox& box, int depth) {
    const bool framed = depth > 0;
    QWidget* widget = framed ? new QGroupBox(QString::fromStdString(box.title)) : new QWidget;
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(4, framed ? 2 : 0, 4, 2);
    layout->setSpacing(2);
    if (!box.buttons.empty()) {
        auto* grid = new QGridLayout;
        grid->setSpacing(2);
        const int cols = ColumnsFor(box.buttons, fontMetrics(), depth);
        int i = 0;
        for (const UnitButtonSpec* spec : box.buttons) {
            auto* b = new QPushButton(QString::fromUtf8(spec->caption), widget);
            b->setToolTip(QString::fromUtf8(spec->hint));
            b->setAutoDefault(false);
            // Columns share the page's width; a caption never asks for more than its column.
            b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
            b->setMinimumWidth(0);
            b->setFixedHeight(21);
            b->setProperty(kHelpContextProperty, UnitsHelpContext);
            if (*spec->name) b->setObjectName(spec->name);
            connect(b, &QPushButton::clicked, this, [this, spec] { UnitButtonClick(*spec); });
            grid->addWidget(b, i / cols, i % cols);
            unitButtons_.push_back(b);
            ++i;
        }
        layout->addLayout(grid);
    }
    for (const UnitBox& inner : box.inner) layout->addWidget(BuildBox(inner, depth + 1));
    return widget;
}

void TUnitsDlg::BuildPages() {
    int tallest = 0;
    for (const UnitBox& pageBox : GroupUnitTable()) {
        auto* scroll = new QScrollArea;
        scroll->setObjectName(QString::fromStdString(pageBox.title));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setProperty(kHelpContextProperty, UnitsHelpContext);
        QWidget* page = BuildBox(pageBox, 0);
        static_cast<QVBoxLayout*>(page->layout())->addStretch(1);
        scroll->setWidget(page);
        UnitsPages->addWidget(scroll);
        tallest = std::max(tallest, page->minimumSizeHint().height());
    }
    // Every page shows all its buttons without scrolling; the dialog grows if a wider face needs
    // more rows.
    UnitsPages->setMinimumHeight(tallest);
}

std::optional<std::string> TUnitsDlg::Run(const std::string& quantityText) {
    CurrentUnits = StartingUnits(quantityText);
    UnitsEdit->setText(QString::fromStdString(CurrentUnits));
    StartUnits = CurrentUnits;
    SetDenominator(CurrentUnits.find('/') != std::string::npos);
    // The page of the value's kind of quantity; without units (or with units no page holds) the
    // page used last.
    if (const int page = PageForUnits(CurrentUnits); page >= 0) pageTabs_->button(page)->click();
    if (exec() == QDialog::Accepted) return CurrentUnits;
    return std::nullopt;
}

void TUnitsDlg::UnitButtonClick(const UnitButtonSpec& spec) {
    PickedUnit = *spec.picked ? spec.picked : spec.caption;
    AddPickedUnit();
}

void TUnitsDlg::AddPickedUnit() {
    if (const auto reduced = ::AddPickedUnit(CurrentUnits, PickedUnit, DenominatorSelected())) {
        CurrentUnits = *reduced;
        UnitsEdit->setText(QString::fromStdString(CurrentUnits));
    } else {
        ReportError(ErrorMessage(_UnitProblem));
    }
    OKBtn->setFocus();
}

void TUnitsDlg::UnitsEditChange(const QString& text) {
    CurrentUnits = text.toStdString();
}

bool TUnitsDlg::ValidateUnitsEdit() {
    if (const auto reduced = ReducedUnitText(UnitsEdit->text().toStdString())) {
        CurrentUnits = *reduced;
        UnitsEdit->setText(QString::fromStdString(CurrentUnits));
        return true;
    }
    ReportError(ErrorMessage(_UnitProblem));
    return false;
}

void TUnitsDlg::ReportError(const std::string& message) {
    if (onError_) {
        onError_(message);
        return;
    }
    QMessageBox::critical(this, "Meridot", QString::fromStdString(message));
}

bool TUnitsDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == UnitsEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKBtnClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TUnitsDlg::keyPressEvent(QKeyEvent* event) {
    // The dialog sees the keys its buttons do not use: Enter is OK, and a typed character goes
    // into the units text wherever the focus is.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OKBtnClick();
        return;
    }
    const QString text = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace()) {
        UnitsEdit->setFocus(Qt::ShortcutFocusReason);
        UnitsEdit->deselect();
        UnitsEdit->end(false);
        UnitsEdit->insert(text);
        UnitsEditChange(UnitsEdit->text());
        return;
    }
    QDialog::keyPressEvent(event);
}

void TUnitsDlg::OKBtnClick() {
    // A typed text is checked once, here; one that does not parse is reported and can be mended.
    if (!ValidateUnitsEdit()) {
        UnitsEdit->setFocus();
        return;
    }
    accept();
}

int TUnitsDlg::PageForUnits(const std::string& unitText) const {
    if (StripIgnoredChars(unitText).empty()) return -1;
    const auto wanted = DimensionsOf(unitText);
    if (!wanted) return -1;
    const QStringList pages = PageCaptions();
    for (const auto& spec : kUnitButtons)
        if (DimensionsOf(*spec.picked ? spec.picked : spec.caption) == wanted)
            return static_cast<int>(pages.indexOf(QString::fromUtf8(spec.page)));
    return -1;
}

bool TUnitsDlg::PressUnitButton(const QString& caption) {
    for (auto* b : unitButtons_) {
        if (b->text() == caption) {
            b->click();
            return true;
        }
    }
    return false;
}

QStringList TUnitsDlg::PageCaptions() const {
    QStringList captions;
    for (int i = 0; i < UnitsPages->count(); ++i) captions << UnitsPages->widget(i)->objectName();
    return captions;
}

QString TUnitsDlg::CurrentPage() const {
    return UnitsPages->currentWidget()->objectName();
}

bool TUnitsDlg::SelectPage(const QString& caption) {
    const int index = static_cast<int>(PageCaptions().indexOf(caption));
    if (index < 0) return false;
    pageTabs_->button(index)->click();
    return true;
}

void TUnitsDlg::SetDenominator(bool denominator) {
    (denominator ? denominatorBtn_ : numeratorBtn_)->setChecked(true);
}

bool TUnitsDlg::DenominatorSelected() const {
    return denominatorBtn_->isChecked();
}
