#include "platform/process_helpers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QString>

#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::TempFolder;

// Waits (bounded, never by a fixed sleep) until a file written by another process appears.
std::string WaitForFile(const TempFolder& folder, const std::string& name) {
  for (int attempt = 0; attempt < 3000; ++attempt) {
    const std::string text = folder.read(name);
    if (!text.empty() && text.back() == '\n') return text;
    usleep(10000);
  }
  return {};
}

TEST(ProcessHelpers, RunRequestFromTheRunCommand) {
  const RunRequest request = ParseRunRequest("c:\\tools\\a.exe,-x,minimized");
  EXPECT_EQ(request.program, "c:\\tools\\a.exe");
  EXPECT_EQ(request.parameters, "-x");
  EXPECT_EQ(request.commandLine, "\"c:\\tools\\a.exe\" \"-x\"");
  EXPECT_EQ(request.showMode, kShowMinimized);
  EXPECT_EQ(ParseRunRequest("a,b,hidden").showMode, kShowHidden);
  EXPECT_EQ(ParseRunRequest("a").showMode, kShowNormal);
  const RunRequest full = ParseRunRequest("p,q,,controlled,e1,e2,42");
  EXPECT_EQ(full.control, "controlled");
  EXPECT_EQ(full.extra2, "e2");
  EXPECT_EQ(full.number, 42);
  EXPECT_EQ(ParseRunRequest("p,q,,,,,x").number, 0);
}

TEST(ProcessHelpers, RunStartsWaitsAndLowersPriority) {
  TempFolder folder;
  EXPECT_TRUE(RunProgram("/bin/sh -c \"exit 3\"", true, 20000, kNoProcessFlags, kShowNormal));
  EXPECT_FALSE(RunProgram("/bin/sh -c \"sleep 30\"", true, 200, kNoProcessFlags, kShowNormal))
      << "a wait that times out fails";
  EXPECT_FALSE(RunProgram("/no/such/program", false, 0, kNoProcessFlags, kShowNormal));
  EXPECT_FALSE(RunProgram("", false, 0, kNoProcessFlags, kShowNormal));

  const std::string niceness = folder.file("nice.txt");
  ASSERT_TRUE(RunProgram("/bin/sh -c \"nice > '" + niceness + "'\"", true, 20000, kIdlePriority,
                         kShowNormal));
  EXPECT_EQ(folder.read("nice.txt"), "19\n");

  // A "run" request starts detached, at idle priority, with the quoted command line.
  const std::string script = folder.file("run.sh");
  test::WriteBytes(script, "#!/bin/sh\necho \"$1 $(nice)\" > \"$(dirname \"$0\")/ran.txt\"\n");
  chmod(script.c_str(), 0755);
  EXPECT_TRUE(StartRunRequest(ParseRunRequest(script + ",with blanks,minimized")));
  EXPECT_EQ(WaitForFile(folder, "ran.txt"), "with blanks 19\n");
  EXPECT_FALSE(StartRunRequest(ParseRunRequest(script + ",x,,controlled")));
}

TEST(ProcessHelpers, ShellOpenAndSystemVersion) {
  EXPECT_FALSE(OpenWithShell("/no/such/file.xyz"));
  const QString version = QString::fromStdString(OsVersionText());
  EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d+$").match(version).hasMatch()) << version.toStdString();
}

}  // namespace
}  // namespace tarvo
