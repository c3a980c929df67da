#pragma once

// Reading the key=value lines of a plain file block by block, with exactly the rules of
// ReadPairs (every line end, NUL bytes dropped, quoted keys, blanks trimmed, empty keys
// skipped), for files too large to hold whole: a structure file of a million topics is read
// through a buffer of about a megabyte instead of twice its size in memory.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/result.h"

namespace tarvo {

// Called with each pair and the 1-based number of its line; false stops the reading.
using PairVisitor = std::function<bool(std::string_view key, std::string_view value, std::size_t line)>;

// Reads the whole file (or until `visit` says stop). A failure when it cannot be read.
Result ForEachPair(const std::string& path, const PairVisitor& visit);
// The same over the bytes [from, to) of the file, which must begin at a line's start; lines are
// counted from there, and their count is left in `lines`.
Result ForEachPairBetween(const std::string& path, std::uint64_t from, std::uint64_t to, const PairVisitor& visit,
                          std::size_t* lines = nullptr);

// The same over bytes in memory, as one block; returns the number of lines read.
std::size_t ForEachPairIn(std::string_view bytes, const PairVisitor& visit);

// The first bytes and the last byte of a file, to tell a whole text file from one that was cut
// short or written in another encoding.
struct TextFileEnds {
  std::string head;  // up to the first four bytes
  char last = 0;     // the last byte; 0 for an empty file
  std::uint64_t size = 0;

  [[nodiscard]] bool endsWithLineEnd() const { return last == '\r' || last == '\n'; }
  // UTF-8 or UTF-16 byte-order mark: the file was saved as another kind of text.
  [[nodiscard]] bool startsWithByteOrderMark() const;
};
ResultOf<TextFileEnds> ReadTextFileEnds(const std::string& path);

}  // namespace tarvo
