// Speed of the operand stack at 100,000 entries: push, pop, peek, and the stack file both ways.
#include "calc/CalcView.h"
#include "calc/StackCalc.h"
#include "units/NumberUnits.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int Entries = 100000;

class QuietView : public CalcView {
public:
    std::string DisplayText() const override { return {}; }
    void SetDisplayText(const std::string&) override {}
    void ShowError(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
    std::optional<std::string> RunUnitsSelector(const std::string&) override { return std::nullopt; }
};

struct Fixture {
    Fixture() { InitUnitTables(); }
    int notation = 2;
    int places = 7;
    QuietView view;
    StackCalc calc{view, notation, places};
};

std::string EntryText(int i) {
    return std::to_string(i) + ".25 ft*lbf";
}

std::string ScratchFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "meridot-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern + "/SaveStck.dat";
}

void BM_Push100k(benchmark::State& state) {
    for (auto _ : state) {
        Fixture f;
        for (int i = 0; i < Entries; ++i) f.calc.Push(EntryText(i));
        benchmark::DoNotOptimize(f.calc.Depth());
    }
    state.SetItemsProcessed(state.iterations() * Entries);
}

// Peek alone, and a pop with the push that puts the entry back; the same time at depth 10 and at
// depth 100,000 shows that neither depends on the depth. The operations pop and put back entries
// (BM_PopPush); BM_PopPushText is the same through the texts, as a window would.
void BM_Peek(benchmark::State& state) {
    Fixture f;
    for (int i = 0; i < state.range(0); ++i) f.calc.Push(EntryText(i));
    for (auto _ : state) benchmark::DoNotOptimize(f.calc.Peek());
}

void BM_PopPush(benchmark::State& state) {
    Fixture f;
    for (int i = 0; i < state.range(0); ++i) f.calc.Push(EntryText(i));
    for (auto _ : state) f.calc.PutBack(f.calc.PopEntry());
}

void BM_PopPushText(benchmark::State& state) {
    Fixture f;
    for (int i = 0; i < state.range(0); ++i) f.calc.Push(EntryText(i));
    for (auto _ : state) f.calc.Push(f.calc.Pop());
}

void BM_SaveStackFile100k(benchmark::State& state) {
    Fixture f;
    for (int i = 0; i < Entries; ++i) f.calc.Push(EntryText(i));
    const auto file = ScratchFile();
    for (auto _ : state) benchmark::DoNotOptimize(f.calc.SaveStackFile(file));
    std::filesystem::remove_all(std::filesystem::path(file).parent_path());
    state.SetItemsProcessed(state.iterations() * Entries);
}

void BM_LoadStackFile100k(benchmark::State& state) {
    const auto file = ScratchFile();
    {
        Fixture f;
        for (int i = 0; i < Entries; ++i) f.calc.Push(EntryText(i));
        f.calc.SaveStackFile(file);
    }
    for (auto _ : state) {
        Fixture f;
        f.calc.LoadStackFile(file);
        benchmark::DoNotOptimize(f.calc.Depth());
    }
    std::filesystem::remove_all(std::filesystem::path(file).parent_path());
    state.SetItemsProcessed(state.iterations() * Entries);
}

BENCHMARK(BM_Push100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Peek)->Arg(10)->Arg(Entries);
BENCHMARK(BM_PopPush)->Arg(10)->Arg(Entries);
BENCHMARK(BM_PopPushText)->Arg(10)->Arg(Entries);
BENCHMARK(BM_SaveStackFile100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadStackFile100k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
