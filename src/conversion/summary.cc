#include "conversion/summary.h"

#include <algorithm>

#include "conversion/messages.h"
#include "text/shown_text.h"
#include "text/utf8.h"

namespace brellam {

namespace {

// A box taller than the screen hides its end and its OK button: at
// 1024x768 the box shows 30 rows with room to spare.
constexpr std::size_t kMostSummaryRows = 30;
constexpr std::size_t kMostItemsShownEach = 10;
// The box wraps a line wider than itself: it holds some 50 half-width
// characters a row under Wine at 1024x768, a wide (East Asian) one taking
// the room of two, or fewer; counted short so that the estimate errs tall.
constexpr std::size_t kColumnsPerRow = 48;

// The rows `text` takes in the box, its long lines cut as the box shows them.
std::size_t RowCount(std::string_view text) {
  const std::string shown = CutLongLines(text);
  std::size_t rows = 0;
  std::size_t columns = 0;
  for (std::size_t at = 0; at <= shown.size();) {
    if (at == shown.size() || shown[at] == '\n') {
      // Wrapped at word ends, a long line loses up to a row to the gaps.
      rows += columns <= kColumnsPerRow ? 1 : (columns + kColumnsPerRow - 1) / kColumnsPerRow + 1;
      columns = 0;
      ++at;
      continue;
    }
    const Utf8Character c = Utf8At(shown, at);
    columns += Columns(c.code_point);
    at += c.size;
  }
  return rows;
}

}  // namespace

Message Summary(const std::vector<Message>& items) {
  Message all{{}, true};
  std::size_t rows = 0;
  const auto append = [&all, &rows](std::string_view block) {
    if (!all.prompt.empty()) {
      all.prompt += "\n\n";
      ++rows;
    }
    all.prompt += block;
    rows += RowCount(block);
  };
  for (const Message& item : items) all.success = all.success && item.success;
  if (items.size() <= kMostItemsShownEach) {
    for (const Message& item : items) append(item.prompt);
    // Even ten items may be too tall when their paths are long.
    if (rows <= kMostSummaryRows) return all;
    all.prompt.clear();
    rows = 0;
  }
  const auto failed = static_cast<std::size_t>(
      std::count_if(items.begin(), items.end(), [](const Message& m) { return !m.success; }));
  const std::size_t succeeded = items.size() - failed;
  std::size_t listed = 0;
  for (const Message& item : items) {
    if (item.success) continue;
    // Room for the rows that will follow it: the counts and their gap.
    const std::size_t counts = (listed + 1 < failed ? 1u : 0u) + (succeeded > 0 ? 1u : 0u);
    const std::size_t after = counts > 0 ? counts + 1 : 0;
    if (rows + (rows > 0 ? 1 : 0) + RowCount(item.prompt) + after > kMostSummaryRows) break;
    append(item.prompt);
    ++listed;
  }
  std::string counts = listed < failed ? MoreFailures(failed - listed) : "";
  if (succeeded > 0) counts += (counts.empty() ? "" : "\n") + OthersDone(succeeded);
  if (!counts.empty()) append(counts);
  return all;
}

}  // namespace brellam
