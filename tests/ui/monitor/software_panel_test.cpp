#include "ui/monitor/software_panel.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QHostAddress>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "base/date_text.h"
#include "support/temp_folder.h"
#include "ui/monitor/update_wait_window.h"
#include "ui/viewer/text_display_window.h"

namespace tarvo {
namespace {

class SoftwarePanelTest : public ::testing::Test {
 protected:
  SoftwarePanelTest() {
    data_ = root_.path() + "/$Tarvo/";
    install_ = root_.path() + "/widget/";
    std::filesystem::create_directories(data_);
    std::filesystem::create_directories(install_);
  }

  SoftwareRecord record(const std::string& product, const std::string& version, const std::string& status) const {
    SoftwareRecord record;
    record.supplier = "Acme";
    record.product = product;
    record.application = product;
    record.version = version;
    record.installfolder = install_;
    record.status = status;
    record.dateinstalled = "20261130";
    record.autoupgrade = "N";
    return record;
  }

  void startWith(const std::vector<SoftwareRecord>& records) {
    SoftwareRegister stored(data_ + "VersionReg.lst");
    stored.records() = records;
    ASSERT_TRUE(stored.WriteRegister().ok());
    MonitorSettings settings;
    settings.dataFolder = data_;
    settings.programFolder = root_.path() + "/";
    settings.programTitle = "Tarvo-1";
    settings.dateOrder = kYearFirst;
    settings.download.timeoutMilliseconds = 2000;
    panel_.start(settings, viewers_);
    panel_.resize(700, 300);
    panel_.show();
  }

  QTreeWidget& list() { return *panel_.findChild<QTreeWidget*>("listSoftware"); }
  QString cell(int row, int column) { return list().topLevelItem(row)->text(column); }

  test::TempFolder root_;
  std::string data_;
  std::string install_;
  ViewerRegistry viewers_{root_.path() + "/$Tarvo", "Tarvo-1"};
  TSoftwarePanel panel_;
};

TEST_F(SoftwarePanelTest, TheListShowsEveryRecordWithAStatusInItsColumns) {
  SoftwareRecord old = record("Widget", "1.9", "S");
  old.errorcodes = "*** Unable to connect";
  SoftwareRecord active = record("Widget", "2.1.3", "A");
  active.datelastchecked = "20261201";
  active.errorcodes = "Up to date";
  startWith({old, active, record("Hidden", "1.0", ""), record("Gone", "3.0", "D")});

  ASSERT_EQ(list().topLevelItemCount(), 3);
  const QTreeWidgetItem* header = list().headerItem();
  EXPECT_EQ(header->text(0), "Software");
  EXPECT_EQ(header->text(4), "Last checked");
  EXPECT_EQ(header->text(5), "");
  EXPECT_EQ(cell(0, 2), "Old");
  EXPECT_EQ(cell(0, 5), "");  // an old version's check result no longer matters
  EXPECT_EQ(cell(1, 0), "Widget");
  EXPECT_EQ(cell(1, 1), "2.1.3");
  EXPECT_EQ(cell(1, 2), "Active");
  EXPECT_EQ(cell(1, 3), "2026/11/30");
  EXPECT_EQ(cell(1, 4), "2026/12/01");
  EXPECT_EQ(cell(1, 5), "Up to date");
  EXPECT_EQ(cell(2, 2), "Removed");
  EXPECT_EQ(list().toolTip(), "Double-click a line for more details about the version");
}

TEST_F(SoftwarePanelTest, ADoubleClickShowsTheVersionsChangesNoteWhenThereIsOne) {
  test::WriteBytes(data_ + "2.1..vsn", "Version 2.1: faster start\n");
  startWith({record("Widget", "1.0", "A"), record("Widget", "2.1.3", "A")});

  const QRect first = list().visualItemRect(list().topLevelItem(0));
  QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, first.center());
  QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, first.center());
  EXPECT_EQ(viewers_.size(), 0u);  // no note for 1.0

  const QRect second = list().visualItemRect(list().topLevelItem(1));
  QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, second.center());
  QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, second.center());
  ASSERT_EQ(viewers_.size(), 1u);
  TformTextDisplay* viewer = viewers_.OpenTextDisplay(data_ + "2.1..vsn", "text");
  EXPECT_EQ(viewer->findChild<QLabel*>("labelTitle")->text(), "Changes in version: 2.1.");
  EXPECT_TRUE(viewer->isVisible());
}

TEST_F(SoftwarePanelTest, CheckForUpdatesShowsTheResultAndTheLogOpensInTheViewer) {
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
  SoftwareRecord checked = record("Widget", "1.0", "A");
  checked.autoupgrade = "Y";
  checked.datelastchecked = DateStamp();  // not due: only the button checks it
  checked.url = "http://127.0.0.1:" + std::to_string(closed.serverPort()) + "/updatelist.txt";
  closed.close();
  startWith({checked});
  EXPECT_EQ(cell(0, 5), "");

  panel_.findChild<QPushButton*>("buttonCheckVersion")->click();
  ASSERT_EQ(list().topLevelItemCount(), 1);
  EXPECT_EQ(cell(0, 5), "*** Unable to connect");
  auto* wait = panel_.findChild<TformUpdateWait*>("formUpdateWait");
  ASSERT_NE(wait, nullptr);
  EXPECT_EQ(wait->findChild<QLabel*>("labelWait")->text(), "No updates found");
  EXPECT_TRUE(QTest::qWaitFor([wait] { return !wait->isVisible(); }, 30000));

  panel_.findChild<QPushButton*>("buttonUpdateLog")->click();
  TformTextDisplay* log = viewers_.OpenTextDisplay(data_ + "VersionReg.log", "text");
  EXPECT_TRUE(log->isVisible());
  EXPECT_TRUE(log->findChild<QLabel*>("labelTitle")->text().startsWith("Software monitor Log - "));
}

TEST_F(SoftwarePanelTest, AnUnreadableRegisterIsReportedAndKept) {
  test::WriteBytes(data_ + "VersionReg.lst", "not a register\n");
  MonitorSettings settings;
  settings.dataFolder = data_;
  std::vector<std::string> reported;
  panel_.start(settings, viewers_, [&reported](const std::string& line) { reported.push_back(line); });
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].rfind("*** The software register cannot be read: ", 0), 0u);
  EXPECT_EQ(list().topLevelItemCount(), 0);
  panel_.findChild<QPushButton*>("buttonCheckVersion")->click();
  EXPECT_EQ(test::ReadBytes(data_ + "VersionReg.lst"), "not a register\n");
}

}  // namespace
}  // namespace tarvo
