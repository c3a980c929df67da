#pragma once

// A text file open for viewing: its bytes mapped read-only, an index of its lines, and for
// tables the fields of each row, all as offsets into the file. Logs and tables of millions of
// lines are what people open in a viewer; nothing here is copied out of the bytes, and the line
// index takes a few bytes a line.
//
// A large file is indexed in the background: open() maps it, and chunks of lines read by
// another thread (ReadLineChunks) are added with addLines() as they come, so the first lines
// show at once. load() does both at once, for the table layouts and small files.
//
// Threading: a document is changed on one thread; its bytes and lines may be read from another
// while it does not change (a search runs so).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/bulk_allocator.h"
#include "viewer/file_mapping.h"
#include "viewer/line_chunk.h"
#include "viewer/line_index.h"

namespace tarvo {

inline constexpr char kEndOfFileMark = 26;  // Ctrl-Z

class TextDocument {
 public:
  // Called now and then while loading with the share done (0..100).
  using Progress = std::function<void(int percent)>;

  // Maps the file and indexes all its lines (NUL bytes are not shown, as the data files'
  // reader drops them). False when the file cannot be opened: the document is then empty.
  bool load(const std::string& path, const Progress& progress = {});
  // Maps the file without indexing it; its lines come with addLines().
  Result open(const std::string& path);
  // The lines of the next stretch of the file.
  void addLines(const LineChunk& chunk);
  void clear();

  // What became of the file since it was mapped.
  enum class Change { None, Grown, Rewritten };
  [[nodiscard]] Change changeOnDisk() const;
  // After the file grew: maps it again and indexes the new bytes, with the last line again in
  // case it went on. The count of lines before the change that stayed as they were.
  std::size_t readAppended();

  [[nodiscard]] std::size_t lineCount() const { return index_.size(); }
  [[nodiscard]] std::string_view line(std::size_t index) const {
    if (const std::string* clean = index_.cleanText(index)) return *clean;
    const LineSpan span = index_.span(index);
    return {mapping_.data() + span.start, span.length};
  }
  // Calls visit(line, text) for the lines [first, last) in order; visit returns false to stop.
  template <typename Visit>
  void forEachLine(std::size_t first, std::size_t last, Visit&& visit) const {
    index_.forEach(first, last, [&](std::size_t line, LineSpan span) {
      if (const std::string* clean = index_.cleanText(line)) return visit(line, std::string_view(*clean));
      return visit(line, std::string_view(mapping_.data() + span.start, span.length));
    });
  }
  [[nodiscard]] std::size_t byteCount() const { return mapping_.size(); }
  // The bytes the index covers so far.
  [[nodiscard]] std::uint64_t indexedBytes() const { return index_.end(); }
  // How often a byte occurs in the indexed lines (for sizing indexes before they are built).
  [[nodiscard]] std::size_t countOf(char byte) const;
  [[nodiscard]] const char* data() const { return mapping_.data(); }
  [[nodiscard]] std::uint64_t lineStart(std::size_t index) const { return index_.span(index).start; }
  // The line holding a byte of the file.
  [[nodiscard]] std::size_t lineAt(std::uint64_t offset) const { return index_.lineAt(offset); }
  // The index of the longest line (the first of equal ones); 0 for an empty document. A view
  // makes every row as wide as this one, so no line is cut.
  [[nodiscard]] std::size_t longestLine() const { return index_.longestLine(); }
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] const LineIndex& index() const { return index_; }

 private:
  std::string path_;
  FileMapping mapping_;
  LineIndex index_;
};

// The rows of a table: each row a line of the document split at commas (quoted fields kept
// whole), each field an offset and length within its line. Rows and fields are counted in 32
// bits to keep the index small; a file with more than kMaxTableCount rows or fields is shown
// up to that count and reports itself truncated.
class TableRows {
 public:
  enum class Shape {
    Table,    // lines starting with Ctrl-Z are skipped
    Records,  // reading stops at the first line starting with Ctrl-Z (the rotated layout)
  };

  static constexpr std::size_t kMaxTableCount = 0xFFFFFFFFu;

  // Quoted fields hold doubled quotes (off: a quoted field ends at the next quote). Set before
  // build(); fields are then handed out as they stand, their doubled quotes still doubled.
  void setDoubledQuotes(bool on) { doubledQuotes_ = on; }
  [[nodiscard]] bool doubledQuotes() const { return doubledQuotes_; }
  // The text of a field as shown: with doubled quotes, each pair made one.
  [[nodiscard]] std::string fieldText(std::size_t row, std::size_t field) const;

  // Splits the document's lines from `firstLine` on.
  void build(const TextDocument& document, std::size_t firstLine, Shape shape,
             const TextDocument::Progress& progress = {});
  void clear();
  // True when the file held more rows or fields than the table can count.
  [[nodiscard]] bool truncated() const { return truncated_; }

  [[nodiscard]] std::size_t rowCount() const { return rowLines_.size(); }
  [[nodiscard]] std::size_t fieldCount(std::size_t row) const {
    return fieldStarts_[row + 1] - fieldStarts_[row];
  }
  // Field `field` of row `row` (in display order), or empty when the row is shorter.
  [[nodiscard]] std::string_view field(std::size_t row, std::size_t field) const;
  // The row shown at `position` in the current order.
  [[nodiscard]] std::size_t rowAt(std::size_t position) const { return order_[position]; }

  // Sorts the rows by one column with the comparison of its type word ("number", "date1" to
  // "date4", anything else as text, ignoring ASCII case). Equal keys keep the file's order.
  void sort(std::size_t column, const std::string& typeWord, bool ascending);

 private:
  struct FieldSpan {
    std::uint32_t offset;  // within the row's line
    std::uint32_t length;
  };

  [[nodiscard]] std::string_view cell(std::size_t row, std::size_t column) const;

  const TextDocument* document_ = nullptr;
  std::vector<std::uint64_t, BulkAllocator<std::uint64_t>> rowLines_;  // the line of each row
  std::vector<std::uint32_t, BulkAllocator<std::uint32_t>> fieldStarts_{0};
  std::vector<FieldSpan, BulkAllocator<FieldSpan>> fields_;
  std::vector<std::uint32_t, BulkAllocator<std::uint32_t>> order_;
  bool truncated_ = false;
  bool doubledQuotes_ = false;
};

// The given lines (any order, repeats allowed), in file order, each once, joined by line feeds:
// what a copy of selected lines puts on the clipboard.
std::string LinesText(const TextDocument& document, std::vector<std::size_t> lines);

// The sortable form of a date cell: day/month/year ("date1") and month/day/year ("date2")
// rearranged to year, month, day; "date3" gets "20" before a two-digit year. Other type words
// and other lengths give the text unchanged.
std::string DateSortText(std::string_view cell, const std::string& typeWord);

}  // namespace tarvo
