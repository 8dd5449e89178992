#include "conversion/skin_text.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "conversion/pages_over_text.h"

namespace brellam {

namespace {

constexpr std::string_view kNewName = "New.htm";
constexpr char kNewResStem[] = "NewRes";
constexpr std::size_t kNewResStemSize = sizeof kNewResStem - 1;
constexpr std::string_view kAfterDot = "htm";

enum Part { kHeader, kNewRes, kRes, kNoPart };
constexpr std::size_t kCodePageReading = static_cast<std::size_t>(Reading::kCodePage);
constexpr std::size_t kUnicodeReading = static_cast<std::size_t>(Reading::kUnicode);

// The next '.' in the span's positions from `at`, or npos.
std::size_t NextDot(const TextSpan& span, std::size_t at) {
  if (at >= span.to) return std::string_view::npos;
  const void* dot = std::memchr(span.bytes.data() + at, '.', span.to - at);
  return dot == nullptr
             ? std::string_view::npos
             : static_cast<std::size_t>(static_cast<const char*>(dot) - span.bytes.data());
}

// Sizes known when compiled let the comparisons go without a call.
template <std::size_t kSize>
bool HasStem(std::string_view bytes, std::size_t dot, const char (&stem)[kSize]) {
  constexpr std::size_t kLength = kSize - 1;
  return dot >= kLength && std::memcmp(bytes.data() + dot - kLength, stem, kLength) == 0;
}

bool HasExtension(std::string_view bytes, std::size_t dot) {
  return bytes.size() - dot > kAfterDot.size() &&
         std::memcmp(bytes.data() + dot + 1, kAfterDot.data(), kAfterDot.size()) == 0;
}

// Whose name ends at the ".htm" at `dot`, for each reading. Told apart by
// the letter before the dot; of a "NewRes.htm", "Res.htm" is no name,
// unless its "N" is a trail byte.
std::array<Part, 2> NamesAt(const TextSpan& span, std::size_t dot, const CodePage& code_page) {
  std::array<Part, 2> found = {kNoPart, kNoPart};
  const std::string_view bytes = span.bytes;
  if (dot == 0 || !HasExtension(bytes, dot)) return found;
  const auto name = [&](Part part, std::size_t stem, Part otherwise = kNoPart) {
    found[kUnicodeReading] = part;
    const bool starts = StartsCharacter(bytes, dot - stem, code_page, span.lead_before);
    found[kCodePageReading] = starts ? part : otherwise;
  };
  switch (bytes[dot - 1]) {
    case 's':
      if (HasStem(bytes, dot, kNewResStem)) {
        name(kNewRes, kNewResStemSize, kRes);
      } else if (HasStem(bytes, dot, "Res")) {
        name(kRes, 3);
      }
      break;
    case 'w':
      if (HasStem(bytes, dot, "New")) name(kNewRes, 3);
      break;
    case 'r':
      if (HasStem(bytes, dot, "Header")) name(kHeader, 6);
      break;
  }
  return found;
}

// Whether a CR LF ends at the LF at `at`.
bool IsLineEnd(std::string_view bytes, std::size_t at) {
  return bytes[at] == '\n' && at > 0 && bytes[at - 1] == '\r';
}

// The last LF in bytes[from, until), or npos. Names stand inside lines, so
// each is followed back to its line's beginning: eight bytes at a time.
std::size_t LastLineFeed(std::string_view bytes, std::size_t from, std::size_t until) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
    constexpr std::uint64_t kLineFeeds = 0x0A0A0A0A0A0A0A0Au;
    while (until - from >= 8) {
      std::uint64_t word;
      std::memcpy(&word, bytes.data() + until - 8, sizeof word);
      word ^= kLineFeeds;
      // The high bit of each byte that was a LF, and of no other.
      const std::uint64_t line_feeds = ~(((word & kLow7) + kLow7) | word | kLow7);
      if (line_feeds != 0)
        return until - 1 - static_cast<std::size_t>(std::countl_zero(line_feeds)) / 8;
      until -= 8;
    }
  }
  while (until > from) {
    if (bytes[--until] == '\n') return until;
  }
  return std::string_view::npos;
}

// Where the line that holds bytes[from] ends, after its CR LF, if that is
// before `until`; else npos.
std::size_t NextLineEnd(std::string_view bytes, std::size_t from, std::size_t until) {
  while (from < until) {
    const void* lf = std::memchr(bytes.data() + from, '\n', until - from);
    if (lf == nullptr) break;
    from = static_cast<std::size_t>(static_cast<const char*>(lf) - bytes.data());
    if (IsLineEnd(bytes, from)) return from + 1;
    ++from;
  }
  return std::string_view::npos;
}

}  // namespace

void SkinMarks::Feed(std::string_view bytes) {
  window_.Feed(bytes, [this](const TextSpan& span) { Visit(span); });
}

void SkinMarks::Finish() {
  window_.Finish([this](const TextSpan& span) { Visit(span); });
  // The last line ends with the CR LF that the text is taken to end with.
  if (open_) {
    for (auto& reading : lines_) {
      for (Line& line : reading) line.end = std::min(line.end, size_ + kLineEnd.size());
    }
  }
}

