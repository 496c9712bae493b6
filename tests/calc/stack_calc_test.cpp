#include "calc/StackCalc.h"

#include "calc/CalcView.h"
#include "settings/Prefs.h"
#include "settings/ValueStore.h"
#include "support/file_scratch.h"
#include "units/NumberFormat.h"
#include "units/NumberUnits.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class RecordingView : public CalcView {
public:
    std::string DisplayText() const override { return display; }
    void SetDisplayText(const std::string& text) override { display = text; }
    void ShowError(const std::string& message) override { errors.push_back(message); }
    void ShowMessage(const std::string& message) override { messages.push_back(message); }
    std::optional<std::string> RunUnitsSelector(const std::string&) override { return std::nullopt; }

    std::string display;
    std::vector<std::string> errors;
    std::vector<std::string> messages;
};

using Lines = std::vector<std::string>;

// Records the stack's notices as "inserted 0 1", "removed 2 1", "changed 1 2", "reset" and
// "registers", and counts the refreshes and the new tops to show.
struct NoticeLog : CalcObserver {
    void EntriesInserted(int first, int count) override { Rows("inserted", first, count); }
    void EntriesRemoved(int first, int count) override { Rows("removed", first, count); }
    void EntriesChanged(int first, int count) override { Rows("changed", first, count); }
    void EntriesReset() override { lines.push_back("reset"); }
    void RegistersChanged() override { lines.push_back("registers"); }
    void ViewsRefreshed() override { ++refreshes; }
    void TopReplaced() override { ++topsShown; }
    void Rows(const char* what, int first, int count) {
        lines.push_back(std::string(what) + " " + std::to_string(first) + " " + std::to_string(count));
    }

    Lines lines;
    int refreshes = 0, topsShown = 0;
};

class StackCalcTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitUnitTables();
        calc.SetObserver(log);
    }
    void PushAll(const Lines& texts) {
        for (const auto& t : texts) ASSERT_TRUE(calc.Push(t)) << t;
    }
    std::string Full(const std::string& text) const {
        TNumberUnits q;
        q.Digits = 15;
        q.SetFormat(NotationFromInt(notation));
        EXPECT_TRUE(q.SetText(text)) << text;
        return FullText(q, NotationFromInt(notation));
    }

    int notation = static_cast<int>(Notation::Fixed);
    int places = 7;
    RecordingView view;
    StackCalc calc{view, notation, places};
    ScratchDir dir;
    NoticeLog log;
    Lines& notices = log.lines;
    int& refreshes = log.refreshes;
    int& stackTopShown = log.topsShown;
};

TEST_F(StackCalcTest, PushKeepsTheFullTextAndShowsTheTextAsTyped) {
    ASSERT_TRUE(calc.Push("12 ft"));
    EXPECT_EQ(calc.FPStack(), Lines{"12.000000000000000 ft"});
    EXPECT_EQ(calc.StackListBox(), Lines{"12.0000000 ft"});
    EXPECT_NE(calc.StackListBox()[0], calc.FPStack()[0]);
    EXPECT_EQ(calc.Depth(), 1);
    EXPECT_EQ(calc.Selected(), 0);
    EXPECT_EQ(refreshes, 1);

    // Neither a bad unit nor an empty text adds an entry.
    for (const char* bad : {"12 fx", "", "  "}) EXPECT_FALSE(calc.Push(bad)) << '"' << bad << '"';
    ASSERT_EQ(view.errors.size(), 3u);
    EXPECT_FALSE(view.errors[0].empty());
    EXPECT_EQ(view.errors[1], ErrorMessage(_NoEntry));
    EXPECT_EQ(calc.Depth(), 1);
}

TEST_F(StackCalcTest, EmptyStackFallbacksReportAndGiveZero) {
    const struct {
        std::string (StackCalc::*op)();
        const char* message;
    } cases[] = {{&StackCalc::Pop, "Stack empty"}, {&StackCalc::Peek, "Stack empty!"}};
    for (const auto& c : cases) {
        view.errors.clear();
        EXPECT_EQ((calc.*c.op)(), "0");
        EXPECT_EQ(view.errors, Lines{c.message});
        EXPECT_TRUE(calc.IsEmpty());
    }
}

TEST_F(StackCalcTest, PopTakesTheTopAndKeepsBothListsInStep) {
    PushAll({"1 m", "2 m", "3 m"});
    EXPECT_EQ(calc.Peek(), Full("3 m"));
    EXPECT_EQ(calc.Pop(), Full("3 m"));
    EXPECT_EQ(calc.FPStack(), (Lines{Full("1 m"), Full("2 m")}));
    EXPECT_EQ(calc.StackListBox().size(), 2u);
    EXPECT_EQ(calc.Selected(), 1);
    EXPECT_EQ(calc.Depth(), 2);
    EXPECT_TRUE(view.errors.empty());
}

