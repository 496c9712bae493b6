#include "calc/CalcView.h"

#include "calc/StackEntry.h"

bool CalcView::DisplayHasLineBreak() const {
    return DisplayText().find('\n') != std::string::npos;
}

void CalcView::ShowEntry(const StackEntry& entry, int notation, int places) {
    SetDisplayText(entry.TextIn(notation, places));
}
