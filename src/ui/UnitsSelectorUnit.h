// The units selector: builds a unit expression from pages of unit buttons or from typed text.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
struct UnitBox;

// One unit button: the page and group it sits in, its caption, the unit text it picks
// (empty: the caption) and its hint. The table lists the buttons in page and row order.
struct UnitButtonSpec {
    const char* page;
    const char* group; // empty: the buttons sit on the page itself
    const char* inner; // empty: no inner group
    const char* caption;
    const char* picked;
    const char* hint;
    const char* name; // component name, for the few buttons that have one
};
const std::vector<UnitButtonSpec>& UnitButtonTable();

class TUnitsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TUnitsDlg(QWidget* parent = nullptr);

    // Runs the dialog modally, starting with the unit text of quantityText. The chosen unit text
    // on OK; nothing on Cancel or when the window is closed.
    std::optional<std::string> Run(const std::string& quantityText);

    // Errors of the units engine (a unit text that does not parse) go here; the default shows a
    // message box and leaves the dialog open.
    void SetErrorHandler(std::function<void(const std::string&)> handler) { onError_ = std::move(handler); }

    // Presses the unit button with this caption; false when there is none.
    bool PressUnitButton(const QString& caption);
    // Page captions in order, and the selected one.
    QStringList PageCaptions() const;
    QString CurrentPage() const;
    bool SelectPage(const QString& caption);
    void SetDenominator(bool denominator);
    bool DenominatorSelected() const;
    std::string CurrentUnitsText() const { return CurrentUnits; }
    // Checks the edit's text; on success the selection becomes its reduced form, else the error is
    // reported. OK (also Enter) runs it before closing.
    bool ValidateUnitsEdit();
    // The page (index) whose units measure the same kind of quantity as a unit text; -1 for none.
    int PageForUnits(const std::string& unitText) const;

    QLineEdit* UnitsEdit = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildPages();
    QWidget* BuildBox(const UnitBox& box, int depth); // depth 0: the page itself
    void UnitButtonClick(const UnitButtonSpec& spec);
    void AddPickedUnit();
    void UnitsEditChange(const QString& text);
    void OKBtnClick();
    void ReportError(const std::string& message);
    static std::string UnitProblem(const std::string& unitText);

    std::string CurrentUnits;
    std::string StartUnits;
    std::string PickedUnit;

    QStackedWidget* UnitsPages = nullptr;
    QButtonGroup* pageTabs_ = nullptr;
    QRadioButton* numeratorBtn_ = nullptr;
    QRadioButton* denominatorBtn_ = nullptr;
    std::vector<QAbstractButton*> unitButtons_;
    std::function<void(const std::string&)> onError_;
};
