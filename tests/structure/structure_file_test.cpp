#include "structure/structure_file.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/failing_file_system.h"
#include "store/counter_file.h"
#include "base/clock.h"
#include "structure/tree_build.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::TempFolder;

const QDateTime kNow(QDate(2026, 12, 5), QTime(12, 0));

// Joins lines with CR LF after each, as the store writes them.
std::string CrLf(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) joined += line + "\r\n";
  return joined;
}

// Every key the program writes appears at least once, in the order it writes them.
const std::vector<std::string> kEveryFieldLines = {
    "uni=STD0001", "text=Työ", "lev=0", "type=1", "exp=Y", "sys=Y", "top=Y", "send=Y",
    "uni=42", "text=Renew insurance = soon", "lev=1", "type=1", "sel=Y", "dac=2", "dam=3",
    "urgent=Y", "fav=Y", "topnode=Y", "ttype=4", "status=2", "oldttype=6", "pri=2", "recur=Y",
    "lock=Y", "dl=Y", "dlDate=20990115", "dlTime=17:30:00", "rsDate=20990115",
    "rsTime=17:30:00", "rno=1", "rtype=3", "calpr=N", "pr%=40", "prog=1", "flno=3",
    "fltyp=2", "auto=Y", "fdate=20251201", "fTime=10:00:00", "cre=20251203-101500",
    "sta=20251204-090000", "from=Ann Lee", "sent=20251205-080000", "durno=2", "durtype=1",
    "uni=43", "text=Meeting", "lev=2", "type=1", "ttype=3", "status=1", "dl=Y",
    "dlDate=20990301", "rtype=0", "fltyp=0", "durtype=0",
    "uni=STD0003", "text=Settings", "lev=0", "type=3",
    "uni=44", "text=Preferences", "lev=1", "type=3", "ttype=2",
};

// Sections with every field at its default: three lines each.
const std::vector<std::string> kDefaultLines = {"uni=1", "text=First", "lev=0", "uni=2", "text=Second", "lev=0"};

// A data folder holding a structure file of `lines` (none when empty).
struct Folder {
  TempFolder folder;
  Structure master;
  TopicTree tree;

  explicit Folder(const std::vector<std::string>& lines = {}) {
    master.path = folder.file("Structure.dat");
    master.uniquePath = folder.file("StructUnique.dat");
    if (!lines.empty()) folder.put("Structure.dat", CrLf(lines));
  }
  StructureLoad load() {
    StructureLoad result = LoadStructure(master);
    if (result.loaded()) BuildTree(master, tree, Moment::At(kNow));
    return result;
  }
  Result save() {
    RebuildFromTree(master, tree);
    return SaveStructure(master);
  }
};

TEST(StructureFile, RoundTripGivesTheSameBytesAndFieldsReadBackAsWritten) {
  for (const auto* lines : {&kEveryFieldLines, &kDefaultLines}) {
    Folder work(*lines);
    ASSERT_TRUE(work.load().loaded());
    ASSERT_TRUE(work.save());
    EXPECT_EQ(work.folder.read("Structure.dat"), CrLf(*lines));
    EXPECT_FALSE(work.master.dirty);
  }

  // Fields as read, before the tree is built; missing lines keep the defaults.
  Folder work(kEveryFieldLines);
  ASSERT_TRUE(LoadStructure(work.master).loaded());
  ASSERT_EQ(work.master.size(), 5u);
  const TopicRecord& task = *work.master.recordOf("42");
  EXPECT_EQ(task.text, "Renew insurance = soon");
  EXPECT_EQ(std::tuple(bool{task.calpr}, bool{task.prog}, task.progress, bool{task.autoFinish}, task.rtype),
            std::tuple(false, true, 40, true, 3));
  const TopicRecord& event = *work.master.recordOf("43");
  EXPECT_EQ(std::tuple(bool{event.calpr}, event.rtype, event.pri), std::tuple(true, 0, 0))
      << "no calpr line reads as on";
  EXPECT_EQ(work.master.recordOf("44")->rtype, -1) << "no rtype line keeps the default";
  EXPECT_EQ(std::tuple(work.master.sendTypes.test(1), work.master.sendTypes.test(3)), std::tuple(true, false));

  // Codes and percentages live in a byte: its ends are kept, numbers beyond read as no number.
  Folder edges({"uni=50", "text=edges", "lev=0", "type=-128", "ttype=127", "pri=300", "pr%=-129",
                "status=99999999999", "durtype=128", "rno=100000"});
  ASSERT_TRUE(LoadStructure(edges.master).loaded());
  const TopicRecord& read = *edges.master.record(0);
  EXPECT_EQ(std::tuple(int{read.type}, int{read.ttype}, int{read.pri}, int{read.progress}, int{read.status},
                       int{read.durtype}, read.rno),
            std::tuple(-128, 127, 0, 0, 0, 0, 100000));
}

