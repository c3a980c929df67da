#include "store/backups.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include "base/date_text.h"
#include "store/data_file.h"
#include "store/pair_file.h"
#include "support/failing_file_system.h"
#include "support/opened.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::OrNull;
using test::TempFolder;
using Names = std::vector<std::string>;

TEST(Backups, RewriteWithFiveKeptPrunesOneToSevenToFourToEight) {
  TempFolder folder;
  folder.put("notes.txt", "current");
  for (int n = 1; n <= 7; ++n) folder.put("notes(" + std::to_string(n) + ").txt", "copy");
  folder.put("notes(x).txt", "not a backup");
  folder.put("other(2).txt", "another file's backup");

  DataFilePtr file = OrNull(OpenDataFile(folder.file("notes.txt"), "W", 5));
  ASSERT_TRUE(file);
  ASSERT_TRUE(WriteLine(*file, "new"));
  CloseDataFile(file);

  EXPECT_EQ(folder.names(), (Names{"notes(4).txt", "notes(5).txt", "notes(6).txt", "notes(7).txt",
                                   "notes(8).txt", "notes(x).txt", "notes.txt", "other(2).txt"}));
  EXPECT_EQ(folder.read("notes(8).txt"), "current");
  EXPECT_EQ(folder.read("notes.txt"), "new\r\n");
}

// Which names are copies' names; copy numbers sort as numbers (big ones by their shape); a
// name taken after the listing is skipped, never overwritten.
TEST(Backups, CopyNamesAreKnownSortAsNumbersAndTakenNamesAreSkipped) {
  for (const char* name : {"report(2009).txt", "a(1).txt", "a(260115-093000).txt", "a(20260115-093000).txt"}) {
    EXPECT_TRUE(LooksLikeBackupName(name)) << name;
  }
  for (const char* name : {"a(0).txt", "a(draft).txt", "a().txt", "plain.txt", "a)1(.txt"}) {
    EXPECT_FALSE(LooksLikeBackupName(name)) << name;
  }
  TempFolder folder;
  folder.put("report.txt", "r");
  for (const char* name : {"report(9).txt", "report(10).txt", "report(2009).txt", "report(2).txt"}) {
    folder.put(name, "old");
  }
  const BackupList list = ListBackups(folder.file("report.txt"));
  Names names;
  for (const BackupEntry& entry : list) names.push_back(entry.name);
  EXPECT_EQ(names, (Names{"report(2).txt", "report(9).txt", "report(10).txt", "report(2009).txt"}));
  EXPECT_EQ(list.back().sortKey, "9990002009");

  folder.put("report(2010).txt", "appeared after listing");
  const ResultOf<std::string> made = MakeBackup(folder.file("report.txt"), list, BackupAction::Copy);
  ASSERT_TRUE(made) << made.reason();
  EXPECT_EQ(*made, folder.file("report(2011).txt"));
  EXPECT_EQ(folder.read("report(2010).txt"), "appeared after listing");
}

TEST(Backups, MoveLeavesNoOriginalUnlessTheRenameFailsAndMissingFileGivesEmptyPath) {
  TempFolder folder;
  folder.put("page.txt", "text");
  {
    test::FailingFileSystem failing;
    failing.failRename = true;
    const ScopedFileSystem scope(failing);
    const ResultOf<std::string> refused = MakeBackup(folder.file("page.txt"), {}, BackupAction::Move);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.reason().rfind("***** Backup - access not allowed to rename file " + folder.file("page.txt"), 0),
              0u) << refused.reason();
    EXPECT_EQ(folder.names(), Names{"page.txt"});
  }
  EXPECT_EQ(MakeBackup(folder.file("page.txt"), {}, BackupAction::Move).value(), folder.file("page(1).txt"));
  EXPECT_FALSE(folder.has("page.txt"));
  EXPECT_EQ(folder.read("page(1).txt"), "text");
  const ResultOf<std::string> none = MakeBackup(folder.file("page.txt"), {}, BackupAction::Move);
  ASSERT_TRUE(none) << "a missing file needs no copy";
  EXPECT_EQ(*none, "");
}

TEST(Backups, FilesWithoutExtensionAndDottedNamesHaveTheirOwnCopies) {
  TempFolder folder;
  folder.put("README", "r");
  folder.put("a.b.txt", "ab");
  for (int round = 0; round < 4; ++round) {
    ASSERT_TRUE(TakeBackup(folder.file("README"), 2));
    ASSERT_TRUE(TakeBackup(folder.file("a.b.txt"), 2));
  }
  EXPECT_EQ(folder.names(),
            (Names{"README", "README(3)", "README(4)", "a.b(3).txt", "a.b(4).txt", "a.b.txt"}));
}

