#pragma once

// Fields that use doubled quotes: "O""Brien, Pat" is the one field O"Brien, Pat. Off by default
// (a display option), since the data files' own rule ends a quoted field at the next quote.
//
// Pure functions on bytes; safe from any thread.

#include <string>
#include <string_view>

#include "store/line_split.h"

namespace tarvo {

// Splits as ForEachDelimitedField does, except that inside a quoted field two quotes stand for
// one and do not end it. Each field is handed over as it stands in the line (its doubled quotes
// still doubled; Undoubled() gives its text).
template <typename Emit>
void ForEachDoubledQuoteField(std::string_view text, char separator, Emit&& emit) {
  std::size_t at = text.find_first_not_of(' ');
  if (at == std::string_view::npos) at = text.size();
  for (;;) {
    std::size_t end;
    if (at < text.size() && text[at] == '"') {
      std::size_t close = at + 1;
      for (;;) {
        close = text.find('"', close);
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != '"') break;
        close += 2;
      }
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

// The fields of a line by the rule chosen.
template <typename Emit>
void ForEachField(std::string_view text, bool doubledQuotes, Emit&& emit) {
  if (doubledQuotes) {
    ForEachDoubledQuoteField(text, ',', emit);
  } else {
    ForEachDelimitedField(text, ',', emit);
  }
}

// A field's text: each pair of quotes made one.
std::string Undoubled(std::string_view field);
// A text as a quoted field holds it: each quote doubled.
std::string Doubled(std::string_view text);

}  // namespace tarvo