// Fields are written only under their conditions; a parent is read (from add-ons) but never
// written; lines before any record and unknown keys are left out.
TEST(StructureFile, WritingFollowsTheConditionsAndAParentIsReadButNeverWritten) {
  Folder work;
  TopicRecord& record = *work.master.adopt(std::make_unique<TopicRecord>("7"));
  record.text = "  padded  ";
  record.dlTime = "10:00:00";  // a time without a date is never written
  record.rsDate = "20260101";
  record.rsTime = "00:00:00";  // midnight means no time
  record.calpr = false;
  record.fltyp = 0;
  record.parent = "3";  // read from add-ons only, never written
  record.ttype = kSectionTopicType;
  ASSERT_TRUE(SaveStructure(work.master));
  EXPECT_EQ(work.folder.read("Structure.dat"),
            CrLf({"uni=7", "text=  padded  ", "lev=0", "rsDate=20260101", "calpr=N", "fltyp=0"}));

  Structure again;
  again.path = work.master.path;
  ASSERT_TRUE(LoadStructure(again).loaded());
  EXPECT_EQ(again.record(0)->text, "padded") << "surrounding blanks are trimmed on reading";

  Folder parents({"ignored=before any record", "uni=9", "text=x", "lev=0", "parent=5", "unknown=kept out"});
  ASSERT_TRUE(parents.load().loaded());
  EXPECT_EQ(parents.master.recordOf("9")->parent, "5");
  ASSERT_TRUE(parents.save());
  EXPECT_EQ(parents.folder.read("Structure.dat"), CrLf({"uni=9", "text=x", "lev=0"}));
}

TEST(StructureFile, EmptyUniDrawsAFreshIdAndFreshCopySetsTheCounter) {
  TempFolder program;
  program.put("Structure.dat", CrLf({"uni=STD0001", "text=Main", "lev=0", "type=1", "uni=5",
                                     "text=a", "lev=1", "uni=17", "text=b", "lev=1", "uni=",
                                     "text=no id yet", "lev=1"}));
  Folder work;
  SetStructurePaths(work.master, work.folder.path(), program.path());
  EXPECT_TRUE(work.master.freshCopy);
  EXPECT_EQ(work.folder.read("Structure.dat"), program.read("Structure.dat"));
  ASSERT_TRUE(LoadStructure(work.master).loaded());
  EXPECT_FALSE(work.master.freshCopy);
  EXPECT_NE(work.master.recordOf("18"), nullptr) << "the empty id came above every id of the file";
  EXPECT_EQ(work.folder.read("StructUnique.dat"), "00000018");
  EXPECT_EQ(NextUnique(work.master).value(), 19);

  Structure second;
  SetStructurePaths(second, work.folder.path(), program.path());
  EXPECT_FALSE(second.freshCopy) << "an existing file is never replaced";
}

