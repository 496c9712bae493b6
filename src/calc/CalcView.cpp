#include "calc/CalcView.h"

#include "calc/StackEntry.h"

void CalcView::ShowEntry(const StackEntry& entry, int notation, int places) {
    SetDisplayText(entry.TextIn(notation, places));
}
