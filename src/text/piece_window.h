// A text that arrives in pieces of any size, looked at through spans of
// memory in which each position has a few bytes before and after it at
// hand, wherever the pieces were cut.
#ifndef BRELLAM_TEXT_PIECE_WINDOW_H_
#define BRELLAM_TEXT_PIECE_WINDOW_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/code_page.h"

namespace brellam {

// Bytes of the text in one piece of memory; the span decides the positions
// from `from` up to `to`.
struct TextSpan {
  std::string_view bytes;
  std::size_t from = 0;
  std::size_t to = 0;
  std::uint64_t offset = 0;  // of bytes[0] in the text
  bool last = false;         // `to` is the end of the text
  bool lead_before = false;  // as StartsCharacter takes it, for bytes[0]
};

// Each position that a span decides has kBehind bytes before it in the
// span, or all there are, and kAhead after it, or all there are in the last
// span. The spans' decided positions follow one another without a gap.
template <std::size_t kBehind, std::size_t kAhead>
class PieceWindow {
 public:
  explicit PieceWindow(const CodePage& code_page) : code_page_(code_page) {}

  template <typename Visit>
  void Feed(std::string_view piece, Visit&& visit) {
    // The first positions of the piece are decided in a copy of the bytes
    // kept from before, joined to the piece's first bytes; the rest in the
    // piece itself.
    constexpr std::size_t kJoined = kBehind + kAhead;
    joint_.assign(tail_).append(piece.substr(0, kJoined));
    const std::size_t joint_to =
        std::max(tail_from_, joint_.size() - std::min(joint_.size(), kAhead));
    visit(TextSpan{joint_, tail_from_, joint_to, tail_offset_, false, tail_lead_});
    if (piece.size() > kJoined) {
      visit(TextSpan{piece, kBehind, piece.size() - kAhead, fed_, false, lead_at_end_});
      Keep(piece, piece.size() - kAhead, fed_, lead_at_end_);
    } else {
      Keep(joint_, joint_to, tail_offset_, tail_lead_);
    }
    lead_at_end_ = EndsInLead(piece, code_page_, lead_at_end_);
    fed_ += piece.size();
  }

  template <typename Visit>
  void Finish(Visit&& visit) {
    visit(TextSpan{tail_, tail_from_, tail_.size(), tail_offset_, true, tail_lead_});
  }

 private:
  // Keeps the bytes not yet decided, from `to` on, and kBehind before them.
  void Keep(std::string_view bytes, std::size_t to, std::uint64_t offset, bool lead_before) {
    const std::size_t start = to - std::min(to, kBehind);
    tail_lead_ = EndsInLead(bytes.substr(0, start), code_page_, lead_before);
    tail_.assign(bytes.substr(start));
    tail_from_ = to - start;
    tail_offset_ = offset + start;
  }

  const CodePage& code_page_;
  std::string tail_;
  std::size_t tail_from_ = 0;
  std::uint64_t tail_offset_ = 0;
  bool tail_lead_ = false;
  std::string joint_;
  std::uint64_t fed_ = 0;
  bool lead_at_end_ = false;  // of the bytes fed so far
};

}  // namespace brellam

#endif  // BRELLAM_TEXT_PIECE_WINDOW_H_
