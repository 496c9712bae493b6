// Timing of the operations every key press of the calculator goes through.
#include "units/NumberFormat.h"
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"

#include <benchmark/benchmark.h>

namespace {

void UseSiWithAutoConvert() {
    InitUnitTables();
    SetUnitFlags({.si = true, .autoConvert = true});
}

void BM_QuantityAddSub(benchmark::State& state) {
    UseSiWithAutoConvert();
    const std::string a = "12 ft", b = "6 in";
    std::string full, units, error;
    double value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(QuantityAddSub(a, b, 1, full, value, units, error));
        benchmark::DoNotOptimize(full);
    }
}
BENCHMARK(BM_QuantityAddSub);

void BM_QuantityMulDiv(benchmark::State& state) {
    UseSiWithAutoConvert();
    const std::string a = "2 lbf/in^2", b = "3 in^2";
    std::string full, units, error;
    double value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(QuantityMulDiv(a, b, true, full, value, units, error));
        benchmark::DoNotOptimize(full);
    }
}
BENCHMARK(BM_QuantityMulDiv);

void BM_FormatForDisplay(benchmark::State& state) {
    UseSiWithAutoConvert();
    for (auto _ : state) benchmark::DoNotOptimize(FormatForDisplay("12.5 ft*lbf/sec", Notation::Fixed, 7));
}
BENCHMARK(BM_FormatForDisplay);

} // namespace

BENCHMARK_MAIN();
