#include <functional>
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace {

// Everything undo must give back exactly: full texts, display texts, registers.
struct Snapshot {
    std::vector<std::string> full, display;
    StackCalc::Registers registers;
    bool operator==(const Snapshot&) const = default;
};

class UndoTest : public EngineTest {
public: // for the command tables' lambdas
    using EngineTest::Push;
    using EngineTest::Typed;

protected:
    Snapshot Take() const {
        const auto& s = calc->Stack();
        return {s.FPStack(), s.StackListBox(), s.CopyRegisters()};
    }
    std::size_t Steps() const { return calc->History().UndoSteps(); }
};

struct StepCase {
    const char* name;
    std::vector<std::string> stack;
    std::function<void(UndoTest&, KorbCalc&, RecordingView&)> command;
};

TEST_F(UndoTest, EveryCommandKindIsOneStepUndoneAndRedoneExactly) {
    using K = KorbCalc;
    using V = RecordingView;
    const StepCase cases[] = {
        {"enter", {"1 m"}, [](UndoTest& t, K&, V&) { t.Push("2.123456789012345 m"); }},
        {"add", {"1 m", "2 m"}, [](UndoTest&, K& k, V&) { k.Run(Command::Add); }},
        {"typed operand and add",
         {"1 m"},
         [](UndoTest& t, K& k, V&) {
             t.Typed("2 m");
             k.Run(Command::Add);
         }},
        {"2nd function", {"2", "10"}, [](UndoTest&, K& k, V&) { k.Run(Command::YtoX); }},
        {"divide", {"1", "3"}, [](UndoTest&, K& k, V&) { k.Run(Command::Divide); }},
        {"drop", {"1", "2", "3"}, [](UndoTest&, K& k, V&) { k.Run(Command::Delete); }},
        {"swap", {"1 m", "2 sec"}, [](UndoTest&, K& k, V&) { k.Run(Command::Swap); }},
        {"change sign", {"4 kg"}, [](UndoTest&, K& k, V&) { k.Run(Command::ChangeSign); }},
        {"pi", {}, [](UndoTest&, K& k, V&) { k.Run(Command::Pi); }},
        {"typed and entered at once",
         {"1 m"},
         [](UndoTest&, K& k, V&) { EXPECT_TRUE(k.TypeAndEnter("2 ft")); }},
        {"gravity", {"1"}, [](UndoTest&, K& k, V&) { k.Run(Command::Gravity); }},
        {"store",
         {"12 ft"},
         [](UndoTest&, K& k, V&) {
             k.Run(Command::Store);
             k.keyPress('3');
         }},
        {"recall",
         {"12 ft"},
         [](UndoTest&, K& k, V&) {
             k.Run(Command::Recall);
             k.keyPress('0');
         }},
        {"select units",
         {"12"},
         [](UndoTest&, K& k, V& v) {
             v.selectorAnswer = "ft";
             k.Run(Command::SelectUnits);
         }},
        {"convert units",
         {"12 ft"},
         [](UndoTest&, K& k, V& v) {
             v.selectorAnswer = "in";
             k.Run(Command::ConvertUnits);
         }},
        {"direct convert", {"6 in", "1 ft"}, [](UndoTest&, K& k, V&) { k.Run(Command::DirectConvert); }},
        {"move to top", {"1", "2", "3", "4"}, [](UndoTest&, K& k, V&) { k.MoveEntryToTop(1); }},
        {"clear stack contents", {"1", "2", "3"}, [](UndoTest&, K& k, V&) { k.ClearStackContents(); }},
        {"clear registers", {"5 m"}, [](UndoTest&, K& k, V&) { k.ClearRegisters(); }},
        {"entry to register", {"1 m", "2 sec"}, [](UndoTest&, K& k, V&) { k.StoreEntryInRegister(0, 9); }},
        {"set register", {}, [](UndoTest&, K& k, V&) { k.SetRegister("7 lbf", 4); }},
        {"register window recall", {"1"}, [](UndoTest&, K& k, V&) { k.RecallRegister(2); }},
        {"drop register on display",
         {"1"},
         [](UndoTest&, K& k, V&) {
             k.DisplayDragDrop({true, "lbReg2", 2, -1});
         }},
        {"drop stack entry on display",
         {"1 m", "2 m"},
         [](UndoTest&, K& k, V&) {
             k.DisplayDragDrop({true, "StackListBox", 0, 0});
         }},
        {"reset", {"1 m", "2 m"}, [](UndoTest&, K& k, V&) { k.Run(Command::Reset); }},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        Start();
        PushAll(tc.stack);
        c().SetRegister("3 m", 2);
        const Snapshot before = Take();
        const std::size_t steps = Steps();
        tc.command(*this, c(), view);
        const Snapshot after = Take();
        ASSERT_NE(after, before) << ::testing::PrintToString(view.errors);
        EXPECT_EQ(Steps(), steps + 1);

        c().Undo();
        EXPECT_EQ(Take(), before);
        EXPECT_TRUE(c().State().Entered);
        EXPECT_TRUE(c().CanRedo());
        c().Redo();
        EXPECT_EQ(Take(), after);
        EXPECT_FALSE(c().CanRedo());
        c().Undo();
        EXPECT_EQ(Take(), before);
    }
}

TEST_F(UndoTest, FailedOrEmptyCommandsRecordNoStep) {
    const StepCase cases[] = {
        {"incompatible units",
         {"1 m", "1 kg"},
         [](UndoTest&, KorbCalc& k, RecordingView&) { k.Run(Command::Add); }},
        {"divide by zero",
         {"1", "0"},
         [](UndoTest&, KorbCalc& k, RecordingView&) { k.Run(Command::Divide); }},
        {"log of a negative", {"-1"}, [](UndoTest&, KorbCalc& k, RecordingView&) { k.Run(Command::Log); }},
        {"add on one entry", {"1"}, [](UndoTest&, KorbCalc& k, RecordingView&) { k.Run(Command::Add); }},
        {"selector cancelled",
         {"12"},
         [](UndoTest&, KorbCalc& k, RecordingView& v) {
             v.selectorAnswer.reset();
             k.Run(Command::SelectUnits);
         }},
        {"swap of two equal entries",
         {"2 m", "2 m"},
         [](UndoTest&, KorbCalc& k, RecordingView&) { k.Run(Command::Swap); }},
        {"store prompt only", {"1"}, [](UndoTest&, KorbCalc& k, RecordingView&) { k.Run(Command::Store); }},
        {"typing", {"1"}, [](UndoTest& t, KorbCalc&, RecordingView&) { t.Typed("12"); }},
        {"typed entry that does not read",
         {"3 m"},
         [](UndoTest&, KorbCalc& k, RecordingView& v) {
             const std::size_t errors = v.errors.size();
             EXPECT_FALSE(k.TypeAndEnter("12 fx"));
             EXPECT_EQ(v.errors.size(), errors + 1);
             EXPECT_EQ(v.display, k.Stack().StackListBox().back()); // the top again, for the next entry
             EXPECT_TRUE(k.State().Entered);
         }},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        Start();
        PushAll(tc.stack);
        const Snapshot before = Take();
        const std::size_t steps = Steps();
        tc.command(*this, c(), view);
        EXPECT_EQ(Take(), before);
        EXPECT_EQ(Steps(), steps);
    }
}

TEST_F(UndoTest, UndoShowsTheTopAndDropsATypedEntry) {
    PushAll({"1 m", "2 m"});
    c().Run(Command::Add);
    Typed("77");
    c().Undo();
    EXPECT_EQ(c().Stack().FPStack().size(), 2u);
    EXPECT_TRUE(c().State().Entered);
    EXPECT_EQ(Parse(view.display).value, 2);

    c().Undo();
    c().Undo();
    EXPECT_TRUE(c().Stack().IsEmpty());
    EXPECT_EQ(view.display, "0");
    EXPECT_FALSE(c().CanUndo());
    c().Undo(); // nothing left: nothing happens
    EXPECT_TRUE(c().Stack().IsEmpty());
}

TEST_F(UndoTest, LongHistoryWalksBackAndForthThroughEveryState) {
    std::vector<Snapshot> states{Take()};
    const Command ops[] = {Command::Add, Command::Swap, Command::Multiply, Command::Delete, Command::Square};
    for (int i = 0; i < 600; ++i) {
        if (i % 3 == 0 || c().Stack().Depth() < 2)
            Push(std::to_string(i % 17 + 1) + " m");
        else
            c().Run(ops[i % 5]);
        if (Take() != states.back()) states.push_back(Take());
    }
    ASSERT_EQ(Steps(), states.size() - 1);
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        c().Undo();
        ASSERT_EQ(Take(), states[i]) << "after undoing back to state " << i;
    }
    for (std::size_t i = 1; i < states.size(); ++i) {
        c().Redo();
        ASSERT_EQ(Take(), states[i]) << "after redoing to state " << i;
    }
}