// Saving keeps five numbered backups; a save the disk refuses leaves the file and the dirty
// flag as they were.
TEST(StructureFile, SavingKeepsFiveNumberedBackupsAndAFailedSaveLeavesTheFileAndTheDirtyFlag) {
  Folder work(kDefaultLines);
  ASSERT_TRUE(work.load().loaded());
  for (int round = 0; round < 8; ++round) {
    work.master.record(0)->text = "round " + std::to_string(round);
    ASSERT_TRUE(work.save());
  }
  const std::vector<std::string> names = {"Structure(4).dat", "Structure(5).dat", "Structure(6).dat",
                                          "Structure(7).dat", "Structure(8).dat", "Structure.dat",
                                          "Structure.tmp"};
  EXPECT_EQ(work.folder.names(), names);
  EXPECT_NE(work.folder.read("Structure(8).dat").find("round 6"), std::string::npos);
  const std::string saved = work.folder.read("Structure.dat");
  EXPECT_NE(saved.find("round 7"), std::string::npos);

  work.master.record(0)->text = "changed";
  work.master.dirty = true;
  for (const bool failRename : {true, false}) {
    test::FailingFileSystem failing;
    failing.failRename = failRename;
    failing.failWrite = !failRename;
    const ScopedFileSystem scope(failing);
    const Result result = SaveStructure(work.master);
    EXPECT_FALSE(result);
    EXPECT_NE(result.reason().find(failRename ? "Permission denied" : "No space left"), std::string::npos)
        << result.reason();
    EXPECT_TRUE(work.master.dirty);
    EXPECT_EQ(work.folder.read("Structure.dat"), saved);
  }
}

TEST(StructureFile, NonNumericLevelIsReportedAndTheFileLeftAlone) {
  Folder work({"uni=1", "text=ok", "lev=0", "", "uni=2", "text=bad", "lev=one"});
  const std::string damaged = work.folder.read("Structure.dat");
  const StructureLoad result = LoadStructureOrBackup(work.master);
  EXPECT_EQ(result.outcome, StructureLoad::Outcome::Unreadable);
  EXPECT_NE(result.message.find(work.master.path), std::string::npos) << result.message;
  EXPECT_NE(result.message.find("line 7"), std::string::npos) << result.message;
  EXPECT_TRUE(work.master.empty()) << "nothing of a damaged file is half-loaded";
  EXPECT_EQ(work.folder.read("Structure.dat"), damaged);
  EXPECT_EQ(work.folder.names(), std::vector<std::string>{"Structure.dat"});
}

// A file large enough to be read in two parts at once loads as one read would: every record in
// the file's order, ids drawn above the highest of both parts, send types of both; a damaged
// level in the second part is reported at its line in the whole file, and a second part cut
// short after a record's first line is still seen.
TEST(StructureFile, ALargeFileReadInTwoPartsLoadsAsOneRead) {
  constexpr int kTopics = 60000;  // about 5 MB
  std::vector<std::string> lines = {"uni=STD0001", "text=Main", "lev=0", "type=1", "send=Y"};
  for (int i = 1; i <= kTopics; ++i) {
    lines.push_back("uni=" + std::to_string(i));
    lines.push_back("text=Topic " + std::to_string(i) + " with a caption long enough to need the heap");
    lines.push_back("lev=1");
    lines.push_back("type=" + std::string(i == kTopics - 1 ? "3\r\nsend=Y" : "1"));
  }
  lines.push_back("uni=");  // no id: drawn after every id of the file is known
  lines.push_back("lev=1");
  Folder whole(lines);
  ASSERT_GT(whole.folder.read("Structure.dat").size(), std::size_t{4} << 20);
  ASSERT_TRUE(LoadStructure(whole.master).loaded());
  ASSERT_EQ(whole.master.size(), std::size_t{kTopics} + 2);
  for (std::size_t at : {std::size_t{1}, std::size_t{kTopics / 2}, std::size_t{kTopics / 2 + 1}, std::size_t{kTopics}}) {
    const TopicRecord& record = *whole.master.record(at);
    EXPECT_EQ(record.text.str(), "Topic " + std::to_string(at) + " with a caption long enough to need the heap");
  }
  EXPECT_EQ(whole.master.record(kTopics + 1)->uni.str(), std::to_string(kTopics + 1));
  EXPECT_TRUE(whole.master.sendTypes.test(1) && whole.master.sendTypes.test(3)) << "send types of both parts";

  std::vector<std::string> damaged = lines;
  damaged[damaged.size() - 10] = "lev=one";  // a level near the end
  Folder bad(damaged);
  const StructureLoad result = LoadStructure(bad.master);
  EXPECT_EQ(result.outcome, StructureLoad::Outcome::Unreadable);
  EXPECT_NE(result.message.find("line " + std::to_string(damaged.size() - 9) + ":"), std::string::npos)
      << result.message;
  EXPECT_TRUE(bad.master.empty());

  std::vector<std::string> cut(lines.begin(), lines.end() - 1);  // the last record without a level
  Folder shortened(cut);
  EXPECT_EQ(LoadStructure(shortened.master).outcome, StructureLoad::Outcome::Unreadable);
}

