#include "platform/whole_file.h"

#include <new>
#include <utility>

namespace brellam {

namespace {

constexpr std::size_t kProbeSize = 4096;

// -1 on a read error, else the count.
std::int64_t ReadToEnd(const ReadSome& read_some, std::string& buffer) {
  std::size_t got = 0;
  while (true) {
    if (got == buffer.size()) {
      // Full: the file was as large as it said, or has grown since. A small
      // probe finds the end without growing the buffer for nothing.
      char probe[kProbeSize];
      const std::int64_t n = read_some(probe, sizeof probe);
      if (n <= 0) return n < 0 ? -1 : static_cast<std::int64_t>(got);
      buffer.append(probe, static_cast<std::size_t>(n));
      got += static_cast<std::size_t>(n);
      buffer.resize(got + got / 2 + kProbeSize);
    }
    const std::int64_t n = read_some(buffer.data() + got, buffer.size() - got);
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  buffer.resize(got);
  return static_cast<std::int64_t>(got);
}

}  // namespace

std::int64_t ReadWholeFile(std::uint64_t expected_size, const ReadSome& read_some,
                           std::string& bytes, const PrepareBuffer& prepare) {
  // More than a string can hold is as much out of memory as a refused one.
  std::string buffer;
  if (expected_size > buffer.max_size() - 2) return -1;
  try {
    const auto size = static_cast<std::size_t>(expected_size);
    buffer.reserve(size + 2);
    if (prepare) prepare(buffer.data(), size);
    buffer.resize(size);
    const std::int64_t count = ReadToEnd(read_some, buffer);
    if (count > 0) bytes = std::move(buffer);
    return count;
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

}  // namespace brellam