TEST_F(UndoTest, ANewCommandAfterUndoDiscardsTheRedoBranch) {
    PushAll({"1", "2"});
    c().Undo();
    EXPECT_TRUE(c().CanRedo());
    Push("3");
    EXPECT_FALSE(c().CanRedo());
    c().Redo();
    ExpectStack({{1, ""}, {3, ""}});
    c().Undo();
    c().Undo();
    EXPECT_TRUE(c().Stack().IsEmpty());
}

TEST_F(UndoTest, HistoryIsBoundedAndHoldsOnlyWhatChanged) {
    constexpr int Depth = 100'000;
    for (int i = 0; i < Depth; ++i) Push(std::to_string(i % 1000));
    ASSERT_EQ(c().Stack().Depth(), Depth);
    EXPECT_EQ(Steps(), UndoHistory::StepLimit);
    const Snapshot full = Take();

    const Command ops[] = {Command::Add, Command::Swap, Command::Delete, Command::ChangeSign,
                           Command::Divide};
    for (int i = 0; i < 1000; ++i) {
        if (i % 7 == 0) {
            c().MoveEntryToTop(c().Stack().Depth() - 5);
        } else if (i % 11 == 0) {
            c().Run(Command::Store);
            c().keyPress(static_cast<char>('0' + i % 10));
        } else {
            c().Run(ops[i % 5]);
        }
        if (i % 3 == 0) Push(std::to_string(i) + " m");
    }
    EXPECT_EQ(Steps(), UndoHistory::StepLimit);
    // A few entries a step, never the stack.
    EXPECT_LT(c().History().EntriesHeld(), 5000u);
    RecordProperty("entries_held", static_cast<int>(c().History().EntriesHeld()));

    c().ClearStackContents(); // the one kind of step that holds every entry
    EXPECT_GT(c().History().EntriesHeld(), static_cast<std::size_t>(Depth) / 2);
    c().Undo();
    EXPECT_GT(c().Stack().Depth(), Depth / 2);
    c().Redo();
    EXPECT_TRUE(c().Stack().IsEmpty());

    // Undo all the way back as far as the history reaches: the bottom is untouched all along.
    while (c().CanUndo()) c().Undo();
    EXPECT_EQ(c().Stack().FPStack().front(), full.full.front());
}

TEST_F(UndoTest, UndoneEntriesTakeTheCurrentNumberFormat) {
    PushAll({"1 m", "3"});
    c().Run(Command::Divide);
    c().Run(Command::Delete);
    c().ApplyNumberFormat(c().CurrentSettings().FractNotation, 2);
    c().Undo();
    c().Undo();
    const Snapshot undone = Take();
    ASSERT_EQ(undone.full.size(), 2u);
    c().UpdateAllLists();
    EXPECT_EQ(Take(), undone);
}

TEST_F(UndoTest, LoadingAStackFileStartsANewHistory) {
    Push("1");
    EXPECT_TRUE(c().CanUndo());
    c().LoadStackFrom("/nonexistent-dir/undo-test.dat");
    EXPECT_FALSE(c().CanUndo());
}

} // namespace
