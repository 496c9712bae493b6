// The register window: the ten storage registers, with drag and drop to the stack and the display.
#pragma once

#include <QWidget>
#include <array>

#include "ui/StackFormUnit.h"

class QMenu;
class RegisterListModel;
class TKorbCalcForm;

class TRegisterForm : public QWidget {
    Q_OBJECT
public:
    explicit TRegisterForm(TKorbCalcForm& main);

    TDragListBox* RegisterList(int index) const { return lists_.at(static_cast<size_t>(index)); }
    QMenu* RegisterPopupMenu() const { return popup_; }

    // Loads "SaveRegs.dat" when SaveRegs is set and shows itself when ShowRegs is set.
    void StartUp();
    // Shows the ten registers again, in the current display format.
    void Refresh();
    void PlaceForShow();

    void regconClick(int tag);
    void ClearRegisterContents1Click();

    static constexpr int ClientWidth = 375; // the right column keeps the left one's 8-pixel margin
    static constexpr int ClientHeight = 137;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TKorbCalcForm& main_;
    std::array<TDragListBox*, StackCalc::RegisterCount> lists_{};
    std::array<RegisterListModel*, StackCalc::RegisterCount> models_{};
    QMenu* popup_;
};
