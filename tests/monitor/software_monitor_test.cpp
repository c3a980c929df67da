#include "monitor/software_monitor.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpServer>

#include "base/date_text.h"
#include "monitor/monitor_fixture.h"
#include "store/data_file.h"

namespace tarvo {
namespace {

using test::MonitorFixture;
using test::ReadBytes;
using test::RecordingSetup;

class SoftwareMonitorTest : public MonitorFixture {};

TEST_F(SoftwareMonitorTest, AnEqualOfferedVersionIsUpToDateAndDownloadsNothing) {
  offer("2.1");
  SoftwareMonitor& monitor = monitorOf({product("2.1.0")});
  QSignalSpy waits(&monitor, &SoftwareMonitor::waitShown);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));

  EXPECT_EQ(stored().errorcodes, "Up to date");
  EXPECT_EQ(stored().datelastchecked, DateStamp());
  EXPECT_TRUE(logged("Widget - Versions - update: 200100000 installed: 200100000"));
  EXPECT_EQ(server_.requestsFor("/widget/Setup"), 0);
  EXPECT_EQ(ReadBytes(data_ + "updatelist.txt").substr(0, 19), "application=Widget\n");
  ASSERT_EQ(waits.size(), 2);
  EXPECT_EQ(waits.at(0).at(0).toString(), "Checking for updates - please wait ...");
  EXPECT_EQ(waits.at(1).at(0).toString(), "No updates found");
  // The result is in the register on disk, not only in memory.
  SoftwareRegister reread(data_ + "VersionReg.lst");
  ASSERT_TRUE(reread.load().ok());
  EXPECT_EQ(reread.records().at(0).errorcodes, "Up to date");
}

TEST_F(SoftwareMonitorTest, ANewerVersionIsDownloadedAndItsScriptRunsTheSetupWithItsWords) {
  offer("2.2");
  const std::string setupMarker = root_.file("setup-words");
  server_.serve("/widget/Setup", {200, RecordingSetup(setupMarker), -1});
  SoftwareMonitor& monitor = monitorOf({product("2.1")});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));

  EXPECT_EQ(stored().errorcodes, "Up to date");
  EXPECT_TRUE(logged("Widget - New version found - 2.2"));
  EXPECT_TRUE(logged("Setup program is unsigned - " + server_.address("/widget/Setup")));
  EXPECT_TRUE(logged("Installing new version - Product=Widget, Version=2.2, Dir=" + install_));
  const std::string setup = data_ + "Download/Setup";
  EXPECT_EQ(ReadBytes(setup), RecordingSetup(setupMarker).toStdString());
  EXPECT_FALSE(exists(setup + ".part"));

  // The data folder's "$" is escaped, so each line reaches its program with the same words.
  const std::string tools = std::string(TARVO_TOOLS_DIR) + "/";
  const std::string escapedData = root_.path() + "/\\$Tarvo/";
  EXPECT_EQ(ReadBytes(data_ + "Download/install.sh"),
            "echo Updating Widget\n"
            "\"" + tools + "tesvik\" /d=20\n"
            "\"" + escapedData + "Download/Setup\" /w /s /v/qn /v\"/lx " + escapedData + "InstallLog.txt\"\n"
            "\"" + tools + "tesvik\" \"/E='" + restartProgram_ + "'\"\n");
  ASSERT_TRUE(waitForFile(setupMarker)) << "the setup program did not run";
  EXPECT_EQ(ReadBytes(setupMarker), "/w\n/s\n/v/qn\n/v/lx " + data_ + "InstallLog.txt\n");
  EXPECT_TRUE(waitForFile(restartMarker_)) << "the helper did not start the program again";
}

TEST_F(SoftwareMonitorTest, TheListsApplicationMustMatchButOnlyWithoutRegardToCase) {
  server_.serve("/widget/updatelist.txt", {200, "Application=WIDGET\nVersion=1.0\n", -1});
  SoftwareMonitor& monitor = monitorOf({product("1.0")});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(stored().errorcodes, "Up to date");

  server_.serve("/widget/updatelist.txt", {200, "application=Gadget\nversion=9.0\nurl=x\n", -1});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(stored().errorcodes, "*** Application does not match: Gadget");
  EXPECT_EQ(server_.requestsFor("/widget/Setup"), 0);
}

