// UTF-16 bytes read as characters, in pieces of any size.
#ifndef BRELLAM_TEXT_UTF16_H_
#define BRELLAM_TEXT_UTF16_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "text/utf8.h"

namespace brellam {

class Utf16Reader {
 public:
  static constexpr std::uint64_t kPaired = ~std::uint64_t{0};

  explicit Utf16Reader(bool big_endian) : big_endian_(big_endian) {}

  // Calls `character(code_point, units)` for each character that `bytes`
  // completes, of one code unit or of a surrogate pair. A surrogate without
  // its partner comes as itself, one unit. `character` is an object that
  // can be copied and assigned.
  template <typename Character>
  void Feed(std::string_view bytes, Character&& character) {
    if (bytes.empty()) return;
    const auto* const in = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t at = 0;
    if (odd_) {
      Unit(Join(byte_, in[0]), fed_ - 1, character);
      at = 1;
    }
    // Most of a text is outside the surrogates, whose partner needs looking at.
    while (at + 1 < bytes.size()) {
      if (high_ == 0) {
        at = big_endian_ ? Plain<true>(bytes, at, character) : Plain<false>(bytes, at, character);
        if (at + 1 >= bytes.size()) break;
      }
      Unit(Join(in[at], in[at + 1]), fed_ + at, character);
      at += 2;
    }
    odd_ = at < bytes.size();
    if (odd_) byte_ = in[at];
    fed_ += bytes.size();
  }

  // After the last piece: calls `character` for a high surrogate still
  // waiting for its partner, and answers the offset, from the first byte
  // fed, of the first surrogate without one, or kPaired. A last odd byte
  // is no unit and is left out.
  template <typename Character>
  std::uint64_t Finish(Character&& character) {
    if (high_ != 0) Unpaired(character);
    return unpaired_;
  }

  // Feed and Finish, the characters appended to `utf8` in UTF-8.
  void FeedAsUtf8(std::string_view bytes, std::string& utf8) {
    // A unit takes at most three bytes in UTF-8, a pair four; what came
    // before may complete one more.
    AsUtf8 out(utf8, bytes.size() / 2 * 3 + 2 * kLongestUtf8);
    Feed(bytes, out);
    out.Done(utf8);
  }
  std::uint64_t FinishAsUtf8(std::string& utf8) {
    AsUtf8 out(utf8, kLongestUtf8);
    const std::uint64_t unpaired = Finish(out);
    out.Done(utf8);
    return unpaired;
  }

 private:
  // Reads units from `at` up to the first surrogate, and answers where
  // that is. `character` is copied into the loop and back: where it
  // writes could be anything, and the copy is the loop's own.
  template <bool kBigEndian, typename Character>
  static std::size_t Plain(std::string_view bytes, std::size_t at, Character& character) {
    constexpr bool kSwap = kBigEndian != (std::endian::native == std::endian::big);
    Character each = character;
    for (const std::size_t size = bytes.size(); at + 1 < size; at += 2) {
      std::uint16_t unit;
      std::memcpy(&unit, bytes.data() + at, sizeof unit);
      if constexpr (kSwap) unit = static_cast<std::uint16_t>((unit >> 8) | (unit << 8));
      if (unit - 0xD800u < 0x800u) break;
      each(unit, 1);
    }
    character = each;
    return at;
  }

  // Writes characters in UTF-8 into room at the end of a string.
  struct AsUtf8 {
    AsUtf8(std::string& utf8, std::size_t room) {
      const std::size_t size = utf8.size();
      utf8.resize(size + room);
      out = utf8.data() + size;
    }
    void operator()(char32_t c, std::size_t) { out = WriteUtf8(c, out); }
    // Cuts the string to what was written.
    void Done(std::string& utf8) const { utf8.resize(static_cast<std::size_t>(out - utf8.data())); }
    char* out;
  };

  char32_t Join(unsigned char first, unsigned char second) const {
    return big_endian_ ? (char32_t{first} << 8) | second : (char32_t{second} << 8) | first;
  }

  // The unit at `at`, from the first byte fed.
  template <typename Character>
  void Unit(char32_t unit, std::uint64_t at, Character& character) {
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (high_ != 0 && low) {
      character(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00), 2);
      high_ = 0;
      return;
    }
    if (high_ != 0) Unpaired(character);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      high_ = unit;
      high_at_ = at;
    } else {
      if (low && unpaired_ == kPaired) unpaired_ = at;
      character(unit, 1);
    }
  }

  template <typename Character>
  void Unpaired(Character& character) {
    if (unpaired_ == kPaired) unpaired_ = high_at_;
    character(high_, 1);
    high_ = 0;
  }

  bool big_endian_;
  std::uint64_t fed_ = 0;  // bytes of the pieces before
  bool odd_ = false;       // the last piece ended inside a unit
  unsigned char byte_ = 0;
  char32_t high_ = 0;  // a high surrogate waiting for its partner
  std::uint64_t high_at_ = 0;
  std::uint64_t unpaired_ = kPaired;
};

}  // namespace brellam

#endif  // BRELLAM_TEXT_UTF16_H_
