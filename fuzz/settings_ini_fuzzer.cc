// Reads values out of any settings text, and out of texts built to hold a
// known one.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "text/settings_ini.h"

namespace brellam {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string Without(std::string text, std::string_view bytes) {
  std::erase_if(text, [&](char c) { return bytes.find(c) != std::string_view::npos; });
  return text;
}

std::string Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  for (char c : text) c == '\n' ? out.append("\r\n") : out.append(1, c);
  return out;
}

// A value is one trimmed piece of one line of the text, and neither a byte
// order mark in front nor CR LF for LF changes it.
void CheckAnyText(std::string_view text, std::string_view section, std::string_view key) {
  const std::string value = ReadIniValue(text, section, key);
  FUZZ_CHECK(text.find(value) != std::string_view::npos);
  FUZZ_CHECK(value.find('\n') == std::string::npos);
  FUZZ_CHECK(value == Trimmed(value) || text.find("\"" + value + "\"") != std::string_view::npos);
  if (!text.starts_with(kByteOrderMark)) {
    FUZZ_CHECK(ReadIniValue(std::string(kByteOrderMark) + std::string(text), section, key) ==
               value);
  }
  if (text.find('\r') == std::string_view::npos) {
    FUZZ_CHECK(ReadIniValue(WithCrLf(text), section, key) == value);
  }
}

// Lines outside any section, then the section with the key, then anything:
// the key's value is read back.
void CheckBuiltText(FuzzedDataProvider& data) {
  const std::string before = Without(data.ConsumeRandomLengthString(256), "[");
  const std::string section = Trimmed(Without(data.ConsumeRandomLengthString(16), "]\n"));
  std::string key = Trimmed(Without(data.ConsumeRandomLengthString(16), "=\n"));
  if (!key.empty() && std::string_view(";#[").find(key.front()) != std::string_view::npos) {
    key.insert(0, "k");
  }
  std::string value = Without(data.ConsumeRandomLengthString(64), "\n");
  const std::string after = data.ConsumeRemainingBytesAsString();
  const std::string text =
      before + "\n [ " + section + " ] \n " + key + " = " + value + "\n" + after;
  // The line's CR, if any, belongs to its line end.
  if (!value.empty() && value.back() == '\r') value.pop_back();
  std::string expected = Trimmed(value);
  if (expected.size() >= 2 && expected.front() == '"' && expected.back() == '"') {
    expected = expected.substr(1, expected.size() - 2);
  }
  FUZZ_CHECK(ReadIniValue(text, section, key) == expected);
}

}  // namespace
}  // namespace brellam

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(bytes), size);
  brellam::CheckAnyText(input, "Path", "Path");
  FuzzedDataProvider data(bytes, size);
  const std::string section = data.ConsumeRandomLengthString(16);
  const std::string key = data.ConsumeRandomLengthString(16);
  brellam::CheckAnyText(data.ConsumeRemainingBytesAsString(), section, key);
  FuzzedDataProvider built(bytes, size);
  brellam::CheckBuiltText(built);
  return 0;
}
