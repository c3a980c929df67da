// The program as a user starts it: real processes over a fresh home drive.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTest>
#include <filesystem>
#include <map>

#include "platform/single_instance.h"
#include "support/app_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::AppFolders;

constexpr int kGenerous = 60000;  // bounds for waits, never expected to be reached

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { folders_.useInThisProcess(); }

  // Starts the program over the folders, in `where` when given, without the `unset` variables.
  std::unique_ptr<QProcess> start(const QStringList& extra = {}, const QStringList& unset = {},
                                   const std::string& where = "") {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOMEDRIVE", QString::fromStdString(folders_.home.path()));
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(folders_.runtimePath()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (const QString& name : unset) environment.remove(name);
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(QString::fromStdString(where));
    process->setProgram(TARVO_PROGRAM);
    process->setArguments(QStringList{"--program-folder", QString::fromStdString(folders_.program.path())} + extra);
    process->start();
    EXPECT_TRUE(process->waitForStarted(kGenerous));
    return process;
  }

  // Waits until a running instance serves its command channel and has finished starting
  // (the installation parameters are the last file that start-up writes).
  bool waitUntilServing() {
    // The software register is the last file the start-up writes.
    const std::string last = folders_.data("VersionReg.lst");
    return QTest::qWaitFor(
        [&] { return PipeExists(Channel(kCommandChannel)) && fs::exists(last); }, kGenerous);
  }

  bool finishes(QProcess& process) {
    return process.waitForFinished(kGenerous) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
  }

  std::map<std::string, std::string> dataFiles() {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folders_.data())) {
      if (entry.is_regular_file()) files[entry.path().string()] = test::ReadBytes(entry.path().string());
    }
    return files;
  }

  AppFolders folders_;
};

// The data folder is made at the first start (the folders and files themselves are checked in
// the session's tests), and a killed instance leaves nothing that stops the next start.
TEST_F(ProgramTest, FirstStartCreatesTheDataFolderAndAKilledInstanceBlocksNothing) {
  auto first = start();
  ASSERT_TRUE(waitUntilServing()) << "no data folder under the home drive";
  EXPECT_TRUE(fs::exists(folders_.data("Structure.dat")));

  first->kill();
  first->waitForFinished(kGenerous);
  auto next = start({"--report-startup"});
  ASSERT_TRUE(finishes(*next)) << next->readAllStandardError().toStdString();
  EXPECT_TRUE(next->readAllStandardOutput().startsWith("shown-at-ms=")) << "it started for real";
  EXPECT_TRUE(fs::exists(folders_.data("screen.dat"))) << "closing saved the layout";
}

// A second start wakes the first and ends without touching a data file; commands reach the
// running instance through its channel, "run" starting a program and "close" ending it.
TEST_F(ProgramTest, SecondStartWakesTheFirstAndTouchesNothingAndCommandsReachIt) {
  auto first = start({"--verbose"});
  ASSERT_TRUE(waitUntilServing());
  const auto before = dataFiles();
  auto second = start();
  ASSERT_TRUE(finishes(*second));
  EXPECT_EQ(dataFiles(), before) << "the second start changed a data file";
  EXPECT_EQ(first->state(), QProcess::Running);
  QByteArray said;
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        said += first->readAllStandardOutput();
        return said.contains("Brought to the front by another start");
      },
      kGenerous))
      << "the first instance did not wake: " << said.toStdString();
  EXPECT_TRUE(said.contains("Channel created OK: tarvo_active"))
      << "lines from before the window existed reach its log too";

  const std::string script = folders_.program.file("note.sh");
  test::WriteBytes(script, "#!/bin/sh\necho \"$1\" > \"$(dirname \"$0\")/noted.txt\"\n");
  fs::permissions(script, fs::perms::owner_all);
  ASSERT_TRUE(SendToChannel(Channel(kCommandChannel), nullptr, {"run=" + script + ",from the channel"}));
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return folders_.program.read("noted.txt") == "from the channel\n"; }, kGenerous));
  ASSERT_TRUE(SendToChannel(Channel(kCommandChannel), nullptr, {"close"}));
  ASSERT_TRUE(finishes(*first));
  EXPECT_TRUE(fs::exists(folders_.data("screen.dat"))) << "closing saved the layout";
  EXPECT_TRUE(fs::exists(folders_.data("Structure.tmp"))) << "closing saved the changed tree";
}

