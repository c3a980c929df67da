#include "store/pair_stream.h"

#include <gtest/gtest.h>

#include <tuple>

#include "store/data_file.h"
#include "store/line_split.h"
#include "store/pair_file.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// The pairs and line numbers the streaming reader gives for a file.
Pairs Streamed(const std::string& path, std::vector<std::size_t>* lines = nullptr) {
  Pairs pairs;
  const Result read = ForEachPair(path, [&](std::string_view key, std::string_view value, std::size_t line) {
    pairs.emplace_back(key, value);
    if (lines != nullptr) lines->push_back(line);
    return true;
  });
  EXPECT_TRUE(read) << read.reason();
  return pairs;
}

// What the whole-file reader gives, the reference the streaming reader must match, with the
// line of each pair as the data file's line reader counts them.
Pairs Whole(const std::string& path, std::vector<std::size_t>* lines) {
  PairList list;
  EXPECT_TRUE(LoadPairFile(path, list));
  Pairs pairs;
  for (std::size_t i = 0; i < list.size(); ++i) pairs.emplace_back(list.key(i), list.value(i));
  ResultOf<DataFilePtr> file = OpenDataFile(path, "R", 0);
  std::string line;
  std::string joined;
  while (file && ReadLine(**file, line) >= 0) {
    if (TrimBlanks(SplitPair(line, '=', joined).key).compare(" ") > 0) lines->push_back(static_cast<std::size_t>((*file)->lineCount));
  }
  return pairs;
}

// Block boundaries fall at every megabyte: a line end split across one (CR | LF, LF | CR),
// a line longer than a block, NUL bytes, a quoted key and a last line without a line end all
// read as the whole-file reader reads them, with the same line numbers.
TEST(PairStream, ReadsAsTheWholeFileReaderAcrossBlockBoundaries) {
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  const auto filler = [](std::size_t size) {
    std::string bytes;
    for (int i = 0; bytes.size() < size; ++i) bytes += "k" + std::to_string(i) + " = value " + std::to_string(i) + "\r\n";
    bytes.resize(size);
    return bytes;
  };
  std::vector<std::string> files;
  // The separator's first byte is the last of the first block.
  for (const char* split : {"\r\n", "\n\r", "\r\r", "\n\n"}) {
    files.push_back(filler(kBlock - 7) + "\r\nab=c" + split + "\"quoted key\"=x\r\nlast=y");
  }
  files.push_back(filler(3000) + "\r\nlong=" + std::string(kBlock * 2 + 7, 'x') + "\r\nafter=1\r\n");
  files.push_back(std::string("a\0b=c\0d\r\n=empty key\r\nno separator\r\n\tkey\t=v", 40));
  files.push_back("");

  test::TempFolder folder;
  for (std::size_t i = 0; i < files.size(); ++i) {
    folder.put("p.txt", files[i]);
    std::vector<std::size_t> lines;
    std::vector<std::size_t> expectedLines;
    const Pairs streamed = Streamed(folder.file("p.txt"), &lines);
    ASSERT_EQ(streamed, Whole(folder.file("p.txt"), &expectedLines)) << "file " << i;
    EXPECT_EQ(lines, expectedLines) << "file " << i;
  }

  // It stops when asked, and reports a missing file.
  folder.put("p.txt", "a=1\r\nb=2\r\nc=3\r\n");
  std::vector<std::string> seen;
  ASSERT_TRUE(ForEachPair(folder.file("p.txt"), [&](std::string_view key, std::string_view, std::size_t) {
    seen.emplace_back(key);
    return key != "b";
  }));
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
  const Result missing = ForEachPair(folder.file("none.txt"), [](auto, auto, auto) { return true; });
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.reason().find("none.txt"), std::string::npos);
}

TEST(LineSplit, SplitPairAndSplitDelimitedRules) {
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"key=value", "key", "value"}, {"key=a=b", "key", "a=b"}, {"noequals", "noequals", ""}, {"=x", "", "x"},
      {"", "", ""}, {"k\tv=w", "k", "\tv=w"}, {"\"a=b\"=c", "a=b", "c"}, {"\"a b\"c=d", "a bc", "d"},
      {"\"unclosed=x", "unclosed=x", ""}, {" k = v ", " k ", " v "}, {"ключ=значение", "ключ", "значение"},
  };
  for (const auto& [text, key, value] : cases) {
    std::string splitKey = "stale", splitValue = "stale";
    SplitPair(text, '=', splitKey, splitValue);
    EXPECT_EQ(std::pair(splitKey, splitValue), std::pair(key, value)) << text;
  }

  const std::vector<std::tuple<std::string, char, std::vector<std::string>>> delimited = {
      {"a,,b,", ',', {"a", "", "b"}}, {"", ',', {""}}, {"   ", ',', {""}}, {"  a , b ,c", ',', {"a", "b", "c"}},
      {"\"x, y\",z", ',', {"x, y", "z"}}, {"\" keep \"dropped,next", ',', {" keep ", "next"}},
      {"\"no close, at all", ',', {"no close, at all"}}, {"\"\",\"\"", ',', {"", ""}},
      {"1;2;;", ';', {"1", "2", ""}}, {",", ',', {""}}, {",a", ',', {"", "a"}}, {"a\tb", '\t', {"a", "b"}},
      {"a, ", ',', {"a"}},
  };
  for (const auto& [text, separator, expected] : delimited) {
    std::vector<std::string> fields = {"stale"};
    SplitDelimited(text, fields, separator);
    EXPECT_EQ(fields, expected) << text;
  }
}

}  // namespace
}  // namespace tarvo
