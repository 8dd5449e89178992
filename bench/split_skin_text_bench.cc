// How fast a skin text is cut, in bytes per second: SplitSkinText in
// memory, and the two looks through a file that the program takes, in
// pieces as it reads them. Only the work is timed: not the copy of the
// input that SplitSkinText takes by value, nor freeing the pages.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <utility>

#include "conversion/skin_layout.h"
#include "conversion/skin_pages.h"
#include "conversion/skin_text.h"
#include "platform/platform-posix.h"
#include "skin_generator.h"
#include "text/utf8.h"

namespace brellam {
namespace {

void BM_SplitSkinText(benchmark::State& state) {
  const std::string skin_text = GenerateSkinText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::string input = skin_text;
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

constexpr std::size_t kReadPiece = 64 << 10;

// The generated skin as a file: code page 932, UTF-8 without a byte-order
// mark, or UTF-16 LE with one.
std::string SkinFile(std::size_t size, TextEncoding encoding) {
  SkinOptions options;
  if (encoding != TextEncoding::kAnsi) options.encoding = SkinEncoding::kUtf8;
  const std::string text = GenerateSkinText(size, options);
  if (encoding != TextEncoding::kUtf16Le) return text;
  std::string utf16 = "\xFF\xFE";
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Character c = Utf8At(text, at);
    utf16.push_back(static_cast<char>(c.code_point & 0xFF));
    utf16.push_back(static_cast<char>(c.code_point >> 8));
    at += c.size;
  }
  return utf16;
}

template <typename Look>
void Feed(std::string_view bytes, Look& look) {
  for (std::size_t at = 0; at < bytes.size(); at += kReadPiece) {
    look.Feed(bytes.substr(at, kReadPiece));
  }
}

void BM_ScanSkinText(benchmark::State& state, TextEncoding encoding) {
  const std::string file = SkinFile(static_cast<std::size_t>(state.range(0)), encoding);
  for (auto _ : state) {
    SkinTextScanner scanner(CodePage932());
    Feed(file, scanner);
    SkinLayout layout;
    std::string reason;
    benchmark::DoNotOptimize(scanner.Finish(&layout, &reason));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}

void BM_WritePages(benchmark::State& state, TextEncoding encoding) {
  const std::string file = SkinFile(static_cast<std::size_t>(state.range(0)), encoding);
  const PosixPlatform platform(0, nullptr, 0);
  SkinTextScanner scanner(CodePage932());
  Feed(file, scanner);
  SkinLayout layout;
  std::string reason;
  if (!scanner.Finish(&layout, &reason)) state.SkipWithError(reason.c_str());
  for (auto _ : state) {
    for (const PageLines& page : layout.pages) {
      PageWriter writer(layout.encoding, page.line_end_after, platform, [](std::string_view bytes) {
        benchmark::DoNotOptimize(bytes.data());
        return true;
      });
      Feed(std::string_view(file).substr(page.begin, page.end - page.begin), writer);
      writer.Finish();
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}

#define BRELLAM_BOTH_LOOKS(name, encoding)           \
  BENCHMARK_CAPTURE(BM_ScanSkinText, name, encoding) \
      ->Arg(1 << 20)                                 \
      ->Arg(16 << 20)                                \
      ->Unit(benchmark::kMicrosecond);               \
  BENCHMARK_CAPTURE(BM_WritePages, name, encoding)   \
      ->Arg(1 << 20)                                 \
      ->Arg(16 << 20)                                \
      ->Unit(benchmark::kMicrosecond)

BRELLAM_BOTH_LOOKS(CodePage932, TextEncoding::kAnsi);
BRELLAM_BOTH_LOOKS(Utf8, TextEncoding::kUtf8);
BRELLAM_BOTH_LOOKS(Utf16, TextEncoding::kUtf16Le);

}  // namespace
}  // namespace brellam

BENCHMARK_MAIN();
