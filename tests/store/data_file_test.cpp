#include "store/data_file.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "support/opened.h"

namespace tarvo {
namespace {

using test::OrNull;

using test::TempFolder;

std::vector<std::string> AllLines(const std::string& path, std::vector<int>* counts = nullptr) {
  DataFilePtr file = OrNull(OpenDataFile(path, "R", 0));
  EXPECT_TRUE(file);
  std::vector<std::string> lines;
  if (!file) return lines;
  std::string line;
  int counted = 0;
  while ((counted = ReadLine(*file, line)) >= 0) {
    lines.push_back(line);
    if (counts != nullptr) counts->push_back(counted);
  }
  EXPECT_TRUE(file->atEnd);
  EXPECT_EQ(file->lineCount, static_cast<int>(lines.size()));
  EXPECT_EQ(ReadLine(*file, line), -1) << "a finished file stays finished";
  return lines;
}

TextList Keys(const PairList& pairs) {
  TextList keys;
  for (std::size_t i = 0; i < pairs.size(); ++i) keys.emplace_back(pairs.key(i));
  return keys;
}

TextList Values(const PairList& pairs) {
  TextList values;
  for (std::size_t i = 0; i < pairs.size(); ++i) values.emplace_back(pairs.value(i));
  return values;
}

PairList MakePairs(const TextList& keys, const TextList& values) {
  PairList pairs;
  for (std::size_t i = 0; i < keys.size(); ++i) pairs.add(keys[i], values[i]);
  return pairs;
}

struct LineEndCase {
  std::string bytes;
  std::vector<std::string> lines;
};

TEST(DataFileRead, EveryLineEndRuleGivesTheSameLines) {
  const std::vector<LineEndCase> cases = {
      {"", {}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\n\rb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\r\n\rb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"\n", {""}},
      {"only", {"only"}},
      {"Ä\xC3\xB6 ü\r\n", {"Ä\xC3\xB6 ü"}},
  };
  TempFolder folder;
  for (const LineEndCase& c : cases) {
    folder.put("lines.txt", c.bytes);
    EXPECT_EQ(AllLines(folder.file("lines.txt")), c.lines) << "bytes: " << testing::PrintToString(c.bytes);
  }
}

TEST(DataFileRead, NulBytesAreCountedButDropped) {
  TempFolder folder;
  folder.put("nul.txt", std::string("a\0b\r\n\0\0\nend\0", 12));
  std::vector<int> counts;
  EXPECT_EQ(AllLines(folder.file("nul.txt"), &counts), (std::vector<std::string>{"ab", "", "end"}));
  EXPECT_EQ(counts, (std::vector<int>{3, 2, 4}));
}

TEST(DataFileRead, EmptyFileIsAtEndAtOnceAndMissingFileDoesNotOpen) {
  TempFolder folder;
  folder.put("empty.txt", "");
  DataFilePtr file = OrNull(OpenDataFile(folder.file("empty.txt"), "R", 0));
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->atEnd);
  std::string line = "untouched";
  EXPECT_EQ(ReadLine(*file, line), -1);
  EXPECT_FALSE(OpenDataFile(folder.file("missing.txt"), "R", 0));
  EXPECT_FALSE(OpenDataFile(folder.path(), "R", 0)) << "a folder is no data file";
  EXPECT_FALSE(OpenDataFile(folder.file("x.txt"), "Q", 0)) << "unknown mode";
  EXPECT_FALSE(folder.has("x.txt"));
}

TEST(DataFileRead, ReaderSeesTheContentAsItWasAtOpen) {
  TempFolder folder;
  folder.put("log.txt", "one\r\n");
  DataFilePtr file = OrNull(OpenDataFile(folder.file("log.txt"), "r", 0));  // modes in any case
  ASSERT_TRUE(file);
  folder.put("log.txt", "changed\r\nmore\r\n");
  std::string line;
  EXPECT_EQ(ReadLine(*file, line), 3);
  EXPECT_EQ(line, "one");
  EXPECT_EQ(ReadLine(*file, line), -1);
}

TEST(DataFileWrite, WriteModeRecreatesAndWritesCrLfLines) {
  TempFolder folder;
  folder.put("out.txt", "old content that must go\r\n");
  DataFilePtr file = OrNull(OpenDataFile(folder.file("out.txt"), "W", 0));
  ASSERT_TRUE(file);
  EXPECT_TRUE(WriteLine(*file, "first"));
  EXPECT_TRUE(WritePair(*file, "key", "a=b"));
  EXPECT_TRUE(WriteRaw(*file, "raw", 3));
  EXPECT_EQ(file->size, 7u + 9u + 3u);
  CloseDataFile(file);
  EXPECT_FALSE(file);
  EXPECT_EQ(folder.read("out.txt"), "first\r\nkey=a=b\r\nraw");
  EXPECT_EQ(folder.names(), std::vector<std::string>{"out.txt"}) << "no backup was asked for";
}

TEST(DataFileWrite, LongPairLinesAreWrittenWhole) {
  TempFolder folder;
  const std::string value(10000, 'v');
  DataFilePtr file = OrNull(OpenDataFile(folder.file("long.txt"), "W", 0));
  PairList pairs;
  pairs.add("k", value);
  ASSERT_TRUE(WritePairs(*file, pairs));
  CloseDataFile(file);
  file = OrNull(OpenDataFile(folder.file("long.txt"), "R", 0));
  ReadPairs(*file, pairs);
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_EQ(pairs.value(0), value);
}

TEST(DataFileWrite, AppendModeKeepsContentAndWritesAtTheEnd) {
  TempFolder folder;
  folder.put("a.txt", "one\r\n");
  DataFilePtr file = OrNull(OpenDataFile(folder.file("a.txt"), "A", 2));
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->atEnd);
  EXPECT_EQ(file->contentView(), "one\r\n");
  EXPECT_TRUE(WriteLine(*file, "two"));
  CloseDataFile(file);
  EXPECT_EQ(folder.read("a.txt"), "one\r\ntwo\r\n");
  EXPECT_EQ(folder.read("a(1).txt"), "one\r\n") << "append takes a backup first";