TEST_F(SoftwareMonitorTest, ARefusedConnectionAndMissingFilesAreStoredAsTheRecordsResult) {
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
  const std::string nobody = "http://127.0.0.1:" + std::to_string(closed.serverPort()) + "/updatelist.txt";
  closed.close();
  SoftwareRecord refused = product("1.0");
  refused.url = nobody;
  SoftwareRecord missing = product("1.0");
  missing.product = "Gizmo";
  missing.url = server_.address("/gizmo/updatelist.txt");
  SoftwareMonitor& monitor = monitorOf({refused, missing});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(stored(0).errorcodes, "*** Unable to connect");
  EXPECT_EQ(stored(1).errorcodes, "*** download of update list failed");
  EXPECT_FALSE(exists(data_ + "updatelist.txt"));

  offer("2.0");  // the setup program itself is missing (404)
  monitor.softwareRegister().records().at(0).url = server_.address("/widget/updatelist.txt");
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(stored(0).errorcodes, "*** download of update file unsuccessful");
  EXPECT_FALSE(exists(data_ + "Download/Setup"));
  EXPECT_FALSE(exists(data_ + "Download/install.sh"));
}

TEST_F(SoftwareMonitorTest, AServerThatStallsTimesOutAndLeavesNoHalfSetupProgram) {
  offer("2.0");
  server_.serve("/widget/Setup", {200, QByteArray(4096, 'x'), 100});
  MonitorSettings quick = settings();
  quick.download.timeoutMilliseconds = 300;
  SoftwareMonitor& monitor = monitorOf({product("1.0")}, quick);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));

  EXPECT_EQ(stored().errorcodes, "*** download of update file unsuccessful");
  EXPECT_TRUE(logged("timed out"));
  EXPECT_FALSE(exists(data_ + "Download/Setup"));
  EXPECT_FALSE(exists(data_ + "Download/Setup.part"));

  server_.serve("/widget/updatelist.txt", {200, "application=Widget\nversion=3.0\n", 5});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(stored().errorcodes, "*** download of update list failed");
}

TEST_F(SoftwareMonitorTest, ACancelledDownloadEndsAtOnceAndLeavesNothing) {
  offer("2.0");
  server_.serve("/widget/Setup", {200, QByteArray(65536, 'x'), 1000});
  MonitorSettings patient = settings();
  patient.download.timeoutMilliseconds = 600000;  // only the cancel can end it
  SoftwareMonitor& monitor = monitorOf({product("1.0")}, patient);
  bool onSetup = false;
  QObject::connect(&monitor.downloader(), &Downloader::started, &monitor,
                   [&onSetup](const QString& address) { onSetup = address.endsWith("/Setup"); });
  QObject::connect(&monitor.downloader(), &Downloader::progress, &monitor, [&](qint64 received, qint64) {
    if (onSetup && received > 0) monitor.cancelDownload();
  });
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(stored().errorcodes, "*** download of update file unsuccessful");
  EXPECT_TRUE(logged(server_.address("/widget/Setup") + ": cancelled by the user"));
  EXPECT_FALSE(exists(data_ + "Download/Setup"));
  EXPECT_FALSE(exists(data_ + "Download/Setup.part"));
}

TEST_F(SoftwareMonitorTest, OnlyDueActiveProductsThatTakeUpdatesAreChecked) {
  offer("1.0");
  SoftwareRecord never = product("1.0");
  never.autoupgrade = "N";
  SoftwareRecord checkedToday = product("1.0");
  checkedToday.product = "Today";
  checkedToday.datelastchecked = DateStamp();
  SoftwareRecord checkedLongAgo = product("1.0");
  checkedLongAgo.product = "LongAgo";
  checkedLongAgo.datelastchecked = "20200101";
  SoftwareMonitor& monitor = monitorOf({never, checkedToday, checkedLongAgo});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));
  EXPECT_EQ(server_.requestsFor("/widget/updatelist.txt"), 1);  // the one checked long ago
  EXPECT_EQ(stored(2).errorcodes, "Up to date");
  EXPECT_EQ(stored(1).errorcodes, "");

  // "Check for updates" takes every product that takes updates, but never one that does not.
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(server_.requestsFor("/widget/updatelist.txt"), 3);
  EXPECT_EQ(stored(0).datelastchecked, "");
  EXPECT_EQ(stored(0).errorcodes, "");
}

