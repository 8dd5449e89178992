// How fast SplitSkinText cuts made-up skin texts, in bytes per second. Only
// the call is timed: not the copy of the input it takes by value, nor
// freeing the pages.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <utility>

#include "conversion/skin_text.h"
#include "skin_generator.h"

namespace brellam {
namespace {

void BM_SplitSkinText(benchmark::State& state) {
  const std::string skin_text = GenerateSkinText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    // As the program reads it: room for the CR LF that the split adds.
    std::string input;
    input.reserve(skin_text.size() + kLineEnd.size());
    input = skin_text;
    const auto start = std::chrono::steady_clock::now();
    const SkinPages pages = SplitSkinText(std::move(input), CodePage932());
    const auto stop = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(pages.text.data());
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_SplitSkinText)
    ->Arg(30 << 10)
    ->Arg(1 << 20)
    ->Arg(16 << 20)
    ->Arg(128 << 20)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brellam

BENCHMARK_MAIN();
