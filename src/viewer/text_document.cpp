#include "viewer/text_document.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "store/file_system.h"
#include "store/line_scan.h"
#include "store/line_split.h"
#include "base/text_scan.h"

namespace tarvo {
namespace {

constexpr std::size_t kProgressStep = 1 << 16;  // lines between progress reports

char FoldUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The first eight folded bytes as one number, so most comparisons are one integer compare.
std::uint64_t FoldedPrefix(std::string_view text) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    const auto byte = i < text.size() ? static_cast<unsigned char>(FoldUpper(text[i])) : 0u;
    prefix = (prefix << 8) | byte;
  }
  return prefix;
}

// Removes NUL bytes in place; they are never part of what a line shows.
void DropNulBytes(ByteBuffer& bytes) {
  if (std::memchr(bytes.data(), '\0', bytes.size()) == nullptr) return;
  bytes.erase(std::remove(bytes.begin(), bytes.end(), '\0'), bytes.end());
}

}  // namespace

bool TextDocument::load(const std::string& path, const Progress& progress) {
  clear();
  FileSystem& files = fileSystem();
  ResultOf<FileHandle> file = files.open(path, OpenIntent::Read);
  if (!file || !files.readAll(*file, bytes_)) {
    bytes_.clear();
    return false;
  }
  DropNulBytes(bytes_);
  const char* base = bytes_.data();
  const char* end = base + bytes_.size();
  // A rough count first, so the index is allocated once.
  lines_.reserve(static_cast<std::size_t>(std::count(bytes_.begin(), bytes_.end(), '\n')) + 1);
  for (const char* at = base; at < end;) {
    const char* stop = FindLineStop(at, end);
    const auto length = static_cast<std::size_t>(stop - at);
    lines_.push_back({static_cast<std::uint64_t>(at - base),
                      static_cast<std::uint32_t>(std::min<std::size_t>(length, std::numeric_limits<std::uint32_t>::max()))});
    if (lines_.back().length > lines_[longest_].length) longest_ = lines_.size() - 1;
    at = SkipLineEnd(stop, end);
    if (progress && lines_.size() % kProgressStep == 0) {
      progress(static_cast<int>(100 * (at - base) / (end - base)));
    }
  }
  return true;
}

std::size_t TextDocument::countOf(char byte) const {
  return static_cast<std::size_t>(std::count(bytes_.begin(), bytes_.end(), byte));
}

void TextDocument::dropLineIndex() {
  decltype(lines_) none;
  lines_.swap(none);
}

void TextDocument::clear() {
  bytes_.clear();
  lines_.clear();
  longest_ = 0;
}

void TableRows::clear() {
  truncated_ = false;
  rowStarts_.clear();
  fieldStarts_.assign(1, 0);
  fields_.clear();
  order_.clear();
}

void TableRows::build(const TextDocument& document, std::size_t firstLine, Shape shape,
                      const TextDocument::Progress& progress) {
  clear();
  document_ = &document;
  const std::size_t lines = document.lineCount();
  if (firstLine < lines) {
    // Sized once from the commas (quoted ones make it a little generous): growing a vector
    // of millions of fields would briefly need it twice.
    rowStarts_.reserve(lines - firstLine);
    fieldStarts_.reserve(lines - firstLine + 1);
    fields_.reserve(document.countOf(',') + lines);
  }
  for (std::size_t index = firstLine; index < lines; ++index) {
    const std::string_view line = document.line(index);
    if (!line.empty() && line.front() == kEndOfFileMark) {
      if (shape == Shape::Records) break;
      continue;
    }
    if (rowStarts_.size() >= kMaxTableCount || fields_.size() + line.size() / 2 + 1 >= kMaxTableCount) {
      truncated_ = true;  // a line has at most length / 2 + 1 fields
      break;
    }
    rowStarts_.push_back(document.lineStart(index));
    ForEachDelimitedField(line, ',', [&](std::string_view field) {
      fields_.push_back({static_cast<std::uint32_t>(field.data() - line.data()),
                         static_cast<std::uint32_t>(field.size())});
    });
    fieldStarts_.push_back(static_cast<std::uint32_t>(fields_.size()));
    if (progress && index % kProgressStep == 0) progress(static_cast<int>(100 * index / lines));
  }
  order_.resize(rowStarts_.size());
  for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<std::uint32_t>(i);
}