// One look through the text: every name ends in ".htm", so one search for
// the dot finds them all. Only the last name of each page in the span
// needs its line: line ends are looked for around those alone.
void SkinMarks::Visit(const TextSpan& span) {
  constexpr std::size_t kNone = std::string_view::npos;
  std::array<std::array<std::size_t, 3>, 2> last;
  for (auto& reading : last) reading.fill(kNone);
  for (std::size_t dot = NextDot(span, span.from); dot != kNone; dot = NextDot(span, dot + 1)) {
    const std::array<Part, 2> found = NamesAt(span, dot, code_page_);
    for (std::size_t reading = 0; reading < found.size(); ++reading) {
      if (found[reading] != kNoPart) last[reading][found[reading]] = dot;
    }
  }
  // Lines left open by the spans before end at this one's first CR LF.
  if (open_) {
    const std::size_t end = NextLineEnd(span.bytes, span.from, span.to);
    if (end != kNone) {
      for (auto& reading : lines_) {
        for (Line& line : reading) {
          if (line.end == kOpen) line.end = span.offset + end;
        }
      }
      open_ = false;
    }
  }
  std::size_t dot = kNone;
  Line line;
  for (std::size_t reading = 0; reading < last.size(); ++reading) {
    for (std::size_t part = 0; part < last[reading].size(); ++part) {
      if (last[reading][part] == kNone) continue;
      if (last[reading][part] != dot) {
        dot = last[reading][part];
        line.begin = LineBeginBefore(span, span.from, dot);
        const std::size_t end = NextLineEnd(span.bytes, dot, span.to);
        line.end = end == kNone ? kOpen : span.offset + end;
      }
      lines_[reading][part] = line;
      open_ = open_ || line.end == kOpen;
    }
  }
  line_begin_ = LineBeginBefore(span, span.from, span.to);
  if (span.last) size_ = span.offset + span.to;
}

std::uint64_t SkinMarks::LineBeginBefore(const TextSpan& span, std::size_t from,
                                         std::size_t until) const {
  for (std::size_t lf = LastLineFeed(span.bytes, from, until); lf != std::string_view::npos;
       lf = LastLineFeed(span.bytes, from, lf)) {
    if (IsLineEnd(span.bytes, lf)) return span.offset + lf + 1;
  }
  return line_begin_;
}

std::array<PageLines, 3> SkinMarks::Pages(Reading reading) const {
  const std::array<Line, 3>& marks = lines_[static_cast<std::size_t>(reading)];
  const std::uint64_t end = size_ + kLineEnd.size();
  // The lines strictly between a marker line and the next; nothing when
  // they touch or come in the other order.
  const auto between = [this, end](const Line& first, std::uint64_t next) {
    const std::uint64_t last = std::max(first.end, next);
    return PageLines{std::min(first.end, size_), std::min(last, size_),
                     last == end && first.end < end};
  };
  const Line& header = marks[kHeader];
  const Line& new_res = marks[kNewRes];
  const Line& res = marks[kRes];
  // The header part comes first; of the other two, the one whose marker
  // stands lower runs to the end of the text.
  if (new_res.begin < res.begin) {
    return {between(header, new_res.begin), between(new_res, res.begin), between(res, end)};
  }
  return {between(header, res.begin), between(new_res, end), between(res, new_res.begin)};
}

bool PageRenamer::Feed(std::string_view bytes) {
  if (ok_) window_.Feed(bytes, [this](const TextSpan& span) { Visit(span); });
  return ok_;
}

bool PageRenamer::Finish() {
  if (line_end_after_) Feed(kLineEnd);
  if (ok_) window_.Finish([this](const TextSpan& span) { Visit(span); });
  Flush();
  return ok_;
}

void PageRenamer::Visit(const TextSpan& span) {
  const std::string_view bytes = span.bytes;
  // Bytes before emitted_ are in the span: it has six before `from`.
  const auto emit_up_to = [&](std::uint64_t end) {
    Emit(bytes.substr(static_cast<std::size_t>(emitted_ - span.offset),
                      static_cast<std::size_t>(end - emitted_)));
    emitted_ = end;
  };
  for (std::size_t dot = NextDot(span, span.from); dot != std::string_view::npos;
       dot = NextDot(span, dot + 1)) {
    if (!HasStem(bytes, dot, kNewResStem) || !HasExtension(bytes, dot)) continue;
    const std::size_t at = dot - kNewResStemSize;
    const std::uint64_t name = span.offset + at;
    if (name < emitted_ || !StartsCharacter(bytes, at, code_page_, span.lead_before)) continue;
    emit_up_to(name);
    Emit(kNewName);
    emitted_ = span.offset + dot + 1 + kAfterDot.size();
  }
  // A name that a later span decides may begin up to six bytes back.
  const std::size_t settled = span.last ? span.to : span.to - std::min(span.to, kNewResStemSize);
  if (span.offset + settled > emitted_) emit_up_to(span.offset + settled);
}

void PageRenamer::Emit(std::string_view bytes) {
  // Long runs go out as they are, without a copy.
  if (bytes.size() >= kPagePiece / 4) {
    Flush();
    for (; ok_ && !bytes.empty(); bytes.remove_prefix(std::min(bytes.size(), kPagePiece))) {
      ok_ = sink_(bytes.substr(0, kPagePiece));
    }
    return;
  }
  if (out_size_ + bytes.size() > kPagePiece) Flush();
  std::memcpy(out_.get() + out_size_, bytes.data(), bytes.size());
  out_size_ += bytes.size();
}

void PageRenamer::Flush() {
  if (ok_ && out_size_ > 0) ok_ = sink_(std::string_view(out_.get(), out_size_));
  out_size_ = 0;
}

SkinPages SplitSkinText(std::string skin_text, const CodePage& code_page) {
  SkinMarks marks(code_page);
  marks.Feed(skin_text);
  marks.Finish();
  return WritePagesOver(std::move(skin_text), marks.Pages(Reading::kCodePage),
                        [&code_page](const PageLines& lines, PageSink sink) {
                          return PageRenamer(code_page, lines.line_end_after, std::move(sink));
                        });
}

}  // namespace brellam