  DataFilePtr created = OrNull(OpenDataFile(folder.file("new.txt"), "A", 2));
  ASSERT_TRUE(created);
  EXPECT_TRUE(WriteLine(*created, "x"));
  created.reset();  // going out of scope closes the file too
  EXPECT_EQ(folder.read("new.txt"), "x\r\n");
}

TEST(DataFilePairs, PlainFilesTrimAndSkipEmptyKeys) {
  TempFolder folder;
  folder.put("p.txt",
             "  name  =  Ann Lee  \r\n"
             "=x\r\n"
             "   =y\r\n"
             "noequals\r\n"
             "a=b=c\r\n"
             "tab\tvalue\r\n"
             "\"quoted=key\"=v\r\n"
             "\r\n"
             "Äö=ü\r\n");
  DataFilePtr file = OrNull(OpenDataFile(folder.file("p.txt"), "R", 0));
  PairList pairs = MakePairs({"stale"}, {"stale"});
  ReadPairs(*file, pairs);
  EXPECT_EQ(Keys(pairs), (TextList{"name", "noequals", "a", "tab", "quoted=key", "Äö"}));
  EXPECT_EQ(Values(pairs), (TextList{"Ann Lee", "", "b=c", "value", "v", "ü"}));
  EXPECT_EQ(pairs.valueOf("a"), "b=c");
  EXPECT_EQ(pairs.valueOf("missing", "fallback"), "fallback");
  EXPECT_TRUE(file->atEnd);
  std::string line;
  EXPECT_EQ(ReadLine(*file, line), -1);
}

