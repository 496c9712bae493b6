// The stack window: the live list of the operand stack, with drag and drop to the registers and
// the display. Also the list box the register window uses.
#pragma once

#include <QTableView>
#include <QWidget>
#include <functional>
#include <optional>

#include "calc/KorbCalc.h"

class QMenu;
class QMimeData;
class TKorbCalcForm;

// Drags between the stack list, the register lists and the display carry the source list's name,
// its tag and the dragged item's index.
inline constexpr char ListDragMimeType[] = "application/x-meridot-listitem";
QMimeData* MakeListDragData(const DropSource& source);
std::optional<DropSource> ReadListDragData(const QMimeData* data);
// Accepts a drag entering or moving over a target as a copy when it carries a list item that the
// rule accepts; ignores it otherwise. Returns whether it was accepted.
bool AnswerListDrag(QDropEvent* event, const std::function<bool(const DropSource&)>& accept);

class StackListModel;

// A list box over a list model that drags its current item as a DropSource and accepts drops by
// a rule. It is a one-column table without headers or grid: every row has the same height, so a
// change of one row costs the same however long the list is (a list view lays out every row
// again on each change).
class TDragListBox : public QTableView {
    Q_OBJECT
public:
    explicit TDragListBox(const QString& name, int tag, QWidget* parent = nullptr);
    int Tag() const { return tag_; }

    int count() const;
    int currentRow() const; // -1 when no row is current
    void setCurrentRow(int row);
    QString itemText(int row) const;
    QRect rowRect(int row) const;

    std::function<bool(const DropSource&)> acceptDrop;
    std::function<void(const DropSource&)> onDrop;

protected:
    void changeEvent(QEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int tag_;
};

class TStackForm : public QWidget {
    Q_OBJECT
public:
    // The list shows the model, which follows the engine's entry lists.
    TStackForm(TKorbCalcForm& main, StackListModel& model);

    TDragListBox* StackListBox() const { return list_; }
    QMenu* StackPopupMenu() const { return popup_; }

    // Loads "SaveStck.dat" when SaveStack is set and shows itself when ShowStack is set.
    void StartUp();
    // Makes the engine's selected entry the list's current row and keeps it in view.
    void ShowSelected();
    // Places the window before it is shown, beside the main window unless a position is kept.
    void PlaceForShow();

    void StackListBoxDblClick();
    void MoveSelectedToTop();
    void ClearStackContents1Click();
    // The stack window's minimum size, applied when it loses activation.
    void FormDeactivate();

    static constexpr int MinWidth = 194;
    static constexpr int MinHeight = 69;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TKorbCalcForm& main_;
    TDragListBox* list_;
    QMenu* popup_;
};
