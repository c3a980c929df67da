#pragma once

// Where each line of a text file starts and how long it is, in about two and a half bytes a
// line: logs of tens of millions of lines are what people open in a viewer, and twelve bytes a
// line would cost more than the lines shown.
//
// Lines lie back to back: each is its text followed by its line end (none, one or two bytes).
// Every group of kGroupLines lines keeps the byte where it starts; a line keeps its length in
// 16 bits and its line end in 2 bits. Lengths of 65,535 and more are kept aside. A line
// holding NUL bytes keeps a copy without them (the data files' reader drops them too).
//
// Threading: one thread at a time; the viewer adds lines on the user-interface thread.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvo {

struct LineSpan {
  std::uint64_t start = 0;
  std::uint64_t length = 0;  // without the line end
};

class LineIndex {
 public:
  static constexpr std::size_t kGroupLines = 64;

  void clear();
  // Appends the next line: its length and the length of its line end (0 to 2).
  void add(std::uint64_t length, unsigned endLength);
  // Keeps a NUL-free copy of the last line added.
  void setCleanText(std::string text) { cleaned_[count_ - 1] = std::move(text); }
  // Removes the last line (its bytes are read again when the file grows).
  void removeLast();

  [[nodiscard]] std::size_t size() const { return count_; }
  [[nodiscard]] bool empty() const { return count_ == 0; }
  // The byte after the last line end.
  [[nodiscard]] std::uint64_t end() const { return end_; }
  [[nodiscard]] LineSpan span(std::size_t line) const;
  [[nodiscard]] unsigned endLength(std::size_t line) const {
    return (ends_[line / 4] >> (2 * (line % 4))) & 3u;
  }
  // The NUL-free copy of a line that held NUL bytes, or nullptr.
  [[nodiscard]] const std::string* cleanText(std::size_t line) const {
    if (cleaned_.empty()) return nullptr;
    const auto found = cleaned_.find(line);
    return found == cleaned_.end() ? nullptr : &found->second;
  }
  // The NUL-free copies by line.
  [[nodiscard]] const std::map<std::size_t, std::string>& cleanTexts() const { return cleaned_; }
  // The line holding byte `offset` (a line end belongs to its line); size() past the end.
  [[nodiscard]] std::size_t lineAt(std::uint64_t offset) const;
  // The longest line (the first of equal ones); 0 when there are none.
  [[nodiscard]] std::size_t longestLine() const { return longest_ < count_ ? longest_ : 0; }
  [[nodiscard]] std::size_t memoryBytes() const;

  // Calls visit(line, span) for the lines [first, last) in order, without a search per line.
  template <typename Visit>
  void forEach(std::size_t first, std::size_t last, Visit&& visit) const {
    if (first >= last) return;
    std::uint64_t start = span(first).start;
    for (std::size_t line = first; line < last; ++line) {
      const std::uint64_t length = lengthOf(line);
      if (!visit(line, LineSpan{start, length})) return;
      start += length + endLength(line);
    }
  }

 private:
  static constexpr std::uint16_t kLongMark = 0xFFFF;

  [[nodiscard]] std::uint64_t lengthOf(std::size_t line) const;

  std::size_t count_ = 0;
  std::uint64_t end_ = 0;
  std::vector<std::uint64_t> groupStarts_;
  std::vector<std::uint16_t> lengths_;
  std::vector<std::uint8_t> ends_;  // four 2-bit line ends a byte
  std::vector<std::pair<std::size_t, std::uint64_t>> longLengths_;  // by line, ascending
  std::map<std::size_t, std::string> cleaned_;
  std::size_t longest_ = 0;
  std::uint64_t longestLength_ = 0;
};

}  // namespace tarvo
