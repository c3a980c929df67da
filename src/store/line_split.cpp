#include "store/line_split.h"

namespace tarvo {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

SplitResult SplitPair(std::string_view text, char separator, std::string& joinedKey) {
  // A key in double quotes may hold the separator; the quotes are dropped.
  const bool quoted = !text.empty() && text.front() == '"';
  std::size_t at = 0;
  std::size_t quotedEnd = 0;
  if (quoted) {
    const std::size_t close = text.find('"', 1);
    quotedEnd = close == std::string_view::npos ? text.size() : close;
    at = close == std::string_view::npos ? text.size() : close + 1;
  }
  std::size_t stop = at;
  while (stop < text.size() && text[stop] != separator && text[stop] != '\t') ++stop;

  SplitResult result;
  if (!quoted) {
    result.key = text.substr(0, stop);
  } else if (stop == at) {
    result.key = text.substr(1, quotedEnd - 1);
  } else {
    joinedKey.assign(text.substr(1, quotedEnd - 1));
    joinedKey.append(text.substr(at, stop - at));
    result.key = joinedKey;
  }
  if (stop < text.size()) {
    // The separator is dropped; a TAB belongs to the value.
    result.value = text.substr(text[stop] == '\t' ? stop : stop + 1);
  }
  return result;
}

void SplitPair(std::string_view text, char separator, std::string& key, std::string& value) {
  std::string joined;
  const SplitResult split = SplitPair(text, separator, joined);
  key.assign(split.key);
  value.assign(split.value);
}

std::string_view TrimBlanks(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

void SplitDelimited(std::string_view text, std::vector<std::string>& fields, char separator) {
  fields.clear();
  ForEachDelimitedField(text, separator,
                        [&fields](std::string_view field) { fields.emplace_back(field); });
}

}  // namespace tarvo