TEST_F(SoftwareMonitorTest, AnInstallationWhoseFolderWentIsShownRemovedAndNotChecked) {
  offer("9.0");
  SoftwareMonitor& monitor = monitorOf({product("1.0")});
  std::filesystem::remove_all(install_);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(stored().status, "D");
  EXPECT_EQ(server_.requestsFor("/widget/updatelist.txt"), 0);
  const std::vector<SoftwareRow> rows = monitor.rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].status, "Removed");
}

TEST_F(SoftwareMonitorTest, AnOlderOfferedVersionIsRefused) {
  offer("1.5");
  server_.serve("/widget/Setup", {200, "#!/bin/sh\n", -1});
  SoftwareMonitor& monitor = monitorOf({product("2.0")});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(stored().errorcodes, "Up to date");
  EXPECT_TRUE(logged("Downgrade refused - version 1.5 is older than the installed 2.0"));
  EXPECT_EQ(server_.requestsFor("/widget/Setup"), 0);
}

TEST_F(SoftwareMonitorTest, ARecordWithoutAddressAsksTheDefaultServer) {
  server_.serve("/Widget/updatelist.txt", {200, "application=Widget\nversion=1.0\n", -1});
  SoftwareRecord record = product("1.0");
  record.url.clear();
  SoftwareMonitor& monitor = monitorOf({record});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(stored().url, server_.address("/Widget/updatelist.txt"));
  EXPECT_EQ(stored().errorcodes, "Up to date");
}

TEST_F(SoftwareMonitorTest, ThisProgramsOwnUpdateEndsItWithItsNotice) {
  offer("2.0");
  const std::string setupMarker = root_.file("setup-words");
  server_.serve("/widget/Setup", {200, RecordingSetup(setupMarker), -1});
  SoftwareRecord own = product("1.0");
  own.execs = {{"Tarvo", "tarvoslavemode", "close"}};
  SoftwareRecord other = product("1.0");
  other.product = "Next";
  SoftwareMonitor& monitor = monitorOf({own, other});
  QSignalSpy waits(&monitor, &SoftwareMonitor::waitShown);
  QSignalSpy shutdown(&monitor, &SoftwareMonitor::shutdownRequested);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));

  ASSERT_EQ(shutdown.size(), 1);
  EXPECT_TRUE(logged("Shutting down"));
  EXPECT_EQ(waits.last().at(0).toString(), "Update found.  Tarvo-1 will now close down and restart shortly.");
  EXPECT_EQ(waits.last().at(1).toInt(), kShutdownNoticeMilliseconds);
  EXPECT_EQ(stored(1).errorcodes, "");  // the run ended before the next product
  EXPECT_TRUE(waitForFile(setupMarker));
  EXPECT_TRUE(waitForFile(restartMarker_));
}

TEST_F(SoftwareMonitorTest, TheFirstRunAfterAnInstallationChecksNothing) {
  offer("2.0");
  MonitorSettings first = settings();
  first.firstRunAfterInstall = true;
  SoftwareMonitor& monitor = monitorOf({product("1.0")}, first);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));
  EXPECT_EQ(server_.requestsFor("/widget/updatelist.txt"), 0);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(server_.requestsFor("/widget/updatelist.txt"), 1);
}

TEST_F(SoftwareMonitorTest, AClosingProgramStartsNoRun) {
  offer("1.0");
  SoftwareMonitor& monitor = monitorOf({product("1.0")});
  monitor.setClosing();
  EXPECT_FALSE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(server_.requestsFor("/widget/updatelist.txt"), 0);
}

}  // namespace
}  // namespace tarvo