// Files named with --view are shown in the viewer: by this start when no instance runs, else by
// the running instance, and the new start ends; a missing file gets a clear message.
TEST_F(ProgramTest, ViewShowsFilesHereOrInTheRunningInstance) {
  test::TempFolder files;
  files.put("app.log", "one\r\ntwo\r\n");
  auto first = start({"--verbose", "--view", QString::fromStdString(files.file("app.log")),
                      QString::fromStdString(files.file("missing.log"))});
  ASSERT_TRUE(waitUntilServing());
  QByteArray said;
  const auto says = [&](const std::string& words) {
    return QTest::qWaitFor(
        [&] {
          said += first->readAllStandardOutput();
          return said.contains(QByteArray::fromStdString(words));
        },
        kGenerous);
  };
  EXPECT_TRUE(says("Shown in the viewer: " + files.file("app.log"))) << said.toStdString();
  EXPECT_TRUE(says("*** The file cannot be shown in the viewer")) << said.toStdString();
  EXPECT_TRUE(says("there is no file " + files.file("missing.log"))) << said.toStdString();

  files.put("second.csv", "a,b\r\n");
  auto second = start({"--view", "second.csv"}, {}, files.path());  // named from its own folder
  ASSERT_TRUE(finishes(*second)) << second->readAllStandardError().toStdString();
  EXPECT_TRUE(says("Shown in the viewer: " + files.file("second.csv"))) << said.toStdString();
  EXPECT_EQ(first->state(), QProcess::Running);
  ASSERT_TRUE(SendToChannel(Channel(kCommandChannel), nullptr, {"close"}));
  ASSERT_TRUE(finishes(*first));
}

// A runtime folder that is not ours is never used: the program falls back to a private folder
// in its data folder and says so; only when that fails too does it stop, with the reason.
TEST_F(ProgramTest, AnUnsafeRuntimeFolderIsReplacedByAPrivateOneOrStopsTheStart) {
  test::WriteBytes(folders_.runtimePath() + "/tarvo", "a file where the folder belongs");
  auto started = start({"--report-startup", "--verbose"});
  ASSERT_TRUE(finishes(*started)) << started->readAllStandardError().toStdString();
  const std::string said = started->readAllStandardOutput().toStdString();
  EXPECT_NE(said.find("the channels use " + folders_.data(".run") + " instead"), std::string::npos) << said;
  EXPECT_TRUE(fs::is_directory(folders_.data(".run")));

  fs::remove_all(folders_.data(".run"));
  test::WriteBytes(folders_.data(".run"), "a file where the fallback belongs");
  auto stopped = start();
  ASSERT_TRUE(stopped->waitForFinished(kGenerous));
  EXPECT_EQ(stopped->exitCode(), 1) << "not mistaken for another instance";
  const std::string reason = stopped->readAllStandardError().toStdString();
  EXPECT_NE(reason.find("*** Tarvo cannot start: the instance marker cannot be made"), std::string::npos) << reason;
  EXPECT_NE(reason.find(folders_.runtimePath() + "/tarvo"), std::string::npos) << reason;
}

TEST_F(ProgramTest, WithoutAHomeItRefusesToStartAndWritesNothing) {
  test::TempFolder where;
  auto process = start({}, {"HOME", "HOMEDRIVE"}, where.path());
  ASSERT_TRUE(process->waitForFinished(kGenerous));
  EXPECT_EQ(process->exitCode(), 1);
  EXPECT_NE(process->readAllStandardError().toStdString().find("neither HOMEDRIVE nor HOME is set"), std::string::npos);
  EXPECT_TRUE(where.names().empty()) << "no data folder in the current folder";
}

TEST_F(ProgramTest, TellsItsVersionWithoutADisplay) {
  auto process = start({"--version"}, {"QT_QPA_PLATFORM", "DISPLAY"});
  ASSERT_TRUE(finishes(*process));
  EXPECT_EQ(process->readAllStandardOutput().trimmed().toStdString(), std::string("Tarvo-1 ") + TARVO_EXPECTED_VERSION);
}

TEST_F(ProgramTest, TwoStartsAtOnceLeaveOneInstance) {
  auto one = start();
  auto two = start();
  ASSERT_TRUE(waitUntilServing());
  // One of the two finds the other and ends by itself.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return one->state() == QProcess::NotRunning || two->state() == QProcess::NotRunning; },
      kGenerous));
  QProcess& ended = one->state() == QProcess::NotRunning ? *one : *two;
  QProcess& running = one->state() == QProcess::NotRunning ? *two : *one;
  EXPECT_EQ(ended.exitCode(), 0);
  EXPECT_EQ(running.state(), QProcess::Running);
  ASSERT_TRUE(SendToChannel(Channel(kCommandChannel), nullptr, {"close"}));
  EXPECT_TRUE(finishes(running));
}

}  // namespace
}  // namespace tarvo
