#include "platform/whole_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace brellam {
namespace {

// A file that hands out at most `chunk` bytes a call and fails once
// `fail_after` bytes are out.
struct FakeFile {
  std::string content;
  std::size_t chunk = std::numeric_limits<std::size_t>::max();
  std::size_t fail_after = std::numeric_limits<std::size_t>::max();
  std::size_t at = 0;

  std::int64_t operator()(char* into, std::size_t size) {
    if (at >= fail_after) return -1;
    const std::size_t n = std::min({size, chunk, content.size() - at});
    std::memcpy(into, content.data() + at, n);
    at += n;
    return static_cast<std::int64_t>(n);
  }
};

TEST(WholeFileTest, ReadsToTheEndWhateverTheFileSaidItsSizeWas) {
  const std::string content(10000, 'x');
  struct Case {
    const char* name;
    std::uint64_t expected_size;
    std::size_t chunk;
  };
  const Case cases[] = {
      {"AsLargeAsItSaid", 10000, 1 << 20}, {"ShortReads", 10000, 7},
      {"ShrankSince", 50000, 1 << 20},     {"GrewSince", 100, 1 << 20},
      {"GrewSinceShortReads", 100, 3},     {"SizeUnknown", 0, 1 << 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFile file{content, c.chunk};
    std::string bytes;
    EXPECT_EQ(ReadWholeFile(c.expected_size, std::ref(file), bytes), 10000);
    EXPECT_EQ(bytes, content);
  }
}

TEST(WholeFileTest, LeavesRoomForTheLineEndWhenTheSizeHeld) {
  FakeFile file{std::string(5000, 'x')};
  std::string bytes;
  ASSERT_EQ(ReadWholeFile(5000, std::ref(file), bytes), 5000);
  EXPECT_GE(bytes.capacity(), 5002u);
}

TEST(WholeFileTest, EmptyFailingOrTooLargeLeavesTheBytes) {
  struct Case {
    const char* name;
    FakeFile file;
    std::uint64_t expected_size;
    std::int64_t count;
  };
  const Case cases[] = {
      {"Empty", FakeFile{""}, 0, 0},
      {"EmptiedSince", FakeFile{""}, 4096, 0},
      {"FailsMidway", FakeFile{std::string(9000, 'x'), 1000, 5000}, 9000, -1},
      {"FailsAtTheEnd", FakeFile{"abc", 1 << 20, 3}, 3, -1},
      {"CannotBeHeld", FakeFile{"abc"}, std::numeric_limits<std::uint64_t>::max() / 2, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFile file = c.file;
    std::string bytes = "before";
    EXPECT_EQ(ReadWholeFile(c.expected_size, std::ref(file), bytes), c.count);
    EXPECT_EQ(bytes, "before");
  }
}

TEST(WholeFileTest, ThePlatformSeesTheBufferFirst) {
  FakeFile file{"abc"};
  std::string bytes;
  std::size_t seen = 0;
  ReadWholeFile(3, std::ref(file), bytes, [&](char*, std::size_t size) { seen = size; });
  EXPECT_EQ(seen, 3u);
  EXPECT_EQ(bytes, "abc");
}

}  // namespace
}  // namespace brellam
