#include "viewer/text_document.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "store/line_split.h"
#include "viewer/doubled_quotes.h"
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

}  // namespace

bool TextDocument::load(const std::string& path, const Progress& progress) {
  if (!open(path)) return false;
  const char* base = mapping_.data();
  const std::uint64_t size = mapping_.size();
  // In steps, so a progress window can move while a large table file is read.
  constexpr std::uint64_t kStep = std::uint64_t{16} << 20;
  for (std::uint64_t at = 0; at < size;) {
    const std::uint64_t stop = std::min(size, at + kStep);
    LineChunk chunk;
    const std::size_t used = ScanLines(base + at, base + stop, stop == size, chunk);
    addLines(chunk);
    at += used;
    if (used == 0) {  // one line longer than a step: take it with the rest of the file
      LineChunk rest;
      at += ScanLines(base + at, base + size, true, rest);
      addLines(rest);
    }
    if (progress) progress(static_cast<int>(100 * at / size));
  }
  return true;
}

Result TextDocument::open(const std::string& path) {
  clear();
  path_ = path;
  return mapping_.map(path);
}

void TextDocument::addLines(const LineChunk& chunk) { AddChunk(index_, chunk); }

TextDocument::Change TextDocument::changeOnDisk() const {
  const std::optional<FileState> now = StateOf(path_);
  if (!now || !mapping_.isOpen()) return now || mapping_.isOpen() ? Change::Rewritten : Change::None;
  const FileState& then = mapping_.state();
  if (now->identity != then.identity || now->size < then.size) return Change::Rewritten;
  if (now->size > then.size) return Change::Grown;
  return now->modified == then.modified ? Change::None : Change::Rewritten;
}

std::size_t TextDocument::readAppended() {
  // The last line may go on, and a lone CR or LF may get its partner: it is read again.
  if (!index_.empty() && index_.endLength(index_.size() - 1) < 2) index_.removeLast();
  const std::size_t kept = index_.size();
  if (!mapping_.remap()) return kept;
  const std::uint64_t from = index_.end();
  if (from < mapping_.size()) {
    LineChunk chunk;
    ScanLines(mapping_.data() + from, mapping_.data() + mapping_.size(), true, chunk);
    addLines(chunk);
  }
  return kept;
}

std::size_t TextDocument::countOf(char byte) const {
  const char* base = mapping_.data();
  return static_cast<std::size_t>(std::count(base, base + index_.end(), byte));
}

void TextDocument::clear() {
  mapping_.unmap();
  index_.clear();
  path_.clear();
}

void TableRows::clear() {
  truncated_ = false;
  rowLines_.clear();
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
    rowLines_.reserve(lines - firstLine);
    fieldStarts_.reserve(lines - firstLine + 1);
    fields_.reserve(document.countOf(',') + lines);
  }
  document.forEachLine(firstLine, lines, [&](std::size_t index, std::string_view line) {
    if (!line.empty() && line.front() == kEndOfFileMark) return shape != Shape::Records;
    if (rowLines_.size() >= kMaxTableCount || fields_.size() + line.size() / 2 + 1 >= kMaxTableCount) {
      truncated_ = true;  // a line has at most length / 2 + 1 fields
      return false;
    }
    rowLines_.push_back(index);
    ForEachField(line, doubledQuotes_, [&](std::string_view field) {
      fields_.push_back({static_cast<std::uint32_t>(field.data() - line.data()),
                         static_cast<std::uint32_t>(field.size())});
    });
    fieldStarts_.push_back(static_cast<std::uint32_t>(fields_.size()));
    if (progress && index % kProgressStep == 0) progress(static_cast<int>(100 * index / lines));
    return true;
  });
  order_.resize(rowLines_.size());
  for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<std::uint32_t>(i);
}

std::string_view TableRows::cell(std::size_t row, std::size_t column) const {
  if (column >= fieldCount(row)) return {};
  const FieldSpan& span = fields_[fieldStarts_[row] + column];
  return document_->line(rowLines_[row]).substr(span.offset, span.length);
}

std::string_view TableRows::field(std::size_t position, std::size_t column) const {
  return cell(order_[position], column);
}

std::string TableRows::fieldText(std::size_t row, std::size_t column) const {
  const std::string_view raw = field(row, column);
  return doubledQuotes_ ? Undoubled(raw) : std::string(raw);
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
  const std::size_t count = rowLines_.size();
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
