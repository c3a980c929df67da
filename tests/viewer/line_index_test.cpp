#include "viewer/line_index.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "store/file_system.h"
#include "support/temp_folder.h"
#include "viewer/line_chunk.h"
#include "viewer/line_reader.h"
#include "viewer/text_document.h"

namespace tarvo {
namespace {

using test::TempFolder;
using Texts = std::vector<std::string>;

Texts LinesOf(const TextDocument& document) {
  Texts lines;
  for (std::size_t i = 0; i < document.lineCount(); ++i) lines.emplace_back(document.line(i));
  return lines;
}

// Spans cross groups and long lines are kept aside; every way of asking gives the same spans.
TEST(LineIndex, SpansAcrossGroupsLongLinesAndRemoval) {
  LineIndex index;
  std::vector<LineSpan> expected;
  std::uint64_t at = 0;
  for (std::size_t i = 0; i < 300; ++i) {
    const std::uint64_t length = i == 70 ? 200000 : i == 150 ? 65535 : i % 7;
    const unsigned end = i % 3;
    index.add(length, end);
    expected.push_back({at, length});
    at += length + end;
  }
  ASSERT_EQ(index.size(), 300u);
  EXPECT_EQ(index.end(), at);
  EXPECT_EQ(index.longestLine(), 70u);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(index.span(i).start, expected[i].start) << i;
    EXPECT_EQ(index.span(i).length, expected[i].length) << i;
    EXPECT_EQ(index.endLength(i), i % 3) << i;
    if (i % 3 != 0) {
      EXPECT_EQ(index.lineAt(expected[i].start + expected[i].length), i) << "a line end belongs to its line";
    }
    EXPECT_EQ(index.lineAt(expected[i].start), expected[i].length == 0 && i % 3 == 0 ? i + 1 : i);
  }
  std::size_t visited = 0;
  index.forEach(60, 160, [&](std::size_t line, LineSpan span) {
    EXPECT_EQ(span.start, expected[line].start);
    EXPECT_EQ(span.length, expected[line].length);
    ++visited;
    return true;
  });
  EXPECT_EQ(visited, 100u);
  EXPECT_EQ(index.lineAt(at), 300u);
  LineIndex large;
  for (int i = 0; i < 100000; ++i) large.add(static_cast<std::uint64_t>(80 + i % 40), 2);
  EXPECT_LT(large.memoryBytes(), 100000u * 4) << "a few bytes a line";

  // Removing down to the start of a group and adding again gives the same index.
  for (int i = 0; i < 44; ++i) index.removeLast();
  EXPECT_EQ(index.size(), 256u);
  EXPECT_EQ(index.end(), expected[256].start);
  for (std::size_t i = 256; i < 300; ++i) index.add(expected[i].length, i % 3);
  EXPECT_EQ(index.end(), at);
  EXPECT_EQ(index.span(299).start, expected[299].start);
  EXPECT_EQ(index.endLength(299), 299u % 3);
}

// Lines split the same wherever a block ends: a CR LF cut in two, a NUL line, a last line
// without a line end.
TEST(LineIndex, BlocksSplitLinesAsAWholeFileDoes) {
  const std::string bytes = std::string("one\r\ntwo\n\rthree\r\rfo\0ur\nx\r", 25) + "\nlast";
  const Texts whole{"one", "two", "three", "", "four", "x", "last"};
  for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
    LineChunk first;
    const std::size_t used = ScanLines(bytes.data(), bytes.data() + cut, cut == bytes.size(), first);
    LineChunk rest;
    ScanLines(bytes.data() + used, bytes.data() + bytes.size(), true, rest);
    LineIndex index;
    AddChunk(index, first);
    AddChunk(index, rest);
    Texts lines;
    for (std::size_t i = 0; i < index.size(); ++i) {
      const std::string* clean = index.cleanText(i);
      const LineSpan span = index.span(i);
      lines.push_back(clean != nullptr ? *clean : bytes.substr(span.start, span.length));
    }
    EXPECT_EQ(lines, whole) << "cut at " << cut;
  }
}

