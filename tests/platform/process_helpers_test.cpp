#include "platform/process_helpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QRegularExpression>
#include <QString>
#include <QTest>
#include <cstdlib>
#include <tuple>

#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::TempFolder;

// A "run" command read into its parts; programs run, waited for within a time and at a lower
// priority; a "run" request started detached.
TEST(ProcessHelpers, RunRequestsAreReadAndProgramsRunWaitedForAndLowered) {
  const RunRequest request = ParseRunRequest("c:\\tools\\a.exe,-x,minimized");
  EXPECT_EQ(std::tuple(request.program, request.parameters, request.commandLine, request.showMode),
            std::tuple("c:\\tools\\a.exe", "-x", "\"c:\\tools\\a.exe\" \"-x\"", kShowMinimized));
  EXPECT_EQ(ParseRunRequest("a,b,hidden").showMode, kShowHidden);
  EXPECT_EQ(ParseRunRequest("a").showMode, kShowNormal);
  const RunRequest full = ParseRunRequest("p,q,,controlled,e1,e2,42");
  EXPECT_EQ(std::tuple(full.control, full.extra2, full.number), std::tuple("controlled", "e2", 42));
  EXPECT_EQ(ParseRunRequest("p,q,,,,,x").number, 0);

  TempFolder folder;
  EXPECT_TRUE(RunProgram("/bin/sh -c \"exit 3\"", true, 20000, kNoProcessFlags, kShowNormal));
  const Result late = RunProgram("/bin/sh -c \"sleep 30\"", true, 200, kNoProcessFlags, kShowNormal);
  ASSERT_FALSE(late) << "a wait that times out fails";
  EXPECT_NE(late.reason().find("did not end within 200 ms"), std::string::npos) << late.reason();
  const Result missing = RunProgram("/no/such/program", false, 0, kNoProcessFlags, kShowNormal);
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.reason().find("/no/such/program: no such program"), std::string::npos) << missing.reason();
  EXPECT_FALSE(RunProgram("", false, 0, kNoProcessFlags, kShowNormal));

  const std::string niceness = folder.file("nice.txt");
  ASSERT_TRUE(RunProgram("/bin/sh -c \"nice > '" + niceness + "'\"", true, 20000, kIdlePriority,
                         kShowNormal));
  EXPECT_EQ(folder.read("nice.txt"), "19\n");

  // A "run" request starts detached, at idle priority, with the quoted command line.
  const std::string script = folder.file("run.sh");
  test::WriteBytes(script, "#!/bin/sh\necho \"$1 $(nice)\" > \"$(dirname \"$0\")/ran.txt\"\n");
  chmod(script.c_str(), 0755);
  const ResultOf<bool> started = StartRunRequest(ParseRunRequest(script + ",with blanks,minimized"));
  ASSERT_TRUE(started) << started.reason();
  EXPECT_TRUE(*started);
  EXPECT_TRUE(QTest::qWaitFor([&] { return folder.read("ran.txt") == "with blanks 19\n"; }, 30000))
      << folder.read("ran.txt");
  EXPECT_FALSE(StartRunRequest(ParseRunRequest(script + ",x,,controlled")).value())
      << "a controlled request is not this program's to start";
}

// The desktop's opener is a real program found on the PATH: here a stand-in that records what
// it was asked to open, one that finds no program for it, and none at all.
TEST(ProcessHelpers, ShellOpenGoesThroughTheDesktopsOpener) {
  TempFolder bin;
  const std::string previous = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  setenv("PATH", bin.path().c_str(), 1);
  const auto opener = [&](const std::string& body) {
    test::WriteBytes(bin.file("xdg-open"), "#!/bin/sh\n" + body);
    chmod(bin.file("xdg-open").c_str(), 0755);
  };
  const Result none = OpenWithShell("/tmp/a file.txt");
  opener("printf '%s\\n' \"$1\" >> \"${0%/*}/asked.txt\"\n");  // builtins only: PATH is bare
  const Result opened = OpenWithShell("/tmp/a file.txt");
  opener("exit 4\n");
  const Result refused = OpenWithShell("report.xyz");
  setenv("PATH", previous.c_str(), 1);

  ASSERT_FALSE(none);
  EXPECT_NE(none.reason().find("xdg-open is not installed"), std::string::npos) << none.reason();
  ASSERT_TRUE(opened) << opened.reason();
  EXPECT_EQ(bin.read("asked.txt"), "/tmp/a file.txt\n");
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.reason().find("no program is set up to open it"), std::string::npos) << refused.reason();
}

TEST(ProcessHelpers, SystemVersion) {
  const QString version = QString::fromStdString(OsVersionText());
  EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d+$").match(version).hasMatch()) << version.toStdString();
}

}  // namespace
}  // namespace tarvo
