#include "viewer/text_search.h"

#include "viewer/required_literal.h"

#include <algorithm>
#include <cstring>
#include <functional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvo {
namespace {

constexpr std::size_t kCancelCheckLines = 1 << 14;
constexpr std::uint64_t kSliceBytes = std::uint64_t{16} << 20;

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool Cancelled(const std::atomic<bool>* cancelled) {
  return cancelled != nullptr && cancelled->load(std::memory_order_relaxed);
}

// The text as UTF-16 in `into`, reusing its memory; ASCII (most log lines) is widened directly.
void Widen(std::string_view text, QString& into) {
  if (!IsAscii(text)) {
    into = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return;
  }
  into.resize(static_cast<qsizetype>(text.size()));
  QChar* out = into.data();
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = QChar(static_cast<char16_t>(text[i]));
}

// The first byte in [from, to) that is `upper` in either case (`upper` is an upper-case ASCII
// letter or any other byte), or `to`. Sixteen bytes a step: a case-folded search of a gigabyte
// must not take longer than a plain one by much.
const char* FindEitherCase(const char* from, const char* to, char upper) {
  const bool letter = upper >= 'A' && upper <= 'Z';
  const char folded = letter ? static_cast<char>(upper | 0x20) : upper;
  const char mask = letter ? 0x20 : 0;
#if defined(__SSE2__)
  const __m128i want = _mm_set1_epi8(folded);
  const __m128i fold = _mm_set1_epi8(mask);
  while (to - from >= 16) {
    const __m128i bytes = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)), fold);
    const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, want));
    if (hits != 0) return from + __builtin_ctz(static_cast<unsigned>(hits));
    from += 16;
  }
#endif
  while (from < to && static_cast<char>(*from | mask) != folded) ++from;
  return from;
}

// The position of the byte of a word that text holds least often (by the letters' frequency in
// English text; anything but a letter counts as rare): the fewer the candidates, the faster a
// case-folded search runs.
std::size_t RarestByte(std::string_view word) {
  static constexpr std::string_view kCommonFirst = "ETAOINSHRDLCUMWFGYPBVKJXQZ";
  std::size_t best = word.size() - 1;
  std::size_t bestRank = 0;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const std::size_t found = kCommonFirst.find(Upper(word[i]));
    const std::size_t rank = found == std::string_view::npos ? kCommonFirst.size() : found;
    if (rank > bestRank || i == 0) {
      best = i;
      bestRank = rank;
    }
  }
  return best;
}

}  // namespace

ResultOf<TextMatcher> TextMatcher::For(const TextQuery& query) {
  if (query.pattern.empty()) return Result::Failure("nothing to find");
  TextMatcher matcher;
  matcher.query_ = query;
  const QString pattern = QString::fromUtf8(query.pattern.data(), static_cast<qsizetype>(query.pattern.size()));
  QRegularExpression::PatternOptions options = QRegularExpression::NoPatternOption;
  if (!query.matchCase) options |= QRegularExpression::CaseInsensitiveOption;
  matcher.expression_ = QRegularExpression(
      query.regularExpression ? pattern : QRegularExpression::escape(pattern), options);
  if (!matcher.expression_.isValid()) {
    return Result::Failure("not a regular expression: " + matcher.expression_.errorString().toStdString() +
                           " at character " + std::to_string(matcher.expression_.patternErrorOffset() + 1));
  }
  matcher.expression_.optimize();
  matcher.plain_ = !query.regularExpression && (query.matchCase || IsAscii(query.pattern));
  matcher.word_ = query.regularExpression ? RequiredLiteral(query.pattern) : query.pattern;
  // Without regard to case, only ASCII text is folded here; the expression folds the rest.
  if (query.regularExpression && !query.matchCase && !IsAscii(matcher.word_)) matcher.word_.clear();
  matcher.prefiltered_ = query.regularExpression && !matcher.word_.empty();
  if (!query.matchCase) std::transform(matcher.word_.begin(), matcher.word_.end(), matcher.word_.begin(), Upper);
  if (!matcher.word_.empty()) matcher.anchor_ = RarestByte(matcher.word_);
  return matcher;
}

const char* TextMatcher::findWord(const char* from, const char* to) const {
  const auto size = static_cast<std::size_t>(to - from);
  if (word_.size() > size) return to;
  if (query_.matchCase) {
    const void* hit = ::memmem(from, size, word_.data(), word_.size());
    return hit == nullptr ? to : static_cast<const char*>(hit);
  }
  // Case folded: find the word's rarest byte in either case, then compare the whole word.
  const std::size_t anchor = anchor_;
  const std::size_t after = word_.size() - anchor;  // the anchor and the bytes after it
  for (const char* at = from + anchor; at + after <= to;) {
    const char* hit = FindEitherCase(at, to - (after - 1), word_[anchor]);
    if (hit >= to - (after - 1)) return to;
    const char* start = hit - anchor;
    if (std::equal(word_.begin(), word_.end(), start, [](char a, char b) { return a == Upper(b); })) return start;
    at = hit + 1;
  }
  return to;
}

