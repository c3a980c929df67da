#include "store/pair_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "store/file_system.h"
#include "store/line_scan.h"
#include "store/line_split.h"

namespace tarvo {
namespace {

constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

// Where the complete lines of a block end: past the last CR or LF that is not the block's last
// byte (that one may have its partner in the next block). 0 when there is none.
std::size_t CompleteLinesEnd(const char* bytes, std::size_t size) {
  for (std::size_t at = size < 2 ? 0 : size - 1; at-- > 0;) {
    if (bytes[at] == '\r' || bytes[at] == '\n') return at + 1;
  }
  return 0;
}

// Walks the complete lines of a block; returns where the unfinished rest begins.
class BlockParser {
 public:
  explicit BlockParser(const PairVisitor& visit) : visit_(visit) {}

  std::size_t parse(const char* bytes, std::size_t size, bool last) {
    const std::size_t limit = last ? size : CompleteLinesEnd(bytes, size);
    std::size_t position = 0;
    while (position < limit && !stopped_) {
      std::size_t counted = 0;
      const std::string_view line = TakeLine(bytes, size, position, scratch_, counted);
      ++lines_;
      SplitResult pair = SplitPair(line, '=', joinedKey_);
      pair.key = TrimBlanks(pair.key);
      pair.value = TrimBlanks(pair.value);
      if (pair.key.compare(" ") > 0 && !visit_(pair.key, pair.value, lines_)) stopped_ = true;
    }
    return position;
  }
  [[nodiscard]] bool stopped() const { return stopped_; }
  [[nodiscard]] std::size_t lines() const { return lines_; }

 private:
  const PairVisitor& visit_;
  std::string scratch_;
  std::string joinedKey_;
  std::size_t lines_ = 0;
  bool stopped_ = false;
};

}  // namespace

Result ForEachPair(const std::string& path, const PairVisitor& visit) {
  return ForEachPairBetween(path, 0, UINT64_MAX, visit);
}

Result ForEachPairBetween(const std::string& path, std::uint64_t from, std::uint64_t to, const PairVisitor& visit,
                          std::size_t* lines) {
  FileSystem& files = fileSystem();
  ResultOf<FileHandle> file = files.open(path, OpenIntent::Read);
  if (!file) return file.status();
  BlockParser parser(visit);
  std::vector<char> buffer(kBlockBytes);
  std::size_t filled = 0;
  std::uint64_t offset = from;
  for (;;) {
    if (filled == buffer.size()) buffer.resize(buffer.size() * 2);  // one very long line
    const std::size_t room = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size() - filled, to - offset));
    const ResultOf<std::size_t> got = room == 0 ? ResultOf<std::size_t>(std::size_t{0})
                                                : files.readAt(*file, offset, buffer.data() + filled, room);
    if (!got) return got.status();
    offset += *got;
    filled += *got;
    const bool last = *got == 0;
    const std::size_t used = parser.parse(buffer.data(), filled, last);
    if (lines != nullptr) *lines = parser.lines();
    if (last || parser.stopped()) return {};
    std::memmove(buffer.data(), buffer.data() + used, filled - used);
    filled -= used;
  }
}

bool TextFileEnds::startsWithByteOrderMark() const {
  return head.starts_with("\xEF\xBB\xBF") || head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF");
}

ResultOf<TextFileEnds> ReadTextFileEnds(const std::string& path) {
  FileSystem& files = fileSystem();
  ResultOf<FileHandle> file = files.open(path, OpenIntent::Read);
  if (!file) return file.status();
  const std::optional<FileStamp> stamp = files.stamp(path);
  if (!stamp) return Result::Failure("cannot reach " + path);
  TextFileEnds ends;
  ends.size = stamp->size;
  char head[4] = {};
  const ResultOf<std::size_t> got = files.readAt(*file, 0, head, sizeof head);
  if (!got) return got.status();
  ends.head.assign(head, *got);
  if (ends.size > 0) {
    const ResultOf<std::size_t> last = files.readAt(*file, ends.size - 1, &ends.last, 1);
    if (!last) return last.status();
  }
  return ends;
}

std::size_t ForEachPairIn(std::string_view bytes, const PairVisitor& visit) {
  BlockParser parser(visit);
  parser.parse(bytes.data(), bytes.size(), true);
  return parser.lines();
}

}  // namespace tarvo
