// UTF-16 bytes read as characters, in pieces of any size.
#ifndef BRELLAM_TEXT_UTF16_H_
#define BRELLAM_TEXT_UTF16_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace brellam {

class Utf16Reader {
 public:
  static constexpr std::uint64_t kPaired = ~std::uint64_t{0};

  explicit Utf16Reader(bool big_endian) : big_endian_(big_endian) {}

  // Calls `character(code_point, units)` for each character that `bytes`
  // completes, of one code unit or of a surrogate pair. A surrogate without
  // its partner comes as itself, one unit.
  template <typename Character>
  void Feed(std::string_view bytes, Character&& character) {
    if (bytes.empty()) return;
    std::size_t at = 0;
    if (odd_) {
      Unit(Join(byte_, static_cast<unsigned char>(bytes[0])), character);
      at = 1;
    }
    for (; at + 1 < bytes.size(); at += 2) {
      const char32_t unit =
          Join(static_cast<unsigned char>(bytes[at]), static_cast<unsigned char>(bytes[at + 1]));
      // Most of a text is outside the surrogates, whose partner needs looking at.
      if (high_ == 0 && (unit < 0xD800 || unit > 0xDFFF)) {
        character(unit, 1);
        fed_ += 2;
      } else {
        Unit(unit, character);
      }
    }
    odd_ = at < bytes.size();
    if (odd_) byte_ = static_cast<unsigned char>(bytes[at]);
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

 private:
  char32_t Join(unsigned char first, unsigned char second) const {
    return big_endian_ ? (char32_t{first} << 8) | second : (char32_t{second} << 8) | first;
  }

  template <typename Character>
  void Unit(char32_t unit, Character& character) {
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (high_ != 0 && low) {
      character(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00), 2);
      high_ = 0;
      fed_ += 2;
      return;
    }
    if (high_ != 0) Unpaired(character);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      high_ = unit;
      high_at_ = fed_;
    } else {
      if (low && unpaired_ == kPaired) unpaired_ = fed_;
      character(unit, 1);
    }
    fed_ += 2;
  }

  template <typename Character>
  void Unpaired(Character& character) {
    if (unpaired_ == kPaired) unpaired_ = high_at_;
    character(high_, 1);
    high_ = 0;
  }

  bool big_endian_;
  std::uint64_t fed_ = 0;  // bytes of the units read so far
  bool odd_ = false;       // the last piece ended inside a unit
  unsigned char byte_ = 0;
  char32_t high_ = 0;  // a high surrogate waiting for its partner
  std::uint64_t high_at_ = 0;
  std::uint64_t unpaired_ = kPaired;
};

}  // namespace brellam

#endif  // BRELLAM_TEXT_UTF16_H_
