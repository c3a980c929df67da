#pragma once

// Reading a file's lines in blocks, without holding the file in memory: for indexing a whole
// log (the memory in use stays a block, whatever the file's size) and for a table's first line.
//
// Threading: safe from any thread; `cancelled` is polled between blocks.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "base/result.h"
#include "viewer/line_chunk.h"

namespace tarvo {

// Takes each chunk of lines; false stops the reading.
using ChunkSink = std::function<bool(LineChunk&& chunk)>;

// Reads the lines of [from, to) of the file at `path`; `to` counts as the file's end, so a last
// line without a line end is a line. One chunk per block read.
Result ReadLineChunks(const std::string& path, std::uint64_t from, std::uint64_t to,
                      const ChunkSink& sink, const std::atomic<bool>* cancelled = nullptr);

// The first line of a file, read alone (an empty file gives an empty line).
ResultOf<std::string> ReadFirstLine(const std::string& path);

}  // namespace tarvo
