#include "settings/PreferredStore.h"

#include "settings/ValueStore.h"

std::string PreferredValueName(int row, bool si) {
    return std::string(si ? "PreferredSI" : "PreferredUS") + std::to_string(row);
}

PreferredChoices ReadPreferredChoices(const ValueStore& store) {
    PreferredChoices choices;
    for (int row = 1; row <= PreferredRowCount; ++row)
        for (bool si : {true, false}) {
            const std::string text = store.ReadString(PreferredValueName(row, si), "");
            if (CheckPreferredUnit(row, text).empty()) choices.For(row, si) = text;
        }
    return choices;
}

void WritePreferredChoices(ValueStore& store, const PreferredChoices& choices) {
    for (int row = 1; row <= PreferredRowCount; ++row)
        for (bool si : {true, false}) store.WriteString(PreferredValueName(row, si), choices.For(row, si));
}
