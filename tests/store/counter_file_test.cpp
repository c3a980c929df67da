#include "store/counter_file.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::TempFolder;

// The value a counter gives, or -1 when it gives none.
int Next(const std::string& path) {
  const ResultOf<int> next = NextCounter(path);
  return next ? *next : -1;
}

TEST(CounterFile, MissingValidInvalidAndUnwritableCounters) {
  TempFolder folder;
  const std::string path = folder.file("StructUnique.dat");
  EXPECT_EQ(Next(path), 1);
  EXPECT_EQ(folder.read("StructUnique.dat"), "00000001");
  for (const auto& [before, id, after] :
       {std::tuple{"00000001", 2, "00000002"}, {"41", 42, "00000042"},
        {"00000099\r\nnotes after the digits stay", 100, "00000100\r\nnotes after the digits stay"}}) {
    folder.put("StructUnique.dat", before);
    EXPECT_EQ(Next(path), id) << before;
    EXPECT_EQ(folder.read("StructUnique.dat"), after) << before;
  }

  // A counter that holds no number never hands out an id again until someone repairs it.
  for (const char* damaged : {"12ab5678", "", "-0000001"}) {
    folder.put("StructUnique.dat", damaged);
    const ResultOf<int> next = NextCounter(path);
    ASSERT_FALSE(next) << damaged;
    EXPECT_NE(next.reason().find("holds no usable number"), std::string::npos) << next.reason();
    EXPECT_EQ(folder.read("StructUnique.dat"), "-0000001") << damaged;
  }

  EXPECT_TRUE(WriteCounter(folder.file("c.dat"), 17));
  EXPECT_EQ(folder.read("c.dat"), "00000017");
  EXPECT_EQ(Next(folder.file("c.dat")), 18);
  const Result unwritable = WriteCounter(folder.file("no/folder/c.dat"), 5);
  ASSERT_FALSE(unwritable);
  EXPECT_NE(unwritable.reason().find("No such file or directory"), std::string::npos) << unwritable.reason();
  EXPECT_FALSE(NextCounter(folder.file("no/folder/c.dat")));

  test::FailingFileSystem failing;
  failing.failWrite = true;
  const ScopedFileSystem scope(failing);
  const ResultOf<int> full = NextCounter(folder.file("c.dat"));
  ASSERT_FALSE(full);
  EXPECT_NE(full.reason().find("No space left on device"), std::string::npos) << full.reason();
  EXPECT_EQ(folder.read("c.dat"), "00000018") << "a failed increment hands out nothing";
}

}  // namespace
}  // namespace tarvo
