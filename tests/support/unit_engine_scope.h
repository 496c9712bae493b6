// One guard for the units engine's program-wide state in tests: the unit flags and the user's
// preferred units. It sets the flags a test wants and puts both back when it ends.
#pragma once

#include <string>
#include <vector>

#include "units/NumberUnits.h"
#include "units/PreferredUnits.h"
#include "units/QuantityMath.h"

class UnitEngineScope {
public:
    explicit UnitEngineScope(UnitFlags flags = CurrentUnitFlags())
        : saved_((InitUnitTables(), CurrentUnitFlags())), savedChoices_(CurrentPreferredChoices()) {
        SetUnitFlags(flags);
    }
    ~UnitEngineScope() {
        SetUnitFlags(saved_);
        SetPreferredChoices(savedChoices_);
    }
    UnitEngineScope(const UnitEngineScope&) = delete;
    UnitEngineScope& operator=(const UnitEngineScope&) = delete;

private:
    UnitFlags saved_;
    PreferredChoices savedChoices_;
};
