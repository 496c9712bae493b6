// The preferred units in the value store: written and read back whole, and each damaged value
// falling back to its own row's default.
#include "settings/PreferredStore.h"
#include "settings/ValueStore.h"

#include "support/unit_engine_scope.h"

#include <gtest/gtest.h>

namespace {

TEST(PreferredStore, ChoicesSurviveAWriteAndARead) {
    UnitEngineScope scope;
    PreferredChoices choices;
    choices.For(7, true) = "kW";
    choices.For(6, true) = "MPa";
    choices.For(1, false) = "in";
    choices.For(19, false) = "rad";
    MemoryValueStore store;
    WritePreferredChoices(store, choices);
    EXPECT_EQ(store.values.size(), 2u * PreferredRowCount);
    EXPECT_EQ(store.values["PreferredSI7"], "kW");
    EXPECT_EQ(store.values["PreferredUS7"], "");
    EXPECT_EQ(ReadPreferredChoices(store), choices);
}

TEST(PreferredStore, DamagedValuesFallBackRowByRow) {
    UnitEngineScope scope;
    MemoryValueStore store;
    store.values = {
        {"PreferredSI1", "mm"},       // good
        {"PreferredSI6", "kW"},       // wrong dimension
        {"PreferredSI7", "xyz"},      // not a unit
        {"PreferredUS1", "2 ft"},     // a quantity, not a unit
        {"PreferredUS5", "\x01\xff"}, // garbage
        {"PreferredUS6", "psi"},      // good
        {"PreferredSI20", "kW"},      // no such row: ignored
        {"PreferredSI4", ""},         // empty: the default
    };
    const PreferredChoices read = ReadPreferredChoices(store);
    PreferredChoices expected;
    expected.For(1, true) = "mm";
    expected.For(6, false) = "psi";
    EXPECT_EQ(read, expected);
}

} // namespace
