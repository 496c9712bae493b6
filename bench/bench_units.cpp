// Timing of the units engine's hot paths: reading quantity texts, converting and preferred units.
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"

#include <benchmark/benchmark.h>

namespace {

void SetText(benchmark::State& state, const char* text) {
    InitUnitTables();
    TNumberUnits q;
    for (auto _ : state) benchmark::DoNotOptimize(q.SetText(text));
}
BENCHMARK_CAPTURE(SetText, simple, "12.5 ft");
BENCHMARK_CAPTURE(SetText, compound, "3 lbf*ft/sec^2");
BENCHMARK_CAPTURE(SetText, pressure, "2 kg/m*sec^2");

// The unit parser itself, without the memory of texts already read: what each new text costs.
void ParseUnits(benchmark::State& state, const char* text) {
    InitUnitTables();
    for (auto _ : state) benchmark::DoNotOptimize(ParseUnitList(text));
}
BENCHMARK_CAPTURE(ParseUnits, simple, "ft");
BENCHMARK_CAPTURE(ParseUnits, compound, "lbf*ft/sec^2");
BENCHMARK_CAPTURE(ParseUnits, other_case, "LBF*FT/SEC^2");

void ConvertTo(benchmark::State& state, const char* from, const char* to) {
    InitUnitTables();
    TNumberUnits q;
    q.SetText(from);
    for (auto _ : state) benchmark::DoNotOptimize(q.ConvertTo(to));
}
BENCHMARK_CAPTURE(ConvertTo, length, "12.5 ft", "in");
BENCHMARK_CAPTURE(ConvertTo, compound, "3 lbf*ft/sec^2", "N*m/sec^2");

void ConvertToPreferred(benchmark::State& state) {
    InitUnitTables();
    SetUnitFlags({.si = false, .autoConvert = true});
    TNumberUnits q;
    q.SetText("2 kg/m*sec^2");
    for (auto _ : state) {
        q.ConvertToPreferred();
        benchmark::DoNotOptimize(q.Value);
    }
}
BENCHMARK(ConvertToPreferred);

void RaiseToPower(benchmark::State& state) {
    InitUnitTables();
    TNumberUnits q;
    for (auto _ : state) {
        q.SetText("3 m/sec");
        benchmark::DoNotOptimize(q.RaiseToPower(2));
    }
}
BENCHMARK(RaiseToPower);

} // namespace

BENCHMARK_MAIN();