// A file that is damaged, empty, cut short (mid-line, or after a record's first lines) or saved
// as another kind of text (a byte-order mark, UTF-16) comes back from the newest backup that
// is whole; a backup cut short is passed over like a damaged one.
TEST(StructureFile, UnreadableOrEmptyFileComesBackFromTheNewestGoodBackup) {
  const std::string whole = CrLf({"uni=1", "text=first", "lev=0", "uni=2", "text=second", "lev=1"});
  const std::vector<std::string> damagedFiles = {
      "uni=1\r\nlev=x\r\n", "", whole.substr(0, whole.size() / 2 + 3),
      whole + "uni=3\r\ntext=cut\r\n", "\xEF\xBB\xBF" + whole,
      std::string("\xFF\xFEu\0n\0i\0=\0" "1\0\r\0\n\0", 16)};
  for (const std::string& damaged : damagedFiles) {
    Folder work;
    work.folder.put("Structure.dat", damaged);
    work.folder.put("Structure(3).dat", CrLf({"uni=1", "text=older", "lev=0"}));
    work.folder.put("Structure(4).dat", CrLf({"uni=1", "text=newest good", "lev=0"}));
    work.folder.put("Structure(5).dat", CrLf({"uni=1", "text=bad too", "lev=?"}));
    work.folder.put("Structure(6).dat", "uni=1\r\ntext=cut sh");
    const FixedClock clock(kNow);
    const StructureLoad result = LoadStructureOrBackup(work.master);
    ASSERT_TRUE(result.loaded()) << result.message;
    EXPECT_EQ(result.restoredFrom, work.folder.file("Structure(4).dat")) << testing::PrintToString(damaged);
    EXPECT_NE(result.message.find("Structure(4).dat"), std::string::npos);
    ASSERT_EQ(work.master.size(), 1u);
    EXPECT_EQ(work.master.record(0)->text, "newest good");
    EXPECT_TRUE(work.master.dirty) << "the next save writes a good file";
    EXPECT_EQ(work.folder.read("Structure-unreadable-20261205-120000.dat"), damaged);
  }
}

TEST(StructureFile, ReferenceListsDropDeletedTopics) {
  Folder work({"uni=1", "text=s", "lev=0", "uni=2", "text=a", "lev=1", "uni=3", "text=b", "lev=1"});
  ASSERT_TRUE(work.load().loaded());
  work.folder.put("strnew.dat", CrLf({"uni=3", "other=x", "uni=99", "uni=2"}));
  ReferenceList recent;
  recent.path = work.folder.file("strnew.dat");
  ASSERT_TRUE(LoadRefList(recent));
  ASSERT_EQ(recent.size(), 3u);
  RelinkList(recent, work.master, kRecentListLimit);
  ASSERT_TRUE(SaveRefList(recent));
  EXPECT_FALSE(recent.dirty);
  EXPECT_EQ(work.folder.read("strnew.dat"), CrLf({"uni=3", "uni=2"}));
  EXPECT_TRUE(work.folder.has("strnew(1).dat"));
}

}  // namespace
}  // namespace tarvo