TEST(DataFileSecure, RoundTripKeepsBlanksAndReadsOnlyUnderItsOwnName) {
  TempFolder folder;
  const TextList keys = {" spaced ", "empty", "Päivä", "long"};
  const TextList values = {" both ends ", "", "ünïcode=x", std::string(100, 'z')};
  DataFilePtr out = OrNull(OpenSecureFile(folder.file("Install.dat"), "W", 0));
  ASSERT_TRUE(out);
  ASSERT_TRUE(WriteSecurePairs(*out, MakePairs(keys, values)));
  CloseDataFile(out);

  const std::string bytes = folder.read("Install.dat");
  EXPECT_EQ(bytes.substr(0, 8), "QZENCR01");
  EXPECT_EQ(bytes.find("both ends"), std::string::npos) << "the body is scrambled";

  DataFilePtr in = OrNull(OpenSecureFile(folder.file("Install.dat"), "R", 0));
  ASSERT_TRUE(in);
  PairList read;
  ReadPairs(*in, read);
  EXPECT_EQ(Keys(read), keys);
  EXPECT_EQ(Values(read), values);

  folder.put("Copy.dat", bytes);
  DataFilePtr copy = OrNull(OpenSecureFile(folder.file("Copy.dat"), "R", 0));
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->contentView().find("both ends"), std::string::npos)
      << "under another name the body reads back as garbage";
  EXPECT_EQ(copy->size, bytes.size() - 8);
}

TEST(DataFileSecure, ScrambleKeyCountsOnAcrossLines) {
  TempFolder folder;
  DataFilePtr out = OrNull(OpenSecureFile(folder.file("k.dat"), "W", 0));
  ASSERT_TRUE(WriteSecurePairs(*out, MakePairs({"a", "b"}, {"1", "2"})));
  CloseDataFile(out);
  const std::string bytes = folder.read("k.dat");
  const std::string key = ScrambleKey(folder.file("k.dat"));
  ASSERT_EQ(key.size(), 33u);
  EXPECT_EQ(key.substr(0, 5), "k.dat");
  const std::string plain = "a=1\r\nb=2\r\n";
  ASSERT_EQ(bytes.size(), 8 + plain.size());
  for (std::size_t i = 0; i < plain.size(); ++i) {
    EXPECT_EQ(static_cast<char>(bytes[8 + i] ^ key[i % 33]), plain[i]) << "byte " << i;
  }
}

TEST(DataFileSecure, PlainAndShortFilesAreServedAsTheyAre) {
  TempFolder folder;
  folder.put("plain.txt", " k = v \r\n");
  DataFilePtr plain = OrNull(OpenSecureFile(folder.file("plain.txt"), "R", 0));
  ASSERT_TRUE(plain);
  PairList pairs;
  ReadPairs(*plain, pairs);
  EXPECT_EQ(Keys(pairs), TextList{" k "}) << "secure files are never trimmed";
  EXPECT_EQ(Values(pairs), TextList{" v "});

  folder.put("short.txt", "QZENCR0");  // the header needs eight bytes
  DataFilePtr shortFile = OrNull(OpenSecureFile(folder.file("short.txt"), "R", 0));
  ASSERT_TRUE(shortFile);
  EXPECT_EQ(shortFile->contentView(), "QZENCR0");

  folder.put("headeronly.dat", "QZENCR01");
  DataFilePtr headerOnly = OrNull(OpenSecureFile(folder.file("headeronly.dat"), "R", 0));
  ASSERT_TRUE(headerOnly);
  EXPECT_TRUE(headerOnly->atEnd);
  EXPECT_EQ(headerOnly->size, 0u);
}

TEST(DataFileWholeFile, AppendLineAndLoadLines) {
  TempFolder folder;
  const std::string log = folder.file("MainLog.txt");
  EXPECT_TRUE(AppendLine(log, "first"));
  EXPECT_TRUE(AppendLine(log, "sëcond"));
  EXPECT_EQ(folder.read("MainLog.txt"), "first\r\nsëcond\r\n");
  TextList lines = {"stale"};
  EXPECT_TRUE(LoadLines(log, lines));
  EXPECT_EQ(lines, (TextList{"first", "sëcond"}));
  EXPECT_FALSE(LoadLines(folder.file("none.txt"), lines));
  EXPECT_FALSE(AppendLine(folder.file("no/such/folder.txt"), "x"));
}

}  // namespace
}  // namespace tarvo
