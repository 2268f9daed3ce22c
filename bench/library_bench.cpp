// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include "core/library/builtin_tactics.h"
#include "core/library/catalog_exporter.h"

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

// The whole catalog as compact JSON (the libraries are already built).
void BM_EncodeCatalog(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto encoded = vantrel::CatalogExporter::encode();
        bytes = encoded ? encoded.value().size() : 0;
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_EncodeCatalog)->Unit(benchmark::kMillisecond);

}  // namespace
