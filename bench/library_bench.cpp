#include <benchmark/benchmark.h>

#include "core/library/builtin_tactics.h"

namespace {

// Both built-in lists from their scripts, as the first look at the library pays for it.
void BM_BuildBuiltInLibraries(benchmark::State& state) {
    for (auto _ : state) {
        auto seven = vantrel::BuiltInTactics::buildSevenLibrary();
        auto eleven = vantrel::BuiltInTactics::buildElevenLibrary();
        benchmark::DoNotOptimize(seven.data());
        benchmark::DoNotOptimize(eleven.data());
    }
}
BENCHMARK(BM_BuildBuiltInLibraries)->Unit(benchmark::kMillisecond);

}  // namespace