// A disk that fills up during a backup: no truncated copy appears, the older copies are all
// kept, the failure is reported in the store's words with the system's reason, and the
// rewrite itself goes on (with the reason kept for the caller's log).
TEST(Backups, AFailedCopyLeavesNoCopyPrunesNothingAndIsReported) {
  for (const bool failWrite : {false, true}) {
    TempFolder folder;
    folder.put("s.txt", "old");
    folder.put("s(1).txt", "oldest");
    folder.put("s(2).txt", "older");
    test::FailingFileSystem failing;
    (failWrite ? failing.failWrite : failing.failCopy) = true;
    failing.noLinks = true;  // so that a rewrite's backup is a copy too
    failing.onlyPathsWith = "s(3)";
    const ScopedFileSystem scope(failing);

    const Result taken = TakeBackup(folder.file("s.txt"), 2);
    ASSERT_FALSE(taken);
    EXPECT_EQ(taken.reason().rfind("***** Backup - access not allowed to copy file " + folder.file("s.txt"), 0), 0u)
        << taken.reason();
    EXPECT_NE(taken.reason().find("No space left on device"), std::string::npos) << taken.reason();
    EXPECT_EQ(folder.names(), (Names{"s(1).txt", "s(2).txt", "s.txt"})) << "nothing pruned, nothing half-made";

    DataFilePtr file = OrNull(OpenDataFile(folder.file("s.txt"), "W", 2));
    ASSERT_TRUE(file) << "backup trouble does not stop the rewrite";
    EXPECT_EQ(file->backupNote, taken.reason());
  }
}

// A file about to be replaced keeps its old bytes under the backup's name for free (a second
// name), and they stay what they were when the file is replaced; without links it is a copy.
TEST(Backups, SnapshotsOfReplacedFilesKeepTheOldBytes) {
  for (const bool links : {true, false}) {
    TempFolder folder;
    folder.put("big.dat", "first");
    test::FailingFileSystem files;
    files.noLinks = !links;
    const ScopedFileSystem scope(files);
    ASSERT_TRUE(SavePairFile(folder.file("big.dat"), {}, 3));
    PairList second;
    second.add("k", "second");
    ASSERT_TRUE(SavePairFile(folder.file("big.dat"), second, 3));
    DataFilePtr rewritten = OrNull(OpenDataFile(folder.file("big.dat"), "W", 3));
    ASSERT_TRUE(rewritten && WriteLine(*rewritten, "third"));
    rewritten.reset();
    EXPECT_EQ((Names{folder.read("big(1).dat"), folder.read("big(2).dat"), folder.read("big(3).dat"),
                     folder.read("big.dat")}),
              (Names{"first", "", "k=second\r\n", "third\r\n"})) << "links: " << links;
  }
}

TEST(Backups, PruneDeletesOldestAndReportsWhatWentEvenReadOnly) {
  TempFolder folder;
  for (int n = 1; n <= 4; ++n) folder.put("x(" + std::to_string(n) + ").txt", "c");
  chmod(folder.file("x(1).txt").c_str(), 0444);
  BackupList list = ListBackups(folder.file("x.txt"));
  Names deleted;
  PruneBackups(folder.file("x.txt"), list, 1, &deleted);
  EXPECT_EQ(deleted, (Names{"x(1).txt", "x(2).txt", "x(3).txt"}));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].name, "x(4).txt");
  EXPECT_EQ(folder.names(), Names{"x(4).txt"});
}

TEST(Backups, PurgeDeletesOnlyCopiesStampedWithTheirOwnTime) {
  TempFolder folder;
  const std::time_t base = 1767225600;  // a fixed moment, so stamps are known
  // A copy whose name carries the time `stamped` and whose file was last changed at `changed`.
  const auto copy = [&](std::time_t stamped, std::time_t changed) {
    const std::string name = "list(" + StampText(DateTimeFromTime(stamped)) + ").txt";
    folder.put(name, "copy");
    const utimbuf times{changed, changed};
    EXPECT_EQ(utime(folder.file(name).c_str(), &times), 0);
    return name;
  };
  const std::string oldest = copy(base, base), middle = copy(base + 60, base + 60);
  const std::string newest = copy(base + 120, base + 120);
  const std::string liar = copy(base + 3600, base);  // its name does not match its own time
  folder.put("list.txt", "current");

  Names deleted;
  PurgeBackups(folder.file("list.txt"), 1, &deleted);
  EXPECT_EQ(deleted, (Names{oldest, middle}));
  EXPECT_TRUE(folder.has(newest));
  EXPECT_TRUE(folder.has(liar));
  PurgeBackups(folder.file("list.txt"), 0, &deleted);
  EXPECT_FALSE(folder.has(newest));
  EXPECT_TRUE(folder.has("list.txt"));
}

}  // namespace
}  // namespace tarvo
