#pragma once

// A text file loaded for viewing: its bytes, an index of its lines, and for tables the
// fields of each row, all as offsets into the loaded bytes. Logs and tables of millions of
// lines are what people open in a viewer; one string object per line or cell would cost
// several times the file's size, so nothing here is copied out of the bytes.
//
// Threading: a document is built and used on one thread.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/bulk_allocator.h"

namespace tarvo {

inline constexpr char kEndOfFileMark = 26;  // Ctrl-Z

class TextDocument {
 public:
  // Called now and then while loading with the share done (0..100).
  using Progress = std::function<void(int percent)>;

  // Reads the whole file and indexes its lines (NUL bytes are dropped, as the data files'
  // reader does). False when the file cannot be opened: the document is then empty.
  bool load(const std::string& path, const Progress& progress = {});
  void clear();

  [[nodiscard]] std::size_t lineCount() const { return lines_.size(); }
  [[nodiscard]] std::string_view line(std::size_t index) const {
    const LineSpan& span = lines_[index];
    return {bytes_.data() + span.start, span.length};
  }
  [[nodiscard]] std::size_t byteCount() const { return bytes_.size(); }
  // How often a byte occurs in the whole file (for sizing indexes before they are built).
  [[nodiscard]] std::size_t countOf(char byte) const;
  [[nodiscard]] const char* data() const { return bytes_.data(); }
  // Frees the line index once a table holds what it needs (the bytes stay).
  void dropLineIndex();
  [[nodiscard]] std::uint64_t lineStart(std::size_t index) const { return lines_[index].start; }
  // The index of the longest line (the first of equal ones); 0 for an empty document. A view
  // makes every row as wide as this one, so no line is cut.
  [[nodiscard]] std::size_t longestLine() const { return longest_; }

 private:
  // Packed: twelve bytes a line matter at millions of lines. A line longer than 4 GiB shows
  // its first 4 GiB.
  struct __attribute__((packed)) LineSpan {
    std::uint64_t start;
    std::uint32_t length;
  };

  ByteBuffer bytes_;
  std::vector<LineSpan, BulkAllocator<LineSpan>> lines_;
  std::size_t longest_ = 0;
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

  // Splits the document's lines from `firstLine` on.
  void build(const TextDocument& document, std::size_t firstLine, Shape shape,
             const TextDocument::Progress& progress = {});
  void clear();
  // True when the file held more rows or fields than the table can count.
  [[nodiscard]] bool truncated() const { return truncated_; }

  [[nodiscard]] std::size_t rowCount() const { return rowStarts_.size(); }
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
  std::vector<std::uint64_t, BulkAllocator<std::uint64_t>> rowStarts_;  // byte of each row's line
  std::vector<std::uint32_t, BulkAllocator<std::uint32_t>> fieldStarts_{0};
  std::vector<FieldSpan, BulkAllocator<FieldSpan>> fields_;
  std::vector<std::uint32_t, BulkAllocator<std::uint32_t>> order_;
  bool truncated_ = false;
};

// The given lines (any order, repeats allowed), in file order, each once, joined by line feeds:
// what a copy of selected lines puts on the clipboard.
std::string LinesText(const TextDocument& document, std::vector<std::size_t> lines);

// The sortable form of a date cell: day/month/year ("date1") and month/day/year ("date2")
// rearranged to year, month, day; "date3" gets "20" before a two-digit year. Other type words
// and other lengths give the text unchanged.
std::string DateSortText(std::string_view cell, const std::string& typeWord);

}  // namespace tarvo