std::string_view TableRows::cell(std::size_t row, std::size_t column) const {
  if (column >= fieldCount(row)) return {};
  const FieldSpan& span = fields_[fieldStarts_[row] + column];
  return {document_->data() + rowStarts_[row] + span.offset, span.length};
}

std::string_view TableRows::field(std::size_t position, std::size_t column) const {
  return cell(order_[position], column);
}

std::string LinesText(const TextDocument& document, std::vector<std::size_t> lines) {
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  std::string text;
  bool first = true;
  for (const std::size_t line : lines) {
    if (line >= document.lineCount()) continue;
    if (!first) text += '\n';
    first = false;
    text.append(document.line(line));
  }
  return text;
}

std::string DateSortText(std::string_view cell, const std::string& typeWord) {
  const auto part = [cell](std::size_t first, std::size_t count) {
    return std::string(cell.substr(first - 1, count));
  };
  if (typeWord == "date1") {
    if (cell.size() == 10) return part(7, 4) + part(4, 2) + part(1, 2);
    if (cell.size() == 8) return "20" + part(7, 2) + part(4, 2) + part(1, 2);
  } else if (typeWord == "date2") {
    if (cell.size() == 10) return part(7, 4) + part(1, 2) + part(4, 2);
    if (cell.size() == 8) return "20" + part(7, 2) + part(1, 2) + part(4, 2);
  } else if (typeWord == "date3") {
    if (cell.size() == 8) return "20" + std::string(cell);
  }
  return std::string(cell);
}

void TableRows::sort(std::size_t column, const std::string& typeWord, bool ascending) {
  const std::size_t count = rowStarts_.size();
  if (typeWord == "number") {
    std::vector<std::pair<std::int64_t, std::uint32_t>> keys(count);
    for (std::size_t row = 0; row < count; ++row) {
      const NumberScan scan = ParseNumber(cell(row, column), 1);
      keys[row] = {scan.end > 0 ? scan.value : 0, static_cast<std::uint32_t>(row)};
    }
    const auto before = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (ascending) {
      std::stable_sort(keys.begin(), keys.end(), before);
    } else {
      std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) { return before(b, a); });
    }
    for (std::size_t i = 0; i < count; ++i) order_[i] = keys[i].second;
    return;
  }

  // Text order: every cell's sortable form (dates rearranged to year, month, day; letters in
  // one case) is made once, into one buffer, before sorting; a comparison then looks at two
  // integers of the first sixteen bytes and only on a tie at the rest of the bytes.
  const bool isDate = typeWord == "date1" || typeWord == "date2" || typeWord == "date3";
  struct Key {
    std::uint64_t head;  // bytes 0..7
    std::uint64_t next;  // bytes 8..15
    std::uint64_t offset;
    std::uint32_t length;
    std::uint32_t row;
  };
  std::vector<Key> keys(count);
  std::string folded;
  folded.reserve(count * 12);
  for (std::size_t row = 0; row < count; ++row) {
    const std::string_view raw = cell(row, column);
    const std::string date = isDate ? DateSortText(raw, typeWord) : std::string();
    const std::string_view sortable = isDate ? std::string_view(date) : raw;
    const std::uint64_t offset = folded.size();
    for (const char c : sortable) folded.push_back(FoldUpper(c));
    const std::string_view rest = sortable.size() > 8 ? sortable.substr(8) : std::string_view();
    keys[row] = {FoldedPrefix(sortable), FoldedPrefix(rest), offset,
                 static_cast<std::uint32_t>(sortable.size()), static_cast<std::uint32_t>(row)};
  }
  const auto before = [&folded](const Key& a, const Key& b) {
    if (a.head != b.head) return a.head < b.head;
    if (a.next != b.next) return a.next < b.next;
    if (a.length <= 16 && b.length <= 16) return a.length < b.length;
    return std::string_view(folded.data() + a.offset, a.length) <
           std::string_view(folded.data() + b.offset, b.length);
  };
  if (ascending) {
    std::stable_sort(keys.begin(), keys.end(), before);
  } else {
    std::stable_sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) { return before(b, a); });
  }
  for (std::size_t i = 0; i < count; ++i) order_[i] = keys[i].row;
}

}  // namespace tarvo
