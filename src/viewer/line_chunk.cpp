#include "viewer/line_chunk.h"

#include "store/line_scan.h"

namespace tarvo {

void AddChunk(LineIndex& index, const LineChunk& chunk) {
  auto clean = chunk.cleanTexts.begin();
  for (std::size_t i = 0; i < chunk.size(); ++i) {
    index.add(chunk.lengths[i], chunk.endLengths[i]);
    if (clean != chunk.cleanTexts.end() && clean->first == i) {
      index.setCleanText(clean->second);
      ++clean;
    }
  }
}

std::size_t ScanLines(const char* begin, const char* end, bool atFileEnd, LineChunk& chunk) {
  const char* at = begin;
  while (at < end) {
    const char* stop = FindLineStop(at, end);
    std::string clean;
    bool hasNul = false;
    if (stop < end && *stop == '\0') {
      hasNul = true;
      clean.assign(at, stop);
      while (stop < end && *stop != '\r' && *stop != '\n') {
        if (*stop != '\0') clean.push_back(*stop);
        ++stop;
      }
    }
    // A CR or LF as the last byte may still get its partner from the next bytes.
    if (!atFileEnd && (stop >= end || stop + 1 >= end)) break;
    const char* next = SkipLineEnd(stop, end);
    if (hasNul) chunk.cleanTexts.emplace_back(chunk.size(), std::move(clean));
    chunk.lengths.push_back(static_cast<std::uint64_t>(stop - at));
    chunk.endLengths.push_back(static_cast<std::uint8_t>(next - stop));
    at = next;
  }
  return static_cast<std::size_t>(at - begin);
}

}  // namespace tarvo