bool TextMatcher::matches(std::string_view text) const {
  const char* end = text.data() + text.size();
  if (plain_) return findWord(text.data(), end) != end;
  // A line without the text every match holds cannot match. Without regard to case, a line
  // with other than ASCII is left to the expression: its case folding reaches beyond ASCII.
  if (prefiltered_ && findWord(text.data(), end) == end && (query_.matchCase || IsAscii(text))) return false;
  Widen(text, scratch_);
  return expression_.match(QStringView(scratch_)).hasMatch();
}

std::vector<std::pair<int, int>> TextMatcher::matchesIn(const QString& text) const {
  std::vector<std::pair<int, int>> found;
  QRegularExpressionMatchIterator each = expression_.globalMatch(text);
  while (each.hasNext()) {
    const QRegularExpressionMatch match = each.next();
    if (match.capturedLength() == 0) continue;
    found.emplace_back(static_cast<int>(match.capturedStart()), static_cast<int>(match.capturedLength()));
  }
  return found;
}

namespace {

// A plain word in the bytes of the lines: one pass over the bytes, a line lookup per hit.
MatchList FindWordInLines(const TextDocument& document, const TextMatcher& matcher, std::size_t first,
                          std::size_t last, const std::atomic<bool>* cancelled) {
  MatchList lines;
  if (first >= last) return lines;
  const char* base = document.data();
  const LineIndex& index = document.index();
  std::uint64_t at = index.span(first).start;
  const std::uint64_t end = last < index.size() ? index.span(last).start : index.end();
  while (at < end && !Cancelled(cancelled)) {
    // Slices end at a line end, so no hit is cut in two (a word holds no line end).
    const std::size_t sliceLast = index.lineAt(std::min(end - 1, at + kSliceBytes));
    const LineSpan lastSpan = index.span(sliceLast);
    const std::uint64_t sliceEnd = std::min(end, lastSpan.start + lastSpan.length + index.endLength(sliceLast));
    const char* from = base + at;
    const char* to = base + sliceEnd;
    while (from < to) {
      const char* hit = matcher.findWord(from, to);
      if (hit == to) break;
      const std::size_t line = index.lineAt(static_cast<std::uint64_t>(hit - base));
      const LineSpan span = index.span(line);
      const std::uint64_t hitEnd = static_cast<std::uint64_t>(hit - base) + matcher.query().pattern.size();
      if (hitEnd <= span.start + span.length && index.cleanText(line) == nullptr) {
        lines.push_back(static_cast<std::uint32_t>(line));
      }
      from = base + span.start + span.length + index.endLength(line);
    }
    at = sliceEnd;
  }
  return lines;
}

}  // namespace

MatchList FindLines(const TextDocument& document, const TextMatcher& matcher, std::size_t first,
                    std::size_t last, const std::atomic<bool>* cancelled) {
  last = std::min(last, document.lineCount());
  const std::string& pattern = matcher.query().pattern;
  if (pattern.find_first_of("\r\n") != std::string::npos && !matcher.query().regularExpression) return {};
  MatchList lines;
  if (matcher.isPlainWord()) {
    lines = FindWordInLines(document, matcher, first, last, cancelled);
    // Lines that held NUL bytes show without them: they are tried as shown.
    MatchList cleaned;
    const auto& texts = document.index().cleanTexts();
    for (auto each = texts.lower_bound(first); each != texts.end() && each->first < last; ++each) {
      if (matcher.matches(each->second)) cleaned.push_back(static_cast<std::uint32_t>(each->first));
    }
    if (!cleaned.empty()) {
      MatchList merged;
      std::merge(lines.begin(), lines.end(), cleaned.begin(), cleaned.end(), std::back_inserter(merged));
      lines.swap(merged);
    }
    return lines;
  }
  document.forEachLine(first, last, [&](std::size_t line, std::string_view text) {
    if (line % kCancelCheckLines == 0 && Cancelled(cancelled)) return false;
    if (matcher.matches(text)) lines.push_back(static_cast<std::uint32_t>(line));
    return true;
  });
  return lines;
}

MatchList FindRows(const TableRows& rows, std::size_t columns, const TextMatcher& matcher,
                   const std::atomic<bool>* cancelled) {
  MatchList found;
  const int only = matcher.query().column;
  for (std::size_t position = 0; position < rows.rowCount(); ++position) {
    if (position % kCancelCheckLines == 0 && Cancelled(cancelled)) break;
    bool hit = false;
    if (only >= 0) {
      hit = matcher.matches(rows.field(position, static_cast<std::size_t>(only)));
    } else {
      for (std::size_t column = 0; column < columns && !hit; ++column) hit = matcher.matches(rows.field(position, column));
    }
    if (hit) found.push_back(static_cast<std::uint32_t>(position));
  }
  return found;
}

std::optional<std::uint32_t> NextMatch(const MatchList& matches, std::uint32_t from, bool forward) {
  if (matches.empty()) return std::nullopt;
  if (forward) {
    const auto after = std::upper_bound(matches.begin(), matches.end(), from);
    return after == matches.end() ? matches.front() : *after;
  }
  const auto before = std::lower_bound(matches.begin(), matches.end(), from);
  return before == matches.begin() ? matches.back() : *(before - 1);
}

}  // namespace tarvo
