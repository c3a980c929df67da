// The whole update of a registered product: registered, checked, its new setup downloaded,
// the running product closed over its channel, the script run, and the new version
// registered by what the setup program left behind.
#include <gtest/gtest.h>

#include <QProcess>

#include "monitor/monitor_fixture.h"

namespace tarvo {
namespace {

using test::MonitorFixture;
using test::ReadBytes;
using test::WriteBytes;

class UpdateFlowTest : public MonitorFixture {};

// The new version's setup program: it registers version 2.0 in the data folder named by its
// log argument ("/v/lx <data folder>InstallLog.txt"), as a real installer would.
QByteArray RegisteringSetup(const std::string& installFolder) {
  return QByteArray::fromStdString(
      "#!/bin/sh\n"
      "log=\"${4#/v/lx }\"\n"
      "data=\"${log%InstallLog.txt}\"\n"
      "echo 'installed 2.0' > \"$log\"\n"
      "printf 'supplier=Acme\\nproduct=Widget\\napplication=Widget\\nversion=2.0\\ninstallfolder=%s\\n"
      "autoupgrade=Y\\nurl=%s\\nexec=monitor_product_stub\\npipe=widgetchannel\\ncommand=close\\n' \"" +
      installFolder + "\" \"$WIDGET_LIST\" > \"${data}widget.tmp\"\n"
      "mv \"${data}widget.tmp\" \"${data}widget.pre\"\n");
}

TEST_F(UpdateFlowTest, ARunningProductIsClosedUpdatedAndItsNewVersionRegistered) {
  const std::string list = server_.address("/widget/updatelist.txt");
  setenv("WIDGET_LIST", list.c_str(), 1);
  WriteBytes(data_ + "widget.pre",
             "supplier=Acme\nproduct=Widget\napplication=Widget\nversion=1.0\ninstallfolder=" + install_ +
                 "\nautoupgrade=Y\nurl=" + list + "\nexec=monitor_product_stub\npipe=widgetchannel\ncommand=close\n");
  QProcess running;
  running.start(TARVO_PRODUCT_STUB, {"widgetchannel", QString::fromStdString(root_.path())});
  ASSERT_TRUE(waitForFile(root_.file("started"))) << "the product did not start";

  offer("2.0");
  server_.serve("/widget/Setup", {200, RegisteringSetup(install_), -1});
  SoftwareMonitor& monitor = monitorOf({});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));
  EXPECT_TRUE(logged("Version accepted OK"));
  EXPECT_TRUE(logged("Closing monitor_product_stub on pipe widgetchannel"));
  ASSERT_TRUE(running.waitForFinished(test::kGenerous)) << "the product was not closed";
  EXPECT_TRUE(exists(root_.file("closed")));

  ASSERT_TRUE(waitForFile(data_ + "widget.pre")) << "the setup program did not register the new version";
  EXPECT_EQ(ReadBytes(data_ + "InstallLog.txt"), "installed 2.0\n");
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));
  const std::vector<SoftwareRow> rows = monitor.rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].version, "1.0");
  EXPECT_EQ(rows[0].status, "Old");
  EXPECT_EQ(rows[1].version, "2.0");
  EXPECT_EQ(rows[1].status, "Active");
  EXPECT_EQ(rows[1].errorcodes, "Up to date");  // checked again at once: 2.0 is the offered one
  const std::string history = ReadBytes(data_ + "Widget_1/History.lst");
  EXPECT_NE(history.find("New version: 2.0"), std::string::npos);
  EXPECT_TRUE(waitForFile(restartMarker_));
  unsetenv("WIDGET_LIST");
}

}  // namespace
}  // namespace tarvo