TEST_F(StackCalcTest, StoreAndRecallCopyValues) {
    PushAll({"12 ft", "3"});
    calc.StoreTop(4);
    EXPECT_EQ(calc.Register(4), Full("3"));
    EXPECT_EQ(calc.Depth(), 2);
    calc.RecallRegister(4);
    EXPECT_EQ(calc.Depth(), 3);
    EXPECT_EQ(calc.Peek(), Full("3"));
    EXPECT_EQ(stackTopShown, 1);

    calc.SetRegister("5 kg", 9);
    auto copy = calc.CopyRegisters();
    calc.SetRegister("6 kg", 9);
    EXPECT_EQ(copy[9], "5 kg");
    EXPECT_EQ(copy[0], "0");
    EXPECT_TRUE(view.errors.empty());
}

TEST_F(StackCalcTest, BadRegisterOrEmptyStackChangesNothingButStillRefreshes) {
    const struct {
        const char* what;
        std::function<void(StackCalc&)> op;
        const char* message;
    } cases[] = {
        {"store below 0", [](StackCalc& c) { c.StoreTop(-1); }, "Invalid register index"},
        {"set 10", [](StackCalc& c) { c.SetRegister("1 m", 10); }, "Invalid register index"},
        {"recall 10", [](StackCalc& c) { c.RecallRegister(10); }, "Invalid register index"},
        {"store from an empty stack", [](StackCalc& c) { c.StoreTop(0); }, "Stack empty!"},
    };
    StackCalc::Registers allZero;
    allZero.fill("0");
    for (const auto& c : cases) {
        calc.ClearAll();
        view.errors.clear();
        const int refreshed = refreshes;
        c.op(calc);
        EXPECT_EQ(view.errors, Lines{c.message}) << c.what;
        EXPECT_EQ(calc.CopyRegisters(), allZero) << c.what;
        EXPECT_TRUE(calc.IsEmpty()) << c.what;
        EXPECT_EQ(refreshes, refreshed + 1) << c.what;
    }
}

TEST_F(StackCalcTest, ListCommandsReorderBothLists) {
    PushAll({"1 m", "2 m", "3 m"});
    auto order = [&](Lines texts) {
        Lines full;
        for (auto& t : texts) full.push_back(Full(t));
        return full;
    };
    calc.MoveToTop(0);
    EXPECT_EQ(calc.FPStack(), order({"2 m", "3 m", "1 m"}));
    calc.SwapXY();
    EXPECT_EQ(calc.FPStack(), order({"2 m", "1 m", "3 m"}));
    EXPECT_EQ(calc.StackListBox(), (Lines{"2.0000000 m", "1.0000000 m", "3.0000000 m"}));
    calc.MoveToTop(7); // out of range: ignored
    EXPECT_EQ(calc.FPStack(), order({"2 m", "1 m", "3 m"}));

    places = 2;
    calc.UpdateAll();
    EXPECT_EQ(calc.FPStack(), order({"2 m", "1 m", "3 m"}));
    EXPECT_EQ(calc.StackListBox(), (Lines{"2.00 m", "1.00 m", "3.00 m"}));

    calc.StoreTop(1);
    calc.ClearEntries();
    EXPECT_TRUE(calc.IsEmpty());
    EXPECT_TRUE(calc.StackListBox().empty());
    EXPECT_EQ(calc.Register(1), Full("3 m"));
    calc.ClearAll();
    EXPECT_EQ(calc.Register(1), "0");
}

TEST_F(StackCalcTest, StackFileRoundTrip) {
    const auto file = dir.File("SaveStck.dat");
    ASSERT_TRUE(calc.SaveStackFile(file));
    EXPECT_EQ(ReadBytes(file), ""); // an empty stack gives an empty file

    PushAll({"12 ft", "3", "1e-20 m"});
    ASSERT_TRUE(calc.SaveStackFile(file));
    const auto bytes = ReadBytes(file);
    EXPECT_EQ(bytes.rfind("12.000000000000000 ft\r\n3.000000000000000 \r\n", 0), 0u) << bytes;

    RecordingView view2;
    StackCalc loaded{view2, notation, places};
    NoticeLog loadLog;
    loaded.SetObserver(loadLog);
    ASSERT_TRUE(loaded.LoadStackFile(file));
    EXPECT_EQ(loaded.FPStack(), calc.FPStack());
    EXPECT_EQ(loaded.StackListBox(), calc.StackListBox());
    EXPECT_EQ(loadLog.lines, Lines{"inserted 0 3"}); // the whole file at once
    EXPECT_EQ(loadLog.topsShown, 1);
    EXPECT_TRUE(view2.errors.empty() && view2.messages.empty());
}

