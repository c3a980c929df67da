#include "viewer/line_index.h"

#include <algorithm>

namespace tarvo {

void LineIndex::clear() {
  *this = LineIndex();
}

void LineIndex::add(std::uint64_t length, unsigned endLength) {
  if (count_ % kGroupLines == 0) groupStarts_.push_back(end_);
  if (length >= kLongMark) {
    lengths_.push_back(kLongMark);
    longLengths_.emplace_back(count_, length);
  } else {
    lengths_.push_back(static_cast<std::uint16_t>(length));
  }
  if (count_ % 4 == 0) ends_.push_back(0);
  ends_.back() = static_cast<std::uint8_t>(ends_.back() | ((endLength & 3u) << (2 * (count_ % 4))));
  if (length > longestLength_ || count_ == 0) {
    longest_ = count_;
    longestLength_ = length;
  }
  ++count_;
  end_ += length + endLength;
}

void LineIndex::removeLast() {
  if (count_ == 0) return;
  const std::size_t last = count_ - 1;
  const LineSpan removed = span(last);
  if (!longLengths_.empty() && longLengths_.back().first == last) longLengths_.pop_back();
  cleaned_.erase(last);
  lengths_.pop_back();
  ends_.back() = static_cast<std::uint8_t>(ends_.back() & ~(3u << (2 * (last % 4))));
  if (last % 4 == 0) ends_.pop_back();
  if (last % kGroupLines == 0) groupStarts_.pop_back();
  count_ = last;
  end_ = removed.start;
  // A removed longest line keeps its place: the line that comes back in its place (the same
  // bytes and more) is at least as long.
}

std::uint64_t LineIndex::lengthOf(std::size_t line) const {
  if (line >= count_) return 0;
  const std::uint16_t length = lengths_[line];
  if (length != kLongMark) return length;
  const auto found = std::lower_bound(longLengths_.begin(), longLengths_.end(),
                                      std::pair<std::size_t, std::uint64_t>(line, 0));
  return found->second;
}

LineSpan LineIndex::span(std::size_t line) const {
  const std::size_t group = line / kGroupLines;
  std::uint64_t start = groupStarts_[group];
  for (std::size_t before = group * kGroupLines; before < line; ++before) {
    start += lengthOf(before) + endLength(before);
  }
  return {start, lengthOf(line)};
}

std::size_t LineIndex::lineAt(std::uint64_t offset) const {
  if (offset >= end_) return count_;
  const auto after = std::upper_bound(groupStarts_.begin(), groupStarts_.end(), offset);
  const auto group = static_cast<std::size_t>(after - groupStarts_.begin()) - 1;
  std::size_t line = group * kGroupLines;
  std::uint64_t next = groupStarts_[group];
  for (; line < count_; ++line) {
    next += lengthOf(line) + endLength(line);
    if (offset < next) return line;
  }
  return count_;
}

std::size_t LineIndex::memoryBytes() const {
  std::size_t bytes = groupStarts_.capacity() * sizeof(std::uint64_t) +
                      lengths_.capacity() * sizeof(std::uint16_t) + ends_.capacity() +
                      longLengths_.capacity() * sizeof(longLengths_.front());
  for (const auto& [line, text] : cleaned_) bytes += text.capacity() + 64;
  return bytes;
}

}  // namespace tarvo
