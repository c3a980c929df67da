#pragma once

// Fields that use doubled quotes: "O""Brien, Pat" is the one field O"Brien, Pat. Off by default
// (a display option), since the data files' own rule ends a quoted field at the next quote.
//
// Pure functions on bytes; safe from any thread.

#include <string>
#include <string_view>

#include "store/line_split.h"

namespace tarvo {

// The fields of a line by the rule chosen; with doubled quotes each field still holds them
// doubled (Undoubled() gives its text).
template <typename Emit>
void ForEachField(std::string_view text, bool doubledQuotes, Emit&& emit) {
  ForEachDelimitedField(text, ',', emit, doubledQuotes);
}

// A field's text: each pair of quotes made one.
std::string Undoubled(std::string_view field);
// A text as a quoted field holds it: each quote doubled.
std::string Doubled(std::string_view text);

}  // namespace tarvo
