#include "store/data_file.h"

#include <gtest/gtest.h>

#include "support/opened.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::OrNull;
using test::TempFolder;
using Pairs = std::vector<std::pair<std::string, std::string>>;

// Every line of a file with the bytes each took, checking the reader's state on the way.
std::vector<std::string> AllLines(const std::string& path, std::vector<int>& counts) {
  DataFilePtr file = OrNull(OpenDataFile(path, "R", 0));
  EXPECT_TRUE(file);
  std::vector<std::string> lines;
  if (!file) return lines;
  EXPECT_EQ(file->atEnd, test::ReadBytes(path).empty()) << "only an empty file is at its end at once";
  std::string line;
  for (std::int64_t counted = 0; (counted = ReadLine(*file, line)) >= 0;) {
    lines.push_back(line);
    counts.push_back(static_cast<int>(counted));
  }
  EXPECT_TRUE(file->atEnd);
  EXPECT_EQ(file->lineCount, static_cast<int>(lines.size()));
  EXPECT_EQ(ReadLine(*file, line), -1) << "a finished file stays finished";
  return lines;
}

// Every pair of a file, read into a list that held something before.
PairList ReadAll(const std::string& path, bool secure = false) {
  PairList pairs;
  pairs.add("stale", "stale");
  DataFilePtr file = OrNull(secure ? OpenSecureFile(path, "R", 0) : OpenDataFile(path, "R", 0));
  EXPECT_TRUE(file) << path;
  if (!file) return pairs;
  ReadPairs(*file, pairs);
  std::string line;
  EXPECT_TRUE(file->atEnd);
  EXPECT_EQ(ReadLine(*file, line), -1);
  return pairs;
}

Pairs Of(const PairList& list) {
  Pairs pairs;
  for (std::size_t i = 0; i < list.size(); ++i) pairs.emplace_back(list.key(i), list.value(i));
  return pairs;
}

PairList MakePairs(const Pairs& pairs) {
  PairList list;
  for (const auto& [key, value] : pairs) list.add(key, value);
  return list;
}

bool WriteSecure(const std::string& path, const Pairs& pairs) {
  DataFilePtr out = OrNull(OpenSecureFile(path, "W", 0));
  return out && WriteSecurePairs(*out, MakePairs(pairs));  // closed as it goes out of scope
}

struct LineCase {
  std::string bytes;
  std::vector<std::string> lines;
  std::vector<int> counts = {};  // the bytes each line took, where a case checks them
};

