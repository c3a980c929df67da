#include "base/text_scan.h"

#include <QString>
#include <algorithm>
#include <array>
#include <limits>

namespace tarvo {
namespace {

constexpr std::int64_t kSaturated = std::numeric_limits<std::int64_t>::max() / 10 - 10;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool Contains(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::int64_t AddDigit(std::int64_t value, char digit) {
  if (value >= kSaturated) return kSaturated;
  return value * 10 + (digit - '0');
}

// The first blank or comma at or after index `from` (0-based), or the text's size.
std::size_t LinkEnd(std::string_view text, std::size_t from) {
  const std::size_t end = text.find_first_of(" ,", std::min(from, text.size()));
  return end == std::string_view::npos ? text.size() : end;
}

LinkScan Found(std::string_view lower, std::size_t begin, std::size_t end, bool isFile,
               std::string_view prefix) {
  LinkScan scan;
  scan.link.found = true;
  scan.link.isFile = isFile;
  scan.link.start = static_cast<int>(begin) + 1;
  scan.link.length = static_cast<int>(end - begin);
  scan.link.target = std::string(prefix) + std::string(lower.substr(begin, end - begin));
  scan.next = static_cast<int>(end) + 1;
  return scan;
}

}  // namespace

std::string CharText(char c) { return std::string(1, c); }

std::string UpperText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUpper().toStdString();
}

int ClassifyText(std::string_view text, std::string_view ignore, std::string_view extra) {
  int kind = kNoToken;
  for (const char c : text) {
    if (Contains(ignore, c)) continue;
    if (kind == kNoToken) {
      if (IsDigit(c)) {
        kind = kNumberToken;
      } else if (c == '.') {
        kind = kDecimalToken;
      } else if (IsAsciiLetter(c)) {
        kind = kWordToken;
      } else if (Contains(extra, c)) {
        kind = kExtraToken;
      }
    } else if (kind == kNumberToken && c == '.') {
      kind = kDecimalToken;
    } else if (kind == kExtraToken && Contains(extra, c)) {
      kind = kWordToken;
    }
  }
  return kind;
}

NumberScan ParseNumber(std::string_view text, int start) {
  NumberScan scan;
  const std::size_t from = start <= 0 ? 0 : static_cast<std::size_t>(start - 1);
  if (from >= text.size()) return scan;  // past the text
  std::size_t at = from;
  while (at < text.size() && !IsDigit(text[at])) ++at;
  bool any = false;
  for (; at < text.size(); ++at) {
    if (IsDigit(text[at])) {
      scan.value = AddDigit(scan.value, text[at]);
      any = true;
    } else if (text[at] != ',') {
      break;
    }
  }
  scan.end = any ? static_cast<int>(at) + 1 : 0;
  if (!any) scan.value = 0;
  return scan;
}

LinkScan FindLink(std::string_view text) {
  const std::string lower = AsciiLower(text);
  const std::string_view view = lower;

  std::size_t begin = std::string_view::npos;
  std::string_view prefix;
  if (view.find(":/") != std::string_view::npos) {
    for (const std::string_view scheme : {"http://", "https://", "ftp://", "ftps://"}) {
      begin = view.find(scheme);
      if (begin != std::string_view::npos) break;
    }
  }
  if (begin == std::string_view::npos) {
    begin = view.find("www.");
    if (begin != std::string_view::npos) prefix = "http://";
  }
  if (begin == std::string_view::npos) begin = view.find("mailto:");
  if (begin != std::string_view::npos) {
    return Found(view, begin, LinkEnd(view, begin + 4), false, prefix);
  }

  // A drive-letter path: a letter, ":", and a "." somewhere after; the path runs on from that
  // "." to the next blank or comma, so folder names with blanks stay whole.
  const std::size_t colon = view.find(':');
  if (colon != std::string_view::npos && colon >= 1 && IsAsciiLetter(view[colon - 1])) {
    const std::size_t letter = colon - 1;
    const std::size_t dot = view.find('.', letter + 1);
    if (dot != std::string_view::npos) return Found(view, letter, LinkEnd(view, dot), true, {});
  }

  // An absolute path of this platform: a "/" opening the text or a word, and a "." after it.
  // Its file system tells case apart, so the target keeps the case it was typed in.
  for (std::size_t slash = view.find('/'); slash != std::string_view::npos; slash = view.find('/', slash + 1)) {
    if (slash > 0 && view[slash - 1] != ' ' && view[slash - 1] != '\t') continue;
    const std::size_t dot = view.find('.', slash + 1);
    if (dot == std::string_view::npos) break;
    return Found(text, slash, LinkEnd(view, dot), true, {});
  }
  return {};
}

std::int64_t VersionValue(std::string_view version) {
  std::array<std::int64_t, 4> groups{};
  std::size_t group = 0;
  for (const char c : version) {
    if (IsDigit(c)) {
      groups[group] = AddDigit(groups[group], c);
      continue;
    }
    if (++group == groups.size()) break;
  }
  constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 4;
  const auto scaled = [](std::int64_t value, std::int64_t factor) {
    return value > kLimit / factor ? kLimit : value * factor;
  };
  return std::min(kLimit, scaled(groups[0], 100'000'000) + scaled(groups[1], 100'000) +
                              scaled(groups[2], 10'000) + scaled(groups[3], 1));
}

}  // namespace tarvo
