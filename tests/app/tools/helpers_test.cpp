// The helper programs an update's installation script runs, as the script runs them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QProcess>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "platform/channel.h"
#include "platform/single_instance.h"
#include "support/temp_folder.h"
#include "app/tools/helper_arguments.h"

namespace tarvo {
namespace {

constexpr int kGenerous = 30000;  // bounds for waits, never expected to be reached

TEST(HelperArguments, TheWaitHelperTakesSecondsAndAQuotedCommandLineInAnyCase) {
  ResultOf<WaitRequest> request = ParseWaitArguments({"/D=20", "/e='/opt/my tools/tarvo' --x"});
  ASSERT_TRUE(request.ok());
  EXPECT_EQ(request->waitSeconds, 20);
  EXPECT_EQ(request->commandLine, "'/opt/my tools/tarvo' --x");  // quotes only around it all go
  request = ParseWaitArguments({"/E='/usr/bin/lanvire commandlist=startauto.dat'"});
  ASSERT_TRUE(request.ok());
  EXPECT_EQ(request->waitSeconds, 0);
  EXPECT_EQ(request->commandLine, "/usr/bin/lanvire commandlist=startauto.dat");
  EXPECT_FALSE(ParseWaitArguments({"/d=soon"}).ok());
  EXPECT_FALSE(ParseWaitArguments({"/d=-1"}).ok());
  EXPECT_FALSE(ParseWaitArguments({"--wait"}).ok());
}

TEST(HelperArguments, TheLauncherReadsItsListSkippingBlankAndCommentLines) {
  EXPECT_EQ(*ParseLauncherArguments({"-v", "CommandList=startauto.dat"}), "startauto.dat");
  EXPECT_FALSE(ParseLauncherArguments({"commandlist="}).ok());
  EXPECT_EQ(CommandLinesOf("# programs\r\n/usr/bin/a -x\r\n\r\n  ; off\n  b  \nc"),
            (std::vector<std::string>{"/usr/bin/a -x", "b", "c"}));
}

class HelperProgramTest : public ::testing::Test {
 protected:
  HelperProgramTest() {
    const char* previous = std::getenv("XDG_RUNTIME_DIR");
    previous_ = previous != nullptr ? previous : "";
    chmod(runtime_.path().c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
  }
  ~HelperProgramTest() override { setenv("XDG_RUNTIME_DIR", previous_.c_str(), 1); }

  // A program that leaves a file behind, in a folder with a blank in its name.
  std::string marking(const std::string& name) {
    std::filesystem::create_directories(folder_.path() + "/my tools");
    const std::string program = folder_.path() + "/my tools/" + name;
    test::WriteBytes(program, "#!/bin/sh\necho \"$@\" > '" + folder_.file(name + ".done") + "'\n");
    chmod(program.c_str(), 0755);
    return program;
  }
  bool waitForFile(const std::string& path) {
    return QTest::qWaitFor([&] { return !test::ReadBytes(path).empty(); }, kGenerous);
  }

  test::TempFolder runtime_;
  test::TempFolder folder_;
  std::string previous_;
};

TEST_F(HelperProgramTest, TheWaitHelperStartsItsCommandOnlyOnceTheProgramHasEnded) {
  const std::string program = marking("restart");
  auto running = std::make_unique<ChannelManager>();
  ResultOf<bool> held = CreateMarkerChannel(*running, kMarkerChannel);
  ASSERT_TRUE(held.ok());
  ASSERT_FALSE(*held);  // this test now stands for the running program

  QProcess helper;
  helper.start(TARVO_TESVIK, {"/d=60", QString::fromStdString("/E='" + program + "'")});
  ASSERT_TRUE(helper.waitForStarted(kGenerous));
  EXPECT_FALSE(std::filesystem::exists(folder_.file("restart.done")));
  running.reset();  // the program ends
  ASSERT_TRUE(helper.waitForFinished(kGenerous));
  EXPECT_EQ(helper.exitCode(), 0) << helper.readAllStandardError().toStdString();
  EXPECT_TRUE(waitForFile(folder_.file("restart.done")));
}

TEST_F(HelperProgramTest, TheWaitHelperRefusesWordsItDoesNotKnow) {
  QProcess helper;
  helper.start(TARVO_TESVIK, {"/x"});
  ASSERT_TRUE(helper.waitForFinished(kGenerous));
  EXPECT_EQ(helper.exitCode(), 2);
  EXPECT_TRUE(helper.readAllStandardError().contains("unknown argument: /x"));
}

TEST_F(HelperProgramTest, TheLauncherStartsEveryLineOfItsList) {
  const std::string first = marking("first");
  const std::string second = marking("second");
  folder_.put("startauto.dat", "# started with the desktop\n\"" + first + "\" one two\n\n" + second + "\n");
  QProcess launcher;
  launcher.start(TARVO_LANVIRE, {QString::fromStdString("commandlist=" + folder_.file("startauto.dat"))});
  ASSERT_TRUE(launcher.waitForFinished(kGenerous));
  EXPECT_EQ(launcher.exitCode(), 0) << launcher.readAllStandardError().toStdString();
  ASSERT_TRUE(waitForFile(folder_.file("first.done")));
  EXPECT_EQ(test::ReadBytes(folder_.file("first.done")), "one two\n");
  EXPECT_TRUE(waitForFile(folder_.file("second.done")));

  QProcess missing;
  missing.start(TARVO_LANVIRE, {QString::fromStdString("commandlist=" + folder_.file("none.dat"))});
  ASSERT_TRUE(missing.waitForFinished(kGenerous));
  EXPECT_EQ(missing.exitCode(), 1);
}

}  // namespace
}  // namespace tarvo
