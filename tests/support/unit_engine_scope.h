// One guard for the units engine's program-wide state in tests: the unit flags, the user's preferred
// units and the message sink. It sets the flags a test wants, records every message, and puts all
// three back when it ends.
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
        previousSink_ = SetMessageSink([this](const std::string& m) { messages.push_back(m); });
        SetUnitFlags(flags);
    }
    ~UnitEngineScope() {
        SetMessageSink(std::move(previousSink_));
        SetUnitFlags(saved_);
        SetPreferredChoices(savedChoices_);
    }
    UnitEngineScope(const UnitEngineScope&) = delete;
    UnitEngineScope& operator=(const UnitEngineScope&) = delete;

    std::vector<std::string> messages;

private:
    UnitFlags saved_;
    PreferredChoices savedChoices_;
    MessageSink previousSink_;
};
