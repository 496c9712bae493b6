// The engine's calls that are handed their inputs (the command line's way in): a register number
// or a unit text goes in as an argument, no key is typed for it and no units selector is asked.
#include "engine_fixture.h"

namespace {

const std::string InvalidRegister = "Invalid register index";

// The messages' first lines: a second line may name what failed and the names nearest to it.
std::vector<std::string> FirstLines(const std::vector<std::string>& messages) {
    std::vector<std::string> first;
    for (const auto& m : messages) first.push_back(m.substr(0, m.find('\n')));
    return first;
}

struct RegisterCase {
    const char* name;
    std::vector<std::string> entries; // pushed first
    std::string typed;                // then typed and not entered; "" for none
    bool store;                       // Store(n), else Recall(n)
    int n;
    std::vector<Quantity> stack; // afterwards, bottom first
    Quantity register3;          // it holds 7 kg before
    std::vector<std::string> errors;
};

void PrintTo(const RegisterCase& c, std::ostream* os) {
    *os << c.name;
}

class RegisterCall : public EngineTest, public ::testing::WithParamInterface<RegisterCase> {};

TEST_P(RegisterCall, StoresOrRecallsAndEndsThePrompt) {
    const auto& p = GetParam();
    c().SetRegister("7 kg", 3);
    PushAll(p.entries);
    if (!p.typed.empty()) Typed(p.typed);
    if (p.store)
        c().Store(p.n);
    else
        c().Recall(p.n);
    ExpectStack(p.stack);
    const Quantity reg = Parse(c().Stack().Register(3));
    EXPECT_EQ(reg.value, p.register3.value);
    EXPECT_EQ(reg.units, p.register3.units);
    EXPECT_EQ(FirstLines(view.errors), p.errors);
    // No prompt is left waiting to swallow what comes next.
    EXPECT_FALSE(c().State().StorePending);
    EXPECT_FALSE(c().State().RecallPending);
    const int depth = c().Stack().Depth();
    EXPECT_TRUE(c().EnterText("4 sec"));
    EXPECT_EQ(c().Stack().Depth(), depth + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Registers, RegisterCall,
    ::testing::Values(
        RegisterCase{"store_top", {"12 ft"}, "", true, 3, {{12, "ft"}}, {12, "ft"}, {}},
        RegisterCase{
            "store_finishes_the_typed_entry", {"1 m"}, "5 m", true, 3, {{1, "m"}, {5, "m"}}, {5, "m"}, {}},
        RegisterCase{"store_on_empty_stack", {}, "", true, 3, {}, {7, "kg"}, {"Stack empty!"}},
        RegisterCase{
            "store_below_range", {"12 ft"}, "", true, -1, {{12, "ft"}}, {7, "kg"}, {InvalidRegister}},
        RegisterCase{
            "store_above_range", {"12 ft"}, "", true, 10, {{12, "ft"}}, {7, "kg"}, {InvalidRegister}},
        RegisterCase{"store_after_bad_typed_entry",
                     {"1 m"},
                     "12 fx",
                     true,
                     3,
                     {{1, "m"}},
                     {7, "kg"},
                     {"Problem with the units"}},
        RegisterCase{"recall", {"1 m"}, "", false, 3, {{1, "m"}, {7, "kg"}}, {7, "kg"}, {}},
        RegisterCase{
            "recall_finishes_the_typed_entry", {}, "2 ft", false, 3, {{2, "ft"}, {7, "kg"}}, {7, "kg"}, {}},
        RegisterCase{"recall_below_range", {"1 m"}, "", false, -1, {{1, "m"}}, {7, "kg"}, {InvalidRegister}},
        RegisterCase{
            "recall_above_range", {"1 m"}, "", false, 10, {{1, "m"}}, {7, "kg"}, {InvalidRegister}}));

// A typed entry and the register it goes to are one command: one undo takes both back.
TEST_F(EngineTest, StoreIsOneUndoStep) {
    c().SetRegister("7 kg", 3);
    Push("1 m");
    Typed("5 m");
    c().Store(3);
    ExpectStack({{1, "m"}, {5, "m"}});
    c().Undo();
    ExpectStack({{1, "m"}});
    EXPECT_EQ(Parse(c().Stack().Register(3)).units, "kg");
}

// The register number is no key: where the typed entry is refused it is not typed onto it.
TEST_F(EngineTest, RefusedEntryKeepsItsTextAndStoresNothing) {
    for (const bool store : {true, false}) {
        Start();
        Typed("12 fx");
        store ? c().Store(3) : c().Recall(3);
        EXPECT_EQ(view.display, "12 fx") << "store: " << store;
        EXPECT_TRUE(c().Stack().IsEmpty()) << "store: " << store;
        EXPECT_EQ(c().Stack().Register(3), "0") << "store: " << store;
    }
}

struct UnitsCase {
    const char* name;
    std::vector<std::string> entries;
    std::string typed;
    bool convert; // ConvertTop(units), else SelectUnits(units)
    std::string units;
    std::vector<Quantity> stack;
    std::vector<std::string> errors, messages;
};

void PrintTo(const UnitsCase& c, std::ostream* os) {
    *os << c.name;
}

class UnitsCall : public EngineTest, public ::testing::WithParamInterface<UnitsCase> {};

TEST_P(UnitsCall, TakesTheUnitsWithoutTheSelector) {
    const auto& p = GetParam();
    c().AutoConvertBtnClick(false);
    PushAll(p.entries);
    if (!p.typed.empty()) Typed(p.typed);
    view.selectorAnswer = "mi"; // what the selector would answer, were it asked
    if (p.convert)
        c().ConvertTop(p.units);
    else
        c().SelectUnits(p.units);
    ExpectStack(p.stack);
    EXPECT_EQ(FirstLines(view.errors), p.errors);
    EXPECT_EQ(FirstLines(view.messages), p.messages);
    EXPECT_TRUE(view.selectorInputs.empty());
}

const std::string Incompatible = "Units Incompatable";

INSTANTIATE_TEST_SUITE_P(
    Units, UnitsCall,
    ::testing::Values(
        UnitsCase{"convert_top", {"1 m", "12 ft"}, "", true, "in", {{1, "m"}, {144, "in"}}, {}, {}},
        UnitsCase{
            "convert_finishes_the_typed_entry", {"1 m"}, "2 ft", true, "in", {{1, "m"}, {24, "in"}}, {}, {}},
        UnitsCase{"convert_to_incompatible_units",
                  {"1 m", "12 ft"},
                  "",
                  true,
                  "kg",
                  {{1, "m"}, {12, "ft"}},
                  {Incompatible},
                  {}},
        UnitsCase{"convert_to_unknown_units",
                  {"1 m", "12 ft"},
                  "",
                  true,
                  "qqq",
                  {{1, "m"}, {12, "ft"}},
                  {},
                  {"Unit problem-check the units entered"}},
        UnitsCase{"convert_on_empty_stack", {}, "5 ft", true, "in", {}, {"Stack is empty!"}, {}},
        UnitsCase{"select_for_the_typed_value", {"1 m"}, "12", false, "ft", {{1, "m"}, {12, "ft"}}, {}, {}},
        UnitsCase{"select_for_nothing_typed_gives_one", {}, "", false, "m/sec", {{1, "m/sec"}}, {}, {}},
        UnitsCase{"select_for_the_shown_top", {"3"}, "", false, "ft", {{3, ""}, {3, "ft"}}, {}, {}},
        UnitsCase{"select_after_bad_typed_entry",
                  {"1 m"},
                  "12 fx",
                  false,
                  "ft",
                  {{1, "m"}},
                  {"Problem with the units"},
                  {}}));

struct EnterTextCase {
    const char* text;
    bool storePrompt; // STO pressed before, its prompt waiting
    bool pushed;
    std::vector<Quantity> stack;
};

// EnterText tells truly whether the text went onto the stack.
TEST_F(EngineTest, EnterTextTellsWhetherItPushed) {
    const EnterTextCase cases[] = {
        {"5 m", false, true, {{1, "ft"}, {5, "m"}}},
        {"  ", false, true, {{1, "ft"}, {0, ""}}}, // a blank entry is the empty entry 0
        {"12 fx", false, false, {{1, "ft"}}},
        {"5 m", true, false, {{1, "ft"}}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.text) + (k.storePrompt ? " after STO" : ""));
        Start();
        Push("1 ft");
        if (k.storePrompt) c().BtnSTOClick();
        EXPECT_EQ(c().EnterText(k.text), k.pushed);
        ExpectStack(k.stack);
    }
}

} // namespace
