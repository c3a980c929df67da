#include "viewer/file_mapping.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "support/temp_folder.h"

namespace tarvo {
namespace {

constexpr std::size_t kPage = 4096;

// A log emptied in place while it is mapped: what lay past the new end reads as zero bytes
// instead of stopping the program, only in the mapping that was cut, and a new mapping sees
// the file as it is now. A bus error from elsewhere still stops the program.
TEST(FileMapping, AFileCutShortReadsAsZerosNotABusError) {
  test::TempFolder folder;
  folder.put("rotated.log", std::string(5 * kPage, 'x'));
  folder.put("steady.log", std::string(5 * kPage, 'y'));
  FileMapping rotated;
  FileMapping steady;
  ASSERT_TRUE(rotated.map(folder.file("rotated.log")).ok());
  ASSERT_TRUE(steady.map(folder.file("steady.log")).ok());

  ASSERT_EQ(::truncate(folder.file("rotated.log").c_str(), 100), 0);
  const volatile char* bytes = rotated.data();
  EXPECT_EQ(bytes[50], 'x') << "what is still in the file reads as before";
  EXPECT_EQ(bytes[3 * kPage + 7], '\0');
  EXPECT_EQ(bytes[5 * kPage - 1], '\0');
  EXPECT_TRUE(rotated.cutShort());
  EXPECT_FALSE(steady.cutShort());
  EXPECT_EQ(steady.data()[4 * kPage], 'y');

  ASSERT_TRUE(rotated.remap().ok());
  EXPECT_EQ(rotated.size(), 100u);
  EXPECT_FALSE(rotated.cutShort());

  EXPECT_DEATH(::raise(SIGBUS), "");
}

}  // namespace
}  // namespace tarvo
