#include "helpers/set_replacement.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fake_platform.h"
#include "helpers/replacement_record.h"

namespace brellam {
namespace {

using Files = std::map<std::string, std::string>;

// What an earlier run left of its own goes first; a name someone takes
// meanwhile is left to them and another is tried. Every file is on the
// disk, and the record too, before the first swap; the folder is flushed
// after the last, and the record goes last.
TEST(SetReplacementTest, StepsInTheirOrder) {
  FakePlatform platform;
  platform.folders = {"C:\\", "C:\\s\\"};
  const std::string taken = "C:\\s\\Res.htm.brellam-0000000000000001.tmp";
  const std::string mine = "C:\\s\\Res.htm.brellam-00000000000000ff.tmp";
  const std::string kept = "C:\\s\\Res.htm.brellam-0000000000000007.old";
  const std::string left = "C:\\s\\Res.htm.brellam-00000000000000aa.old";
  platform.files = {{"C:\\s\\Res.htm", "old"}, {left, "a killed run's"}};
  platform.others = {taken};
  platform.random_numbers = {1, 255};
  const NewFile files[] = {FileOfBytes("C:\\s\\Res.htm", "new"),
                           FileOfBytes("C:\\s\\Empty.htm", "")};
  const std::string made[] = {"C:\\s\\"};
  const Replaced replaced = WriteTextFiles(platform, "C:\\s", files, made);
  EXPECT_EQ(replaced.result, SetResult::kInPlace);
  EXPECT_TRUE(replaced.problems.empty());
  EXPECT_EQ(platform.files, (Files{{"C:\\s\\Res.htm", "new"}, {"C:\\s\\Empty.htm", ""}}));
  const std::string empty = "C:\\s\\Empty.htm";
  const std::string record = "C:\\s\\.brellam.record";
  EXPECT_EQ(
      platform.writes,
      (std::vector<std::string>{
          "lock C:\\s\\.brellam.lock", "list C:\\s", "remove " + left, "write and flush " + mine,
          "write and flush " + empty + ".brellam-0000000000000007.tmp",
          "keep C:\\s\\Res.htm as " + kept,
          "keep " + empty + " as " + empty + ".brellam-0000000000000007.old",
          "write and flush " + record, "sync the folder of " + record, "replace C:\\s\\Res.htm",
          "replace " + empty, "sync the folder of C:\\s\\.brellam.lock", "remove " + kept,
          "remove " + record, "sync the folder of C:\\s", "let go C:\\s\\.brellam.lock"}));

  // Every name taken: given up, nothing removed.
  platform.files = {{"C:\\s\\Res.htm", "old"}};
  platform.others = {"C:\\s\\Res.htm.brellam-0000000000000007.tmp"};
  EXPECT_EQ(WriteTextFiles(platform, "C:\\s", files, {}).result, SetResult::kOldKept);
  EXPECT_EQ(platform.files, (Files{{"C:\\s\\Res.htm", "old"}}));

  // A whole record that names what no run of ours writes is not acted on.
  const RecordedFile foreign[] = {{"a.css", "a.css.brellam-0000000000000001.tmp", ""}};
  platform.files = {{"C:\\s\\a.css", "the user's"}, {record, RecordText(foreign)}};
  const Replaced refused = WriteTextFiles(platform, "C:\\s", files, {});
  EXPECT_EQ(refused.result, SetResult::kMixed);
  EXPECT_EQ(refused.problems, (std::vector<FileProblem>{{record, Status::kForeign, ""}}));
  EXPECT_EQ(platform.files.size(), 2u);
  // A whole set whose record cannot go: the run stops, but nothing is mixed.
  platform.files = {{"C:\\s\\Res.htm", "old"}, {record, ""}};
  platform.writes.clear();
  platform.fail_at = 2;  // the record's removal
  EXPECT_EQ(WriteTextFiles(platform, "C:\\s", files, {}).result, SetResult::kOldKept);
  // Only a whole record naming our own names is believed.
  const std::string fresh = TemporaryName("Res.htm", 0xABC, kNewEnding);
  std::string odd = fresh;
  odd[odd.size() - 5] = 'g';  // no hex digit
  const RecordedFile good[] = {{"Res.htm", fresh, TemporaryName("res.HTM", 0xABC, kKeptEnding)}};
  const RecordedFile unguessed[] = {{"Res.htm", odd, ""}};
  const std::string text = RecordText(good), head = text.substr(0, text.find('\n') + 1);
  const std::tuple<std::string, bool, bool> texts[] = {
      {text, true, true},
      {text + "x\n", false, true},
      {"x\n" + text.substr(head.size()), false, false},
      {head + "x\n" + text.substr(head.size()), true, false},
      {RecordText(unguessed), true, false}};
  const std::vector<std::string> res = {"Res.htm"};
  for (const auto& [given, whole, ours] : texts) {
    const ReadRecord read = ParseRecord(given, res);
    EXPECT_EQ(std::pair(read.whole, read.ours), std::pair(whole, ours)) << given;
  }
  EXPECT_TRUE(IsLeftoverOf(good[0].kept_name, res));
  EXPECT_FALSE(IsLeftoverOf(odd, res));
}

}  // namespace
}  // namespace brellam
