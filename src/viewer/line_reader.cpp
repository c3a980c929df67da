#include "viewer/line_reader.h"

#include <algorithm>
#include <vector>

#include "store/file_system.h"

namespace tarvo {
namespace {

constexpr std::size_t kBlockBytes = std::size_t{4} << 20;
constexpr std::size_t kFirstLineBlock = 4096;

}  // namespace

Result ReadLineChunks(const std::string& path, std::uint64_t from, std::uint64_t to,
                      const ChunkSink& sink, const std::atomic<bool>* cancelled) {
  FileSystem& files = fileSystem();
  ResultOf<FileHandle> file = files.open(path, OpenIntent::Read);
  if (!file) return file.status();
  std::vector<char> block(kBlockBytes);
  std::uint64_t at = from;
  while (at < to) {
    if (cancelled != nullptr && cancelled->load(std::memory_order_relaxed)) return {};
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), to - at));
    ResultOf<std::size_t> got = files.readAt(*file, at, block.data(), wanted);
    if (!got) return got.status();
    const bool atEnd = *got < wanted || at + *got >= to;  // a file cut short ends where it ends
    LineChunk chunk;
    const std::size_t used = ScanLines(block.data(), block.data() + *got, atEnd, chunk);
    at += used;
    chunk.end = at;
    if (used == 0 && !atEnd) {
      block.resize(block.size() * 2);  // a line longer than the block
      continue;
    }
    if (!chunk.lengths.empty() && !sink(std::move(chunk))) return {};
    if (atEnd) break;
  }
  return {};
}

ResultOf<std::string> ReadFirstLine(const std::string& path) {
  FileSystem& files = fileSystem();
  ResultOf<FileHandle> file = files.open(path, OpenIntent::Read);
  if (!file) return file.status();
  std::string bytes;
  for (std::size_t block = kFirstLineBlock;; block *= 2) {
    bytes.resize(block);
    ResultOf<std::size_t> got = files.readAt(*file, 0, bytes.data(), block);
    if (!got) return got.status();
    const bool atEnd = *got < block;
    LineChunk chunk;
    ScanLines(bytes.data(), bytes.data() + *got, atEnd, chunk);
    if (!chunk.lengths.empty()) {
      if (!chunk.cleanTexts.empty() && chunk.cleanTexts.front().first == 0) return chunk.cleanTexts.front().second;
      bytes.resize(chunk.lengths.front());
      return bytes;
    }
    if (atEnd) return std::string();
  }
}

}  // namespace tarvo
