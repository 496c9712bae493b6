// What a window sees of the engine, in order: the list notices, the refreshes with the indicators
// already set, the display, and what the preferences file asks of the windows.
#include "calc/CalcView.h"
#include "calc/KorbCalc.h"
#include "settings/ValueStore.h"
#include "support/file_scratch.h"
#include "support/unit_engine_scope.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Logs every notice with the row count the engine holds at that moment, so that a notice told
// before its change shows up.
class LogView : public CalcView {
public:
    std::string DisplayText() const override { return display; }
    void SetDisplayText(const std::string& text) override {
        display = text;
        log.push_back("display " + text);
    }
    void ShowError(const std::string& message) override { log.push_back("error " + message); }
    void ShowMessage(const std::string& message) override { log.push_back("message " + message); }
    void ShowWarning(const std::string& message) override { log.push_back("warning " + message); }
    std::optional<std::string> RunUnitsSelector(const std::string&) override { return std::nullopt; }
    void SetEditingIndicator(bool entered) override { log.push_back(entered ? "entered" : "editing"); }

    void EntriesInserted(int first, int count) override { Rows("inserted", first, count); }
    void EntriesRemoved(int first, int count) override { Rows("removed", first, count); }
    void EntriesChanged(int first, int count) override { Rows("changed", first, count); }
    void EntriesReset() override { log.push_back("reset of " + Count()); }
    void RegistersChanged() override { log.push_back("registers"); }
    void ViewsRefreshed() override { log.push_back("refreshed"); }

    std::optional<WindowPos> WindowPlace(CalcWindow window) const override {
        if (window == CalcWindow::Main) return WindowPos{5, 6};
        return std::nullopt;
    }
    int MainWindowWidth() const override { return 300; }
    void MoveMainWindow(WindowPos place) override {
        log.push_back("move " + std::to_string(place.x) + " " + std::to_string(place.y));
    }

    const KorbCalc* calc = nullptr;
    std::string display;
    Lines log;

private:
    std::string Count() const { return std::to_string(calc ? calc->Stack().Count() : -1); }
    void Rows(const char* what, int first, int count) {
        log.push_back(std::string(what) + " " + std::to_string(first) + " " + std::to_string(count) + " of " +
                      Count());
    }
};

class EngineNoticesTest : public ::testing::Test {
protected:
    void Start() {
        calc = std::make_unique<KorbCalc>(view, store, prefsFile);
        view.calc = calc.get();
    }

    UnitEngineScope unitEngine;
    ScratchDir dir;
    std::string prefsFile = dir.File("Meridot.ini");
    MemoryValueStore store;
    LogView view;
    std::unique_ptr<KorbCalc> calc;
};

// Each notice comes after its change (the engine's count already matches); a refresh comes after
// the indicators it follows; a recalled value is in the display by the time of the last refresh.
TEST_F(EngineNoticesTest, CommandsTellTheirChangesInOrder) {
    Start();
    calc->FormShow(false);
    const struct {
        const char* what;
        std::function<void(KorbCalc&)> run;
        Lines expected;
    } cases[] = {
        {"push",
         [](KorbCalc& c) { c.EnterText("2 m"); },
         {"display 2 m", "inserted 0 1 of 1", "editing", "refreshed", "display 2.0000000 m", "entered",
          "entered", "refreshed"}},
        {"store",
         [](KorbCalc& c) { c.Store(3); },
         {"display Store to register #", "registers", "entered", "refreshed", "display 2.0000000 m"}},
        {"recall",
         [](KorbCalc& c) { c.Recall(3); },
         {"display Recall register #", "inserted 1 1 of 2", "entered", "refreshed", "display 2.0000000 m",
          "entered", "refreshed"}},
        {"swap",
         [](KorbCalc& c) { c.Run(Command::Swap); },
         {"changed 0 2 of 2", "display 2.0000000 m", "entered", "refreshed"}},
        {"reset",
         [](KorbCalc& c) { c.ResetCalculator(); },
         {"reset of 0", "registers", "entered", "refreshed", "display 0", "entered", "refreshed"}},
    };
    for (const auto& c : cases) {
        view.log.clear();
        c.run(*calc);
        EXPECT_EQ(view.log, c.expected) << c.what;
    }
}

// The preferences file moves the main window to its place. An unusable one is a warning, then the
// note that it was kept as "<name>.bak"; the defaults written take the main window's place from the
// view.
TEST_F(EngineNoticesTest, PreferencesFileReachesTheWindowsThroughTheView) {
    WriteBytes(prefsFile, "Calc_Pos = 30, 40\r\nFract_Notation = Fixed\r\nDecimal_Places = 3\r\n");
    Start();
    EXPECT_TRUE(calc->LoadPrefs());
    EXPECT_EQ(view.log, Lines{"move 30 40"});
    EXPECT_EQ(calc->CurrentSettings().DecimalPlaces, 3);

    WriteBytes(prefsFile, std::string("\0\x01\xff", 3));
    view.log.clear();
    Start();
    EXPECT_FALSE(calc->LoadPrefs());
    EXPECT_EQ(view.log, (Lines{"warning Can't load Prefs from INI file: " + prefsFile,
                               "message \"" + prefsFile +
                                   "\" was not loaded in full, so the earlier file was kept as " + prefsFile +
                                   ".bak"}));
    EXPECT_NE(ReadBytes(prefsFile).find("Calc_Pos = 5, 6\r\n"), std::string::npos);
}

} // namespace
