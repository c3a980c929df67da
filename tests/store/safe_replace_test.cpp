#include "store/safe_replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "store/counter_file.h"
#include "store/data_file.h"
#include "store/pair_file.h"
#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::TempFolder;

TEST(SafeReplace, AnyInjectedFailureLeavesTheOldFileAndReportsFalse) {
  using Flag = bool test::FailingFileSystem::*;
  const std::vector<std::pair<const char*, Flag>> failures = {
      {"write", &test::FailingFileSystem::failWrite},
      {"copy", &test::FailingFileSystem::failCopy},
      {"rename", &test::FailingFileSystem::failRename},
      {"flush", &test::FailingFileSystem::failFlush},
  };
  for (const auto& [what, flag] : failures) {
    for (const bool byCopy : {true, false}) {
      if (!byCopy && flag == &test::FailingFileSystem::failCopy) continue;  // no copy to fail
      TempFolder folder;
      folder.put("Structure.tmp", "new tree");
      folder.put("Structure.dat", "old tree");
      test::FailingFileSystem failing;
      failing.*flag = true;
      const ScopedFileSystem scope(failing);

      const Result replaced =
          byCopy ? ReplaceWithCopy(folder.file("Structure.tmp"), folder.file("Structure.dat"))
                 : WriteFileSafely(folder.file("Structure.dat"), "new tree");
      const std::string how = std::string(what) + (byCopy ? " during copy" : " during write");
      EXPECT_FALSE(replaced) << how;
      EXPECT_NE(replaced.reason().find(folder.path()), std::string::npos) << how << ": " << replaced.reason();
      EXPECT_EQ(folder.read("Structure.dat"), "old tree") << how;
      EXPECT_FALSE(folder.has("Structure.dat.~new")) << how;
    }
  }
}

// A file not there yet is created; both ways of replacing one keep its permissions, and a copy
// leaves its source and no sibling behind.
TEST(SafeReplace, ReplacingKeepsThePermissionsAndLeavesTheSourceAndNoSibling) {
  TempFolder folder;
  ASSERT_TRUE(WriteFileSafely(folder.file("Structure.dat"), "created"));
  EXPECT_EQ(folder.read("Structure.dat"), "created");
  folder.put("Structure.tmp", "by copy");
  for (const unsigned mode : {0444u, 0600u}) {
    ASSERT_EQ(chmod(folder.file("Structure.dat").c_str(), mode), 0);
    ASSERT_TRUE(WriteFileSafely(folder.file("Structure.dat"), "new"));
    EXPECT_EQ(folder.read("Structure.dat"), "new");
    EXPECT_EQ(fileSystem().permissions(folder.file("Structure.dat")).value(), mode);
    ASSERT_TRUE(ReplaceWithCopy(folder.file("Structure.tmp"), folder.file("Structure.dat")));
    EXPECT_EQ(folder.read("Structure.dat"), "by copy");
    EXPECT_EQ(fileSystem().permissions(folder.file("Structure.dat")).value(), mode);
  }
  EXPECT_EQ(folder.read("Structure.tmp"), "by copy");
  EXPECT_EQ(folder.names(), (std::vector<std::string>{"Structure.dat", "Structure.tmp"}));
}

// Links planted in the data folder, where a temporary file, a counter or a log will be
// written, never turn the write into one on the file they point at.
TEST(SafeReplace, PlantedLinksAreNeverWrittenThrough) {
  TempFolder folder;
  TempFolder elsewhere;
  const auto plant = [&](const std::string& name) {
    elsewhere.put(name, "precious");
    ASSERT_EQ(symlink(elsewhere.file(name).c_str(), folder.file(name).c_str()), 0);
  };
  folder.put("Structure.dat", "old");
  plant("Structure.dat.~new");
  ASSERT_TRUE(WriteFileSafely(folder.file("Structure.dat"), "new"));
  EXPECT_EQ(folder.read("Structure.dat"), "new");
  plant("Structure.tmp");
  ASSERT_TRUE(SaveBytesThrough(folder.file("Structure.tmp"), folder.file("Structure.dat"), "newer", 2));
  EXPECT_EQ(folder.read("Structure.dat"), "newer");
  folder.put("copy.src", "copied");
  plant("target.dat.~new");
  ASSERT_TRUE(ReplaceWithCopy(folder.file("copy.src"), folder.file("target.dat")));
  plant("StructUnique.dat");
  EXPECT_FALSE(NextCounter(folder.file("StructUnique.dat"))) << "a counter refuses a link";
  plant("MainLog.txt");
  EXPECT_FALSE(AppendLine(folder.file("MainLog.txt"), "a line")) << "so does a log";
  for (const std::string& name : elsewhere.names()) EXPECT_EQ(elsewhere.read(name), "precious") << name;
}

// A child process replaces the file over and over, alternating two large contents, and is
// killed at whatever point it has reached. The file must always be one content or the other.
TEST(SafeReplace, KillingTheWriterNeverLeavesAPartialFile) {
  TempFolder folder;
  const std::string target = folder.file("Structure.dat");
  const std::string first(1 << 20, 'a');
  const std::string second(1 << 20, 'b');
  ASSERT_TRUE(WriteFileSafely(target, first));

  for (int round = 0; round < 3; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (long i = 0;; ++i) {
        if (!WriteFileSafely(target, (i % 2) != 0 ? first : second)) _exit(2);
      }
    }
    int changesSeen = 0;
    std::string previous = first;
    while (changesSeen < 4 + round) {
      const std::string now = test::ReadBytes(target);
      ASSERT_TRUE(now == first || now == second) << "a reader saw a partial file";
      if (now != previous) ++changesSeen;
      previous = now;
    }
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: a write failed";
    const std::string left = test::ReadBytes(target);
    EXPECT_TRUE(left == first || left == second) << "size after kill: " << left.size();
  }
}

}  // namespace
}  // namespace tarvo
