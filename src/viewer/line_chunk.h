#pragma once

// Lines found in a stretch of a file, on their way into a LineIndex: the indexing thread fills
// a chunk and the user-interface thread adds it, so the view grows while the file is read.
//
// Lines follow the data files' rules: CR LF, LF CR, a lone CR and a lone LF each end one line,
// and NUL bytes are not part of what a line shows.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "viewer/line_index.h"

namespace tarvo {

struct LineChunk {
  std::vector<std::uint64_t> lengths;  // with any NUL bytes
  std::vector<std::uint8_t> endLengths;
  std::vector<std::pair<std::size_t, std::string>> cleanTexts;  // by line within the chunk
  std::uint64_t end = 0;  // the byte after the chunk's last line

  [[nodiscard]] std::size_t size() const { return lengths.size(); }
};

void AddChunk(LineIndex& index, const LineChunk& chunk);

// Finds the complete lines of [begin, end) and appends them to `chunk`. A line is complete when
// its line end is known, or at the end of the file (`atFileEnd`). Returns how many bytes the
// complete lines take: the rest starts a line that the next bytes finish.
std::size_t ScanLines(const char* begin, const char* end, bool atFileEnd, LineChunk& chunk);

}  // namespace tarvo
