#pragma once

// Finding text in a viewed file: a word or a regular expression, with or without regard to
// case, in the lines of the text layout or the fields of a table (all, or one column). Finding
// and filtering both come down to the list of lines (or table rows) that hold a match.
//
// A plain word is looked for in the file's bytes at once, and only the lines of the hits are
// looked up; a regular expression is tried line by line, on the lines that hold the text all
// its matches hold (when it has one).
//
// Threading: a matcher is used by one thread (make one per thread); the searches read the
// document or the rows, which must not change meanwhile, and poll `cancelled`.

#include <QRegularExpression>
#include <QString>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/result.h"
#include "viewer/text_document.h"

namespace tarvo {

struct TextQuery {
  std::string pattern;  // UTF-8
  bool regularExpression = false;
  bool matchCase = false;
  int column = -1;  // in a table: only this column; -1 all

  bool operator==(const TextQuery&) const = default;
};

// Line numbers or table row positions, ascending.
using MatchList = std::vector<std::uint32_t>;

class TextMatcher {
 public:
  // Fails, naming the fault, for a regular expression that is not one or an empty pattern.
  static ResultOf<TextMatcher> For(const TextQuery& query);

  [[nodiscard]] bool matches(std::string_view text) const;
  // The matches in a shown text, as (position, length) in its characters, for marking them.
  [[nodiscard]] std::vector<std::pair<int, int>> matchesIn(const QString& text) const;
  [[nodiscard]] const TextQuery& query() const { return query_; }

  // A plain word (no regular expression, letters folded only when they are ASCII): found in
  // bytes directly.
  [[nodiscard]] bool isPlainWord() const { return plain_; }
  // The first match of the plain word in [from, to), or `to`.
  [[nodiscard]] const char* findWord(const char* from, const char* to) const;

 private:
  TextQuery query_;
  bool plain_ = false;
  // The plain word, or the text every match of the expression holds; in upper case when case
  // does not matter.
  std::string word_;
  bool prefiltered_ = false;  // an expression whose lines are first searched for word_
  std::size_t anchor_ = 0;  // the byte of the word looked for first
  QRegularExpression expression_;
  mutable QString scratch_;  // a line as UTF-16, reused
};

// The lines of [first, last) holding a match.
MatchList FindLines(const TextDocument& document, const TextMatcher& matcher, std::size_t first,
                    std::size_t last, const std::atomic<bool>* cancelled = nullptr);

// The positions (in the order shown) of the rows with a match in the query's column or in any
// of their first `columns` fields.
MatchList FindRows(const TableRows& rows, std::size_t columns, const TextMatcher& matcher,
                   const std::atomic<bool>* cancelled = nullptr);

// The match after (or before) `from` in a sorted list, wrapping around; `from` itself when the
// list holds nothing else, nothing when it is empty.
std::optional<std::uint32_t> NextMatch(const MatchList& matches, std::uint32_t from, bool forward);

}  // namespace tarvo
