#include "conversion/dropped_items.h"

#include <gtest/gtest.h>

#include <set>

namespace brellam {
namespace {

TEST(DroppedItemsTest, OneWholePathOrEachArgument) {
  struct Case {
    const char* name;
    CommandLine command_line;
    std::set<std::string> existing;
    std::vector<std::string> items;
  };
  const auto windows = [](const char* text) { return CommandLine{text, SplitCommandLine(text)}; };
  const Case cases[] = {
      {"Nothing", windows(""), {}, {}},
      {"OnlyQuotes", windows("\"\""), {}, {}},
      {"QuotedPathWithBlanks", windows("\"D:\\My Skins\\a.txt\""), {}, {"D:\\My Skins\\a.txt"}},
      {"UnquotedPathWithBlanks",
       windows("D:\\My Skins\\a.txt"),
       {"D:\\My Skins\\a.txt"},
       {"D:\\My Skins\\a.txt"}},
      {"SeveralFiles", windows("\"D:\\a b.txt\" D:\\c.txt"), {}, {"D:\\a b.txt", "D:\\c.txt"}},
      // POSIX: the arguments as given, where a quote is part of a name.
      {"QuoteInAnExistingName", {"q\"a.txt", {"q\"a.txt"}}, {"q\"a.txt", "qa.txt"}, {"q\"a.txt"}},
      {"QuoteInAMissingName", {"q\"a.txt", {"q\"a.txt"}}, {}, {"qa.txt"}},
      {"BlanksSplitByTheShell", {"a b.txt", {"a", "b.txt"}}, {"a b.txt"}, {"a b.txt"}},
      {"GivenArgumentsStay", {"\"a\" b", {"\"a\"", "b"}}, {}, {"\"a\"", "b"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DroppedItems(c.command_line,
                           [&](const std::string& path) { return c.existing.count(path) > 0; }),
              c.items);
  }
}

}  // namespace
}  // namespace brellam
