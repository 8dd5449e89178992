#include "text/wine_registry.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "text/ascii.h"
#include "text/utf8.h"

namespace brellam {

namespace {

enum class Kind { kString, kExpandable, kOther };

struct Value {
  std::string name;
  Kind kind = Kind::kOther;
  std::string text;
};

// By name folded to lower case, as names of variables match: a prefix may
// hold tens of thousands, each looked up once.
using Variables = std::unordered_map<std::string, std::string>;

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = AsciiLower(c);
  return folded;
}

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// UTF-16 code units from escapes and bytes already in UTF-8 into one UTF-8
// text. A surrogate without its partner becomes U+FFFD, as converting it
// on Windows would.
class Utf8Builder {
 public:
  void Unit(char32_t unit) {
    if (high_ != 0 && unit >= 0xDC00 && unit <= 0xDFFF) {
      Append(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00));
      high_ = 0;
      return;
    }
    Flush();
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      high_ = unit;
    } else {
      Append(unit >= 0xDC00 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
  }
  void Byte(char byte) {
    Flush();
    out_.push_back(byte);
  }
  std::string Take() {
    Flush();
    return std::move(out_);
  }

 private:
  void Flush() {
    if (high_ != 0) Append(0xFFFD);
    high_ = 0;
  }
  void Append(char32_t c) { AppendUtf8(c, out_); }

  std::string out_;
  char32_t high_ = 0;
};

// A name or string as Wine writes it, from after its opening bracket or
// quote up to the unescaped `end`; `rest` moves past that. False when the
// text ends first. The escapes are those Wine reads back: C ones, up to
// three octal digits, "\x" with up to four hex digits, and any other
// character standing for itself.
bool ReadQuoted(std::string_view& rest, char end, std::string& out) {
  constexpr std::string_view kLetters = "abefnrtv";
  constexpr std::string_view kControls = "\a\b\x1B\f\n\r\t\v";
  Utf8Builder text;
  std::size_t i = 0;
  while (i < rest.size() && rest[i] != end) {
    const char c = rest[i++];
    if (c != '\\') {
      text.Byte(c);
      continue;
    }
    if (i == rest.size()) return false;
    const char escape = rest[i++];
    if (const std::size_t letter = kLetters.find(escape); letter != std::string_view::npos) {
      text.Byte(kControls[letter]);
    } else if (IsOctal(escape)) {
      char32_t unit = static_cast<char32_t>(escape - '0');
      for (int n = 1; n < 3 && i < rest.size() && IsOctal(rest[i]); ++n) {
        unit = unit * 8 + static_cast<char32_t>(rest[i++] - '0');
      }
      text.Unit(unit);
    } else if (escape == 'x' && i < rest.size() && HexDigit(rest[i]) >= 0) {
      char32_t unit = 0;
      for (int n = 0; n < 4 && i < rest.size() && HexDigit(rest[i]) >= 0; ++n) {
        unit = unit * 16 + static_cast<char32_t>(HexDigit(rest[i++]));
      }
      text.Unit(unit);
    } else {
      text.Byte(escape);
    }
  }
  if (i == rest.size()) return false;
  rest.remove_prefix(i + 1);
  out = text.Take();
  return true;
}

// How Wine writes the types that read as text; anything else is another
// type ("dword:", "hex:", "str(7):" and so on).
constexpr std::pair<std::string_view, Kind> kStringForms[] = {
    {"\"", Kind::kString}, {"str:\"", Kind::kString}, {"str(2):\"", Kind::kExpandable}};

// The value that a line within a key holds, if it is a well-formed one.
bool ReadValueLine(std::string_view line, Value& value) {
  if (!line.starts_with('"')) return false;
  line.remove_prefix(1);
  if (!ReadQuoted(line, '"', value.name)) return false;
  line.remove_prefix(std::min(line.size(), line.find_first_not_of(kAsciiBlanks)));
  if (!line.starts_with('=')) return false;
  line.remove_prefix(1);
  line.remove_prefix(std::min(line.size(), line.find_first_not_of(kAsciiBlanks)));
  value.text.clear();
  for (const auto& [prefix, kind] : kStringForms) {
    if (line.starts_with(prefix)) {
      line.remove_prefix(prefix.size());
      value.kind = kind;
      return ReadQuoted(line, '"', value.text);
    }
  }
  value.kind = Kind::kOther;
  value.text = line.substr(0, line.find(':'));
  return true;
}

// Every well-formed value of `key`, in the order of the text.
std::vector<Value> ValuesOf(std::string_view reg_text, std::string_view key) {
  std::vector<Value> values;
  bool in_key = false;
  while (!reg_text.empty()) {
    const std::size_t end = reg_text.find('\n');
    std::string_view line = reg_text.substr(0, end);
    reg_text.remove_prefix(end == std::string_view::npos ? reg_text.size() : end + 1);
    line.remove_prefix(std::min(line.size(), line.find_first_not_of(kAsciiBlanks)));
    if (line.starts_with('[')) {
      line.remove_prefix(1);
      std::string name;
      in_key = ReadQuoted(line, ']', name) && SameNameIgnoringCase(name, key);
    } else if (Value value; in_key && ReadValueLine(line, value)) {
      values.push_back(std::move(value));
    }
  }
  return values;
}

const std::string* Find(const Variables& variables, std::string_view name) {
  const auto found = variables.find(Folded(name));
  return found == variables.end() ? nullptr : &found->second;
}

void Set(Variables& variables, const std::string& name, std::string text) {
  if (!name.empty()) variables.insert_or_assign(Folded(name), std::move(text));
}

// As Windows does it: a name it does not know stays whole, "%" included,
// and the search goes on after it.
std::string Expand(std::string_view text, const Variables& variables) {
  std::string out;
  for (;;) {
    const std::size_t open = text.find('%');
    const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
    if (close == std::string_view::npos) return out.append(text);
    out.append(text.substr(0, open));
    const std::string* known = Find(variables, text.substr(open + 1, close - open - 1));
    out.append(known != nullptr ? std::string_view(*known) : text.substr(open, close - open + 1));
    text.remove_prefix(close + 1);
  }
}

// The user's part of a process's environment under Wine, which reads each
// key's plain strings before expanding its others against all set so far.
Variables UserVariables(std::string_view reg_text) {
  Variables variables;
  for (const std::string_view key : {"Environment", "Volatile Environment"}) {
    const std::vector<Value> values = ValuesOf(reg_text, key);
    for (const Value& value : values) {
      if (value.kind == Kind::kString) Set(variables, value.name, value.text);
    }
    for (const Value& value : values) {
      if (value.kind == Kind::kExpandable) {
        Set(variables, value.name, Expand(value.text, variables));
      }
    }
  }
  return variables;
}

}  // namespace

RegistryType ReadWineRegistryString(std::string_view reg_text, std::string_view key,
                                    std::string_view value, std::string* text) {
  const std::vector<Value> values = ValuesOf(reg_text, key);
  // Wine keeps the last of two equal names in a key.
  const auto found = std::ranges::find_if(values.rbegin(), values.rend(), [&](const Value& v) {
    return SameNameIgnoringCase(v.name, value);
  });
  if (found == values.rend()) return RegistryType::kMissing;
  *text =
      found->kind == Kind::kExpandable ? Expand(found->text, UserVariables(reg_text)) : found->text;
  return found->kind == Kind::kOther ? RegistryType::kOther : RegistryType::kString;
}

}  // namespace brellam
