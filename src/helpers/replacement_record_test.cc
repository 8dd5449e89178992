#include "helpers/replacement_record.h"

#include <gtest/gtest.h>

#include <tuple>

namespace brellam {
namespace {

// The next run believes a record only when it is whole and names nothing
// but the pages and names of our own pattern.
TEST(ReplacementRecordTest, OnlyAWholeRecordOfOurNamesIsBelieved) {
  const std::vector<std::string> pages = {"Res.htm"};
  const std::string fresh = TemporaryName("Res.htm", 0xABC, kNewEnding);
  const std::string kept = TemporaryName("res.HTM", 0xABC, kKeptEnding);
  const std::string good = RecordText(std::vector<RecordedFile>{{"Res.htm", fresh, kept}});
  const std::size_t first_end = good.find('\n') + 1;
  std::string unguessed = fresh;
  unguessed[unguessed.size() - 5] = 'g';
  const std::tuple<std::string, bool, bool> cases[] = {
      {good, true, true},
      {good + "x\n", false, true},  // more after the last line
      {"x\n" + good.substr(first_end), false, false},
      {good.substr(0, first_end) + "x\n" + good.substr(first_end), true, false},
      {RecordText(std::vector<RecordedFile>{{"Res.htm", unguessed, ""}}), true, false},
  };
  for (const auto& [text, whole, ours] : cases) {
    const ReadRecord record = ParseRecord(text, pages);
    EXPECT_EQ(std::pair(record.whole, record.ours), std::pair(whole, ours)) << text;
  }
  EXPECT_TRUE(IsLeftoverOf(kept, pages));
  EXPECT_FALSE(IsLeftoverOf(unguessed, pages));
}

}  // namespace
}  // namespace brellam
