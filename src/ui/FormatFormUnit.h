// The number-format dialog, and the notation and decimal-places controls it shares with the
// preferences dialog.
#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>
#include <optional>

#include "settings/Prefs.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QToolButton;

// What the two dialogs need from the main window.
struct FormatDialogHost {
    std::function<void()> showStackTop; // show the top of the stack in the current format
    std::function<bool()> entered;      // the display shows a completed value, not an entry
    std::function<void()> refreshLists; // the stack window rebuilds its lists, the register window refreshes
};

// Up-down arrows bound to a text box, range 0..15. The position is what the box holds.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(QLineEdit* buddy, int min, int max, QWidget* parent = nullptr);
    // The box's number, or nothing when the box does not hold one.
    std::optional<int> Position() const;
    void SetPosition(int position);
    void Step(int delta);

signals:
    void changing(); // before an arrow changes the box

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* buddy_;
    int min_, max_;
    int last_ = 0;
    QToolButton* up_;
    QToolButton* down_;
};

// The "Fractional Notation" radio group with the decimal-places box, its arrows and the "Places"
// text. Edits preview at once: they write the settings and show the top of the stack.
class TNotationPanel : public QWidget {
    Q_OBJECT
public:
    // arrowsReadBox: an arrow press first reads the box as typed (the number-format dialog does).
    // Horizontal puts the decimal places beside the notation group, vertical below it.
    TNotationPanel(Settings& settings, const FormatDialogHost& host, bool arrowsReadBox,
                   Qt::Orientation orientation, QWidget* parent);

    // Shows a notation (0..5; Number and Currency have no button) and a number of decimal places
    // without previewing; returns the places the box shows (7 for a value outside 0..15).
    int Load(int notation, int places);
    int SelectedNotation() const; // -1 when no button is checked
    // The arrows' position, or nothing when the box does not hold a number.
    std::optional<int> ArrowsPosition() const { return UpDown1->Position(); }
    void SetArrows(int places);

    // The box's change handler and the notation click, public so that tests and menus can drive them.
    void DigitsBoxChange();
    void gbFractNotationClick(int index);

    QGroupBox* gbFractNotation = nullptr;
    QButtonGroup* notationButtons = nullptr;
    QLineEdit* DigitsBox = nullptr;
    TUpDown* UpDown1 = nullptr;
    QLineEdit* Edit3 = nullptr;

private:
    void SetDigitsEnabled(bool enabled);
    void SetBoxText(const QString& text);

    Settings& settings_;
    const FormatDialogHost& host_;
    bool loading_ = false;
};

class TFormatForm : public QDialog {
    Q_OBJECT
public:
    TFormatForm(Settings& settings, FormatDialogHost host, QWidget* parent = nullptr);

    TNotationPanel* Panel = nullptr;
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // Cancel

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    Settings& settings_;
    FormatDialogHost host_;
    int shownPlaces_ = 0;
    int shownNotation_ = 0;
};

// Takes back a preview: the remembered notation and places return, and the display is redrawn
// when it shows the top of the stack (an entry being typed is left alone).
void RestorePreviewedFormat(Settings& settings, const FormatDialogHost& host, int notation, int places);