TEST_F(StackCalcTest, StackFileLinesThatDoNotParseAreDroppedSilently) {
    const auto file = dir.File("SaveStck.dat");
    WriteBytes(file, "1 m\r12 fx\n\r\n" + std::string(1 << 20, '7') + "\r\n" + std::string("5\0 m\n", 5) +
                         "\xff\xfe garbage\n2 m");
    ASSERT_TRUE(calc.LoadStackFile(file));
    EXPECT_EQ(calc.FPStack(), (Lines{Full("1 m"), Full("2 m")}));
    EXPECT_TRUE(view.errors.empty());
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(StackCalcTest, RandomBytesAndManyLinesLoadWithoutHarm) {
    std::string bytes;
    unsigned seed = 2024;
    for (int i = 0; i < 10000; ++i) {
        for (int j = 0; j < 12; ++j) {
            seed = seed * 1103515245u + 12345u;
            bytes.push_back(static_cast<char>(seed >> 16));
        }
        bytes += i % 2 ? "\n" : "\r\n";
    }
    const auto file = dir.File("SaveStck.dat");
    WriteBytes(file, bytes);
    EXPECT_TRUE(calc.LoadStackFile(file));
    EXPECT_EQ(calc.FPStack().size(), calc.StackListBox().size());
    EXPECT_EQ(notices, Lines{"inserted 0 " + std::to_string(calc.Depth())});

    WriteBytes(dir.File("SaveRegs.dat"), bytes);
    EXPECT_TRUE(calc.LoadRegisterFile(dir.File("SaveRegs.dat")));
}

TEST_F(StackCalcTest, RegisterFileLinesBeyondTheTenthAreReportedOnce) {
    Lines lines;
    for (int i = 1; i <= 12; ++i) lines.push_back(std::to_string(i) + " m");
    lines[2] = "3 fx"; // registers 2 and 3 keep their values
    lines[3] = "";
    const auto file = dir.File("SaveRegs.dat");
    std::string bytes;
    for (auto& l : lines) bytes += l + "\r\n";
    WriteBytes(file, bytes);

    calc.SetRegister("9 kg", 2);
    refreshes = 0;
    ASSERT_TRUE(calc.LoadRegisterFile(file));
    EXPECT_EQ(view.errors, (Lines{"Invalid register index"}));
    EXPECT_EQ(calc.Register(0), Full("1 m"));
    EXPECT_EQ(calc.Register(2), "9 kg");
    EXPECT_EQ(calc.Register(3), "0");
    EXPECT_EQ(calc.Register(9), Full("10 m"));
    EXPECT_EQ(refreshes, 1);
}

TEST_F(StackCalcTest, RegisterFileHoldsTenLinesWithEmptyRegistersAsZero) {
    calc.SetRegister("", 0);
    calc.SetRegister(" ", 1);
    calc.SetRegister(Full("4 ft"), 2);
    const auto file = dir.File("SaveRegs.dat");
    ASSERT_TRUE(calc.SaveRegisterFile(file));
    EXPECT_EQ(ReadBytes(file), "0\r\n0\r\n" + Full("4 ft") + "\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
}

TEST_F(StackCalcTest, FileFailuresAreReportedAndLoseNothing) {
    PushAll({"1 m", "2 m"});
    EXPECT_FALSE(calc.LoadStackFile(dir.File("SaveStck.dat")));
    EXPECT_FALSE(calc.LoadRegisterFile(dir.File("SaveRegs.dat")));
    EXPECT_EQ(view.messages, (Lines{"Error loading stack file.", "Error loading register file."}));

    const auto file = dir.File("SaveStck.dat");
    std::filesystem::create_directory(PathOf(file)); // a directory where the file should go
    EXPECT_FALSE(calc.SaveStackFile(file));
    ASSERT_EQ(view.messages.size(), 3u);
    EXPECT_NE(view.messages[2].find("SaveStck.dat"), std::string::npos);
    EXPECT_EQ(calc.Depth(), 2);
    EXPECT_TRUE(view.errors.empty());
}

TEST_F(StackCalcTest, FilesAreWrittenAtCloseOnlyWhenSavePrefsIsOn) {
    const struct {
        int savePrefs, saveStack, saveRegs;
    } cases[] = {{0, 1, 1}, {1, 0, 0}, {1, 1, 1}, {0, 0, 0}};
    PushAll({"2 m"});
    for (const auto& c : cases) {
        ScratchDir here;
        Settings s;
        s.SavePrefs = c.savePrefs;
        s.SaveStack = c.saveStack;
        s.SaveRegs = c.saveRegs;
        MemoryValueStore store;
        Prefs prefs(s, store, here.File("Meridot.ini"));
        EXPECT_TRUE(SaveAtClose(
            s.SavePrefs != 0, [&prefs] { return prefs.WritePrefs().written; }, calc,
            here.File("SaveStck.dat"), here.File("SaveRegs.dat")));
        const bool expected = c.savePrefs != 0;
        for (const char* name : {"Meridot.ini", "SaveStck.dat", "SaveRegs.dat"})
            EXPECT_EQ(std::filesystem::exists(PathOf(here.File(name))), expected)
                << name << " " << c.savePrefs;
        EXPECT_EQ(store.values.empty(), !expected);
    }
}

} // namespace

// The windows follow the lists row by row: each command tells exactly which rows it touched.
TEST_F(StackCalcTest, EachCommandTellsWhichRowsChanged) {
    const struct {
        const char* what;
        std::function<void(StackCalc&)> op;
        Lines notices;
    } cases[] = {
        {"push", [](StackCalc& c) { c.Push("4 m"); }, {"inserted 3 1"}},
        {"push that does not parse", [](StackCalc& c) { c.Push("4 fx"); }, {}},
        {"pop", [](StackCalc& c) { c.Pop(); }, {"removed 2 1"}},
        {"peek", [](StackCalc& c) { c.Peek(); }, {}},
        {"swap", [](StackCalc& c) { c.SwapXY(); }, {"changed 1 2"}},
        {"bottom to the top", [](StackCalc& c) { c.MoveToTop(0); }, {"changed 0 3"}},
        {"middle to the top", [](StackCalc& c) { c.MoveToTop(1); }, {"changed 1 2"}},
        {"move out of range", [](StackCalc& c) { c.MoveToTop(3); }, {}},
        {"format again", [](StackCalc& c) { c.UpdateAll(); }, {"changed 0 3"}},
        {"clear the entries", [](StackCalc& c) { c.ClearEntries(); }, {"reset"}},
        {"clear all", [](StackCalc& c) { c.ClearAll(); }, {"reset", "registers"}},
        {"store", [](StackCalc& c) { c.StoreTop(2); }, {"registers"}},
        {"store to a bad register", [](StackCalc& c) { c.StoreTop(10); }, {}},
        {"set a register", [](StackCalc& c) { c.SetRegister("1 m", 0); }, {"registers"}},
        {"recall", [](StackCalc& c) { c.RecallRegister(0); }, {"inserted 3 1"}},
        {"refresh", [](StackCalc& c) { c.RefreshViews(); }, {}},
    };
    for (const auto& c : cases) {
        calc.ClearAll();
        PushAll({"1 m", "2 m", "3 m"});
        notices.clear();
        c.op(calc);
        EXPECT_EQ(notices, c.notices) << c.what;
    }
    // Popping the last entry and swapping a single one.
    calc.ClearAll();
    PushAll({"1 m"});
    notices.clear();
    calc.SwapXY();
    calc.Pop();
    calc.Pop(); // empty: reported, nothing removed
    EXPECT_EQ(notices, Lines{"removed 0 1"});
}

TEST_F(StackCalcTest, LoadingTellsOnceAfterTheEntriesAlreadyThere) {
    const auto file = dir.File("SaveStck.dat");
    WriteBytes(file, "5 m\r\nbad fx\r\n6 m\r\n");
    const auto regs = dir.File("SaveRegs.dat");
    WriteBytes(regs, "1 m\r\n2 m\r\n");
    PushAll({"1 m", "2 m"});
    notices.clear();
    ASSERT_TRUE(calc.LoadStackFile(file));
    ASSERT_TRUE(calc.LoadRegisterFile(regs));
    EXPECT_EQ(notices, (Lines{"inserted 2 2", "registers"}));
    notices.clear();
    EXPECT_FALSE(calc.LoadStackFile(dir.File("missing.dat")));
    WriteBytes(file, "bad fx\r\n");
    ASSERT_TRUE(calc.LoadStackFile(file));
    EXPECT_TRUE(notices.empty());
}
