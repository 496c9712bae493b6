// The user's preferred units in the value store, one value per row and unit system
// ("PreferredSI1" ... "PreferredSI19", "PreferredUS1" ... "PreferredUS19").
#pragma once

#include "units/PreferredUnits.h"

#include <string>

class ValueStore;

std::string PreferredValueName(int row, bool si);
// A value that is absent, empty or not a unit of its row's kind reads as the row's default.
PreferredChoices ReadPreferredChoices(const ValueStore& store);
// Every value is written; a row at its default is written empty.
void WritePreferredChoices(ValueStore& store, const PreferredChoices& choices);
