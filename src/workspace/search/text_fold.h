#pragma once

// The form in which searching compares text: accents and other combining marks dropped after
// compatibility decomposition, case folded, and every run of white space made one space, so
// "Café  AU lait" and "cafe au lait" are the same text. Works on UTF-8 and gives UTF-8, so a
// folded needle found in a folded text always starts and ends on whole characters.
//
// Thread-safe: the cache of folded characters is per thread.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// The folded text alone.
std::string FoldForSearch(std::string_view utf8);
// The same into a buffer the caller reuses, which saves an allocation per text in a scan.
void FoldForSearchInto(std::string_view utf8, std::string& folded);

// The folded text with, for each of its bytes, the offset in the source of the character it
// came from; `origins` has one more entry, the source's size, so a folded range [b, e) came
// from the source range [origins[b], origins[e]).
struct FoldedText {
  std::string text;
  std::vector<std::uint32_t> origins;
};
FoldedText FoldWithOrigins(std::string_view utf8);

// Calls `visit` for each word of a folded text: a run of letters and digits, or a single
// ideograph or syllable of a script written without spaces, so a Chinese text can be searched
// for any of its characters.
template <typename Visit>
void ForEachSearchWord(std::string_view folded, Visit&& visit);

// The number of UTF-16 units of a UTF-8 text (what a QString of it would count).
int Utf16Length(std::string_view utf8);

// ---- Implementation details shared with the template.
namespace fold_detail {
// The code point at `at` and the length of its encoding; a broken byte counts as one
// character of its own value.
char32_t DecodeAt(std::string_view utf8, std::size_t at, std::size_t& length);
bool IsWordCharacter(char32_t c);
bool IsSingleCharacterWord(char32_t c);
}  // namespace fold_detail

template <typename Visit>
void ForEachSearchWord(std::string_view folded, Visit&& visit) {
  std::size_t wordStart = std::string_view::npos;
  std::size_t at = 0;
  while (at < folded.size()) {
    std::size_t length = 1;
    const char32_t c = static_cast<unsigned char>(folded[at]) < 0x80
                           ? static_cast<char32_t>(folded[at])
                           : fold_detail::DecodeAt(folded, at, length);
    if (fold_detail::IsSingleCharacterWord(c)) {
      if (wordStart != std::string_view::npos) visit(folded.substr(wordStart, at - wordStart));
      wordStart = std::string_view::npos;
      visit(folded.substr(at, length));
    } else if (fold_detail::IsWordCharacter(c)) {
      if (wordStart == std::string_view::npos) wordStart = at;
    } else if (wordStart != std::string_view::npos) {
      visit(folded.substr(wordStart, at - wordStart));
      wordStart = std::string_view::npos;
    }
    at += length;
  }
  if (wordStart != std::string_view::npos) visit(folded.substr(wordStart));
}

}  // namespace tarvo
