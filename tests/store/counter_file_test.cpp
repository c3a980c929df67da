#include "store/counter_file.h"

#include <gtest/gtest.h>

#include "failing_file_system.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::TempFolder;

TEST(CounterFile, MissingValidAndInvalidFiles) {
  TempFolder folder;
  const std::string path = folder.file("StructUnique.dat");
  EXPECT_EQ(NextCounter(path), 1);
  EXPECT_EQ(folder.read("StructUnique.dat"), "00000001");
  EXPECT_EQ(NextCounter(path), 2);
  EXPECT_EQ(folder.read("StructUnique.dat"), "00000002");

  folder.put("StructUnique.dat", "41");
  EXPECT_EQ(NextCounter(path), 42);
  EXPECT_EQ(folder.read("StructUnique.dat"), "00000042");

  folder.put("StructUnique.dat", "00000099\r\nnotes after the digits stay");
  EXPECT_EQ(NextCounter(path), 100);
  EXPECT_EQ(folder.read("StructUnique.dat"), "00000100\r\nnotes after the digits stay");

  folder.put("StructUnique.dat", "12ab5678");
  EXPECT_EQ(NextCounter(path), -1);
  EXPECT_EQ(folder.read("StructUnique.dat"), "-0000001");
  EXPECT_EQ(NextCounter(path), 0) << "-1 read back is a number again";

  folder.put("StructUnique.dat", "");
  EXPECT_EQ(NextCounter(path), -1);
}

TEST(CounterFile, WriteCounterAndFailures) {
  TempFolder folder;
  EXPECT_EQ(WriteCounter(folder.file("c.dat"), 17), 17);
  EXPECT_EQ(folder.read("c.dat"), "00000017");
  EXPECT_EQ(NextCounter(folder.file("c.dat")), 18);
  EXPECT_EQ(WriteCounter(folder.file("no/folder/c.dat"), 5), -1);
  EXPECT_EQ(NextCounter(folder.file("no/folder/c.dat")), -1);

  test::FailingFileSystem failing;
  failing.failWrite = true;
  const ScopedFileSystem scope(failing);
  EXPECT_EQ(NextCounter(folder.file("c.dat")), -1);
}

}  // namespace
}  // namespace tarvo