// Every line end rule gives the same lines; NUL bytes are counted but dropped; a reader sees
// the content as it was when opened; only files open, in a known mode.
TEST(DataFileRead, EveryLineEndRuleGivesTheSameLinesFromTheContentAsItWasAtOpen) {
  const std::vector<LineCase> cases = {
      {"", {}}, {"only", {"only"}}, {"\r\n", {""}}, {"\n", {""}},
      {"a\r\nb", {"a", "b"}}, {"a\r\nb\r\n", {"a", "b"}}, {"a\n\rb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}}, {"a\rb\r", {"a", "b"}},
      {"a\r\rb", {"a", "", "b"}}, {"a\n\nb", {"a", "", "b"}}, {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\r\n\rb", {"a", "", "b"}},
      {"Ä\xC3\xB6 ü\r\n", {"Ä\xC3\xB6 ü"}},
      {std::string("a\0b\r\n\0\0\nend\0", 12), {"ab", "", "end"}, {3, 2, 4}},
  };
  TempFolder folder;
  for (const LineCase& c : cases) {
    folder.put("lines.txt", c.bytes);
    std::vector<int> counts;
    EXPECT_EQ(AllLines(folder.file("lines.txt"), counts), c.lines) << testing::PrintToString(c.bytes);
    if (!c.counts.empty()) {
      EXPECT_EQ(counts, c.counts) << testing::PrintToString(c.bytes);
    }
  }

  folder.put("log.txt", "one\r\n");
  DataFilePtr file = OrNull(OpenDataFile(folder.file("log.txt"), "r", 0));  // modes in any case
  ASSERT_TRUE(file);
  folder.put("log.txt", "changed\r\nmore\r\n");
  std::string line;
  EXPECT_EQ(ReadLine(*file, line), 3);
  EXPECT_EQ(line, "one");
  EXPECT_EQ(ReadLine(*file, line), -1);

  EXPECT_FALSE(OpenDataFile(folder.file("missing.txt"), "R", 0));
  EXPECT_FALSE(OpenDataFile(folder.path(), "R", 0)) << "a folder is no data file";
  EXPECT_FALSE(OpenDataFile(folder.file("x.txt"), "Q", 0)) << "unknown mode";
  EXPECT_FALSE(folder.has("x.txt"));
}

// Write mode recreates the file and writes CR LF lines of any length; append mode keeps the
// content (taking a backup first) and writes at the end, creating a missing file.
TEST(DataFileWrite, WriteModeRecreatesAndAppendModeKeepsTheContent) {
  TempFolder folder;
  folder.put("out.txt", "old content that must go\r\n");
  const std::string value(10000, 'v');
  DataFilePtr file = OrNull(OpenDataFile(folder.file("out.txt"), "W", 0));
  ASSERT_TRUE(file);
  EXPECT_TRUE(WriteLine(*file, "first"));
  EXPECT_TRUE(WritePair(*file, "key", "a=b"));
  EXPECT_TRUE(WritePairs(*file, MakePairs({{"k", value}})));
  EXPECT_TRUE(WriteRaw(*file, "raw", 3));
  EXPECT_EQ(file->size, 7u + 9u + 10004u + 3u);
  CloseDataFile(file);
  EXPECT_FALSE(file);
  EXPECT_EQ(folder.read("out.txt"), "first\r\nkey=a=b\r\nk=" + value + "\r\nraw");
  EXPECT_EQ(folder.names(), std::vector<std::string>{"out.txt"}) << "no backup was asked for";
  EXPECT_EQ(Of(ReadAll(folder.file("out.txt"))),
            (Pairs{{"first", ""}, {"key", "a=b"}, {"k", value}, {"raw", ""}}));

  folder.put("a.txt", "one\r\n");
  DataFilePtr appended = OrNull(OpenDataFile(folder.file("a.txt"), "A", 2));
  ASSERT_TRUE(appended);
  EXPECT_TRUE(appended->atEnd);
  EXPECT_EQ(appended->contentView(), "one\r\n");
  EXPECT_TRUE(WriteLine(*appended, "two"));
  CloseDataFile(appended);
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
  folder.put("p.txt", "  name  =  Ann Lee  \r\n=x\r\n   =y\r\nnoequals\r\na=b=c\r\ntab\tvalue\r\n"
                      "\"quoted=key\"=v\r\n\r\nÄö=ü\r\n");
  const PairList pairs = ReadAll(folder.file("p.txt"));
  EXPECT_EQ(Of(pairs), (Pairs{{"name", "Ann Lee"}, {"noequals", ""}, {"a", "b=c"}, {"tab", "value"},
                              {"quoted=key", "v"}, {"Äö", "ü"}}));
  EXPECT_EQ(pairs.valueOf("a"), "b=c");
  EXPECT_EQ(pairs.valueOf("missing", "fallback"), "fallback");
}

// A secure file is its header and then its lines scrambled with a key made from its own name,
// counting on across lines; blanks come back as written, and under another name the body
// reads back as garbage. Plain and short files are served as they are.
TEST(DataFileSecure, ScrambledWithItsOwnNameAndReadBackWholeOnlyUnderIt) {
  TempFolder folder;
  const Pairs pairs = {{" spaced ", " both ends "}, {"empty", ""}, {"Päivä", "ünïcode=x"},
                       {"long", std::string(100, 'z')}};
  ASSERT_TRUE(WriteSecure(folder.file("Install.dat"), pairs));
  const std::string bytes = folder.read("Install.dat");
  EXPECT_EQ(bytes.substr(0, 8), "QZENCR01");
  EXPECT_EQ(bytes.find("both ends"), std::string::npos) << "the body is scrambled";
  const std::string key = ScrambleKey(folder.file("Install.dat"));
  ASSERT_EQ(key.size(), 33u);
  EXPECT_EQ(key.substr(0, 11), "Install.dat");
  std::string plain;
  for (const auto& [name, value] : pairs) plain += name + "=" + value + "\r\n";
  ASSERT_EQ(bytes.size(), 8 + plain.size());
  for (std::size_t i = 0; i < plain.size(); ++i) {
    EXPECT_EQ(static_cast<char>(bytes[8 + i] ^ key[i % 33]), plain[i]) << "byte " << i;
  }
  EXPECT_EQ(Of(ReadAll(folder.file("Install.dat"), true)), pairs);

  folder.put("Copy.dat", bytes);
  DataFilePtr copy = OrNull(OpenSecureFile(folder.file("Copy.dat"), "R", 0));
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->contentView().find("both ends"), std::string::npos)
      << "under another name the body reads back as garbage";
  EXPECT_EQ(copy->size, bytes.size() - 8);

  folder.put("plain.txt", " k = v \r\n");
  EXPECT_EQ(Of(ReadAll(folder.file("plain.txt"), true)), (Pairs{{" k ", " v "}}))
      << "secure files are never trimmed";

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
