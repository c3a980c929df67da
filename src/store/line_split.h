#pragma once

// Splitting of single lines of the data files: key=value pairs and delimited fields.
// Pure functions on bytes; safe from any thread.

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

struct SplitResult {
  std::string_view key;
  std::string_view value;
};

// Splits one line into key and value at the first `separator` (or TAB) outside a leading
// double-quoted key. The separator is dropped; a TAB stays as the value's first character.
// The views point into `text`, except that a quoted key with text after its closing quote
// ("a b"c=) is returned in `joinedKey` and `key` views that string.
SplitResult SplitPair(std::string_view text, char separator, std::string& joinedKey);

// Convenience form that copies key and value.
void SplitPair(std::string_view text, char separator, std::string& key, std::string& value);

// Removes bytes up to and including the blank (control characters and space) at both ends.
std::string_view TrimBlanks(std::string_view text);

// Splits a delimited line into fields: a field starting with a double quote runs verbatim to
// the next double quote (what follows up to the separator is dropped); an unquoted field is
// trimmed. A separator at the very end adds no empty field; an empty text gives one empty field.
void SplitDelimited(std::string_view text, std::vector<std::string>& fields, char separator);

// Where a quoted field opened at `open` closes: the next quote or, when fields use doubled
// quotes, the next quote that is not one of a pair; npos when it never closes.
inline std::size_t ClosingQuote(std::string_view text, std::size_t open, bool doubledQuotes) {
  std::size_t close = text.find('"', open + 1);
  while (doubledQuotes && close != std::string_view::npos && close + 1 < text.size() && text[close + 1] == '"') {
    close = text.find('"', close + 2);
  }
  return close;
}

// The same rules, handing each field to `emit` as a view into `text` (no copies). With
// `doubledQuotes` two quotes inside a quoted field stand for one and do not end it; the field is
// handed over with its quotes still doubled.
template <typename Emit>
void ForEachDelimitedField(std::string_view text, char separator, Emit&& emit, bool doubledQuotes = false) {
  std::size_t at = text.find_first_not_of(' ');
  if (at == std::string_view::npos) at = text.size();
  for (;;) {
    std::size_t end;
    if (at < text.size() && text[at] == '"') {
      const std::size_t close = ClosingQuote(text, at, doubledQuotes);
      const std::size_t stop = close == std::string_view::npos ? text.size() : close;
      emit(text.substr(at + 1, stop - at - 1));
      end = stop == text.size() ? stop : text.find(separator, stop + 1);
    } else {
      end = text.find(separator, at);
      emit(TrimBlanks(text.substr(at, end == std::string_view::npos ? text.npos : end - at)));
    }
    if (end == std::string_view::npos || end >= text.size()) return;
    at = text.find_first_not_of(' ', end + 1);
    if (at == std::string_view::npos) return;
  }
}

}  // namespace tarvo