// Counts the bytes read, to show what is read and what is not.
class CountingFileSystem : public FileSystem {
 public:
  ResultOf<std::size_t> readAt(const FileHandle& file, std::uint64_t offset, char* data, std::size_t size) override {
    ResultOf<std::size_t> got = FileSystem::readAt(file, offset, data, size);
    if (got) read += *got;
    return got;
  }
  Result readAll(const FileHandle& file, ByteBuffer& into) override {
    Result done = FileSystem::readAll(file, into);
    read += into.size();
    return done;
  }
  std::atomic<std::size_t> read{0};
};

TEST(LineReader, TheFirstLineIsReadAloneAndChunksCoverTheRest) {
  TempFolder folder;
  std::string bytes = "id,name,\"a, b\"\r\n";
  while (bytes.size() < (std::size_t{9} << 20)) bytes += "12345,some name,\"x, y\"\r\n";
  bytes += "end";
  folder.put("big.csv", bytes);
  CountingFileSystem counting;
  ScopedFileSystem scoped(counting);
  const ResultOf<std::string> first = ReadFirstLine(folder.file("big.csv"));
  ASSERT_TRUE(first);
  EXPECT_EQ(*first, "id,name,\"a, b\"");
  EXPECT_LE(counting.read.load(), 4096u) << "only the start of the file is read";
  EXPECT_FALSE(ReadFirstLine(folder.file("missing.csv")));
  folder.put("empty.csv", "");
  EXPECT_EQ(*ReadFirstLine(folder.file("empty.csv")), "");

  // Chunks from any offset on a line start give the lines the whole file has.
  TextDocument whole;
  ASSERT_TRUE(whole.load(folder.file("big.csv")));
  LineIndex pieces;
  std::size_t chunks = 0;
  ASSERT_TRUE(ReadLineChunks(folder.file("big.csv"), 0, bytes.size(), [&](LineChunk&& chunk) {
    AddChunk(pieces, chunk);
    EXPECT_EQ(chunk.end, pieces.end());
    ++chunks;
    return true;
  }));
  EXPECT_GT(chunks, 1u);
  ASSERT_EQ(pieces.size(), whole.lineCount());
  EXPECT_EQ(pieces.span(pieces.size() - 1).start, whole.lineStart(whole.lineCount() - 1));
  EXPECT_EQ(whole.line(whole.lineCount() - 1), "end");
}

// A growing file is read from where it ended; a cut or replaced one is seen as rewritten.
TEST(TextDocument, FollowsAppendsAndSeesTruncationAndReplacement) {
  TempFolder folder;
  folder.put("app.log", "first\r\nsecond\r");
  TextDocument document;
  ASSERT_TRUE(document.load(folder.file("app.log")));
  EXPECT_EQ(LinesOf(document), (Texts{"first", "second"}));
  EXPECT_EQ(document.changeOnDisk(), TextDocument::Change::None);

  test::WriteBytes(folder.file("app.log"), "first\r\nsecond\r\n and more\r\nthird");
  // WriteBytes rewrites in place: the same file, longer.
  ASSERT_EQ(document.changeOnDisk(), TextDocument::Change::Grown);
  EXPECT_EQ(document.readAppended(), 1u) << "the line with the lone CR is read again";
  EXPECT_EQ(LinesOf(document), (Texts{"first", "second", " and more", "third"}))
      << "the CR and the LF after it end one line";

  test::WriteBytes(folder.file("app.log"), "new");
  EXPECT_EQ(document.changeOnDisk(), TextDocument::Change::Rewritten) << "cut short";

  ASSERT_TRUE(document.load(folder.file("app.log")));
  folder.put("other.log", "another file, longer than the first");
  ASSERT_EQ(std::rename(folder.file("other.log").c_str(), folder.file("app.log").c_str()), 0);
  EXPECT_EQ(document.changeOnDisk(), TextDocument::Change::Rewritten) << "replaced by a new file";
}

}  // namespace
}  // namespace tarvo
