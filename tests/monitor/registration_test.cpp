// The register file, registration files and the update list as files.
#include <gtest/gtest.h>

#include "base/date_text.h"
#include "monitor/monitor_fixture.h"
#include "monitor/registration_intake.h"
#include "monitor/update_info.h"

namespace tarvo {
namespace {

using test::MonitorFixture;
using test::ReadBytes;
using test::WriteBytes;

class RegistrationTest : public MonitorFixture {
 protected:
  void leave(const std::string& name, const std::string& supplier, const std::string& version,
             const std::string& folder) {
    WriteBytes(data_ + name, (supplier.empty() ? "" : "Supplier=" + supplier + "\n") +
                                 "Product=Widget\nApplication=Widget\nVersion=" + version +
                                 "\nInstallFolder=" + folder + "\nAutoUpgrade=N\n");
  }
};

TEST(RegisterFile, ListModeStartsARecordAtEverySupplierAndKeepsProgramEntries) {
  test::TempFolder folder;
  folder.put("VersionReg.lst",
             "pipe=ignored before any exec\n"
             "SUPPLIER=Acme\nproduct=Widget\nversion=1.0\nErrorCodes=in progress\n"
             "exec=widget\npipe=widgetpipe\ncommand=close\nexec=helper\n"
             "unknown=kept out\n"
             "supplier=Other\nproduct=Gadget\nversion=2.0\nerrorcodes=*** Unable to connect\n");
  ResultOf<std::vector<SoftwareRecord>> records = ReadRegister(folder.file("VersionReg.lst"), RegisterMode::List);
  ASSERT_TRUE(records.ok()) << records.reason();
  ASSERT_EQ(records->size(), 2u);
  const SoftwareRecord& first = records->at(0);
  EXPECT_EQ(first.supplier, "Acme");
  EXPECT_EQ(first.errorcodes, "");
  ASSERT_EQ(first.execs.size(), 2u);
  EXPECT_EQ(first.execs[0].pipe, "widgetpipe");
  EXPECT_EQ(first.execs[0].command, "close");
  EXPECT_EQ(first.execs[1].exec, "helper");
  EXPECT_EQ(first.execs[1].pipe, "");
  EXPECT_EQ(records->at(1).errorcodes, "*** Unable to connect");

  // Written back in the register's order, every record starting with its supplier.
  SoftwareRegister softwareRegister(folder.file("Written.lst"));
  softwareRegister.records() = *records;
  ASSERT_TRUE(softwareRegister.WriteRegister().ok());
  const std::string written = folder.read("Written.lst");
  EXPECT_EQ(written.rfind("supplier=Acme\r\nproduct=Widget\r\napplication=\r\nversion=1.0\r\n", 0), 0u);
  EXPECT_NE(written.find("checkresult=\r\nexec=widget\r\npipe=widgetpipe\r\ncommand=close\r\nexec=helper"),
            std::string::npos);
  SoftwareRegister reread(folder.file("Written.lst"));
  ASSERT_TRUE(reread.load().ok());
  ASSERT_EQ(reread.records().size(), 2u);
  EXPECT_EQ(reread.records()[1].product, "Gadget");
}

TEST(RegisterFile, SingleModeFillsOneRecordAndAFileWithoutRecordKeysFails) {
  test::TempFolder folder;
  folder.put("one.pre", "supplier=Acme\nsupplier=Beta\nversion=3\n");
  ResultOf<std::vector<SoftwareRecord>> one = ReadRegister(folder.file("one.pre"), RegisterMode::Single);
  ASSERT_TRUE(one.ok());
  ASSERT_EQ(one->size(), 1u);
  EXPECT_EQ(one->at(0).supplier, "Beta");
  folder.put("none.pre", "colour=blue\n\nno pair here\n");
  EXPECT_FALSE(ReadRegister(folder.file("none.pre"), RegisterMode::Single).ok());
  EXPECT_FALSE(ReadRegister(folder.file("missing.pre"), RegisterMode::Single).ok());
  // Channel lines without a program to close belong to no record.
  folder.put("orphan.pre", "pipe=widgetpipe\ncommand=close\n");
  EXPECT_FALSE(ReadRegister(folder.file("orphan.pre"), RegisterMode::Single).ok());
  EXPECT_FALSE(ReadRegister(folder.file("orphan.pre"), RegisterMode::List).ok());
}

TEST(RegisterFile, ARegisterThatCannotBeReadIsNeverWrittenOver) {
  test::TempFolder folder;
  folder.put("VersionReg.lst", "this is not a register\nat=all\n");
  SoftwareRegister softwareRegister(folder.file("VersionReg.lst"));
  EXPECT_FALSE(softwareRegister.load().ok());
  softwareRegister.records().push_back(SoftwareRecord{});
  EXPECT_FALSE(softwareRegister.WriteRegister().ok());
  EXPECT_EQ(folder.read("VersionReg.lst"), "this is not a register\nat=all\n");

  SoftwareRegister fresh(folder.file("New.lst"));
  EXPECT_TRUE(fresh.load().ok());
  EXPECT_TRUE(folder.has("New.lst"));  // made empty when missing
}

TEST(UpdateListFile, KeysAreReadWithoutRegardToCaseAndAListWithoutKeysFails) {
  test::TempFolder folder;
  folder.put("updatelist.txt", "APPLICATION = Widget\r\nVersion=2.1\r\nURL=https://x/Setup\r\nSignature=abc=\r\n");
  ResultOf<UpdateInfo> info = ReadUpdateInfo(folder.file("updatelist.txt"));
  ASSERT_TRUE(info.ok()) << info.reason();
  EXPECT_EQ(info->application, "Widget");
  EXPECT_EQ(info->version, "2.1");
  EXPECT_EQ(info->url, "https://x/Setup");
  EXPECT_EQ(info->signature, "abc=");
  folder.put("page.html", "<html><body>Not found</body></html>\n");
  EXPECT_FALSE(ReadUpdateInfo(folder.file("page.html")).ok());
}

TEST_F(RegistrationTest, AFileWithoutSupplierIsRefusedAndDeleted) {
  leave("widget.pre", "", "1.0", install_);
  SoftwareMonitor& monitor = monitorOf({});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));
  EXPECT_TRUE(logged("New file found - " + data_ + "widget.pre"));
  EXPECT_TRUE(logged("Invalid supplier"));
  EXPECT_TRUE(logged("Version ignored due to errors"));
  EXPECT_FALSE(exists(data_ + "widget.pre"));
  EXPECT_TRUE(monitor.softwareRegister().records().empty());

  WriteBytes(data_ + "junk.pre", "nothing=useful\n");
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));
  EXPECT_TRUE(logged("No valid data found - file deleted - " + data_ + "junk.pre"));
  EXPECT_FALSE(exists(data_ + "junk.pre"));
}

TEST_F(RegistrationTest, ANewerVersionInTheSameFolderMakesTheOldOneOld) {
  leave("widget.pre", "Acme", "1.9", install_);
  SoftwareMonitor& monitor = monitorOf({});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));
  monitor.softwareRegister().records().at(0).errorcodes = "*** Unable to connect";
  leave("widget.pre", "Acme", "2.0", install_);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));

  const std::vector<SoftwareRecord>& records = monitor.softwareRegister().records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].status, "S");
  EXPECT_EQ(records[0].errorcodes, "");
  EXPECT_EQ(records[1].status, "A");
  EXPECT_EQ(records[1].instance, "1");
  EXPECT_EQ(records[1].dateinstalled, DateStamp());
  EXPECT_EQ(records[1].versionfolder, data_ + "Widget_1/2.0/");
  EXPECT_TRUE(std::filesystem::is_directory(data_ + "Widget_1/2.0"));
  const std::string history = ReadBytes(data_ + "Widget_1/History.lst");
  EXPECT_NE(history.find(" New version: 1.9\r\n"), std::string::npos);
  EXPECT_NE(history.find(" New version: 2.0\r\n"), std::string::npos);
  const std::vector<SoftwareRow> rows = monitor.rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].status, "Old");
  EXPECT_EQ(rows[1].status, "Active");

  // The same version again is already installed; an older one marks the record it meets.
  leave("widget.pre", "Acme", "2.0", install_);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));
  EXPECT_TRUE(logged("Already installed"));
  EXPECT_EQ(monitor.softwareRegister().records().size(), 2u);
  leave("widget.pre", "Acme", "1.5", install_);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));
  ASSERT_EQ(monitor.softwareRegister().records().size(), 3u);
  EXPECT_EQ(monitor.softwareRegister().records()[1].status, "R");
  EXPECT_EQ(monitor.softwareRegister().records()[2].status, "A");
}

TEST_F(RegistrationTest, TheSameProductInASecondFolderIsInstanceTwo) {
  const std::string second = root_.path() + "/second/";
  std::filesystem::create_directories(second);
  leave("a.pre", "Acme", "1.0", install_);
  SoftwareMonitor& monitor = monitorOf({});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));
  leave("b.pre", "Acme", "1.0", second);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));
  const std::vector<SoftwareRecord>& records = monitor.softwareRegister().records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].instance, "2");
  EXPECT_EQ(records[1].status, "A");
  EXPECT_TRUE(std::filesystem::is_directory(data_ + "Widget_2/1.0"));
}

TEST_F(RegistrationTest, NamesThatWouldLeaveTheDataFolderAndMissingFoldersAreRefused) {
  WriteBytes(data_ + "escape.pre", "supplier=Acme\nproduct=..\nversion=../../evil\ninstallfolder=" + install_ + "\n");
  WriteBytes(data_ + "nowhere.pre", "supplier=Acme\nproduct=Widget\nversion=1\ninstallfolder=" + root_.path() + "/gone/\n");
  WriteBytes(data_ + "here.pre", "supplier=Acme\nproduct=Widget\nversion=1\n");  // the program's folder
  SoftwareMonitor& monitor = monitorOf({});
  ASSERT_TRUE(monitor.RunSoftwareMonitor(false));
  EXPECT_TRUE(logged("Invalid product"));
  EXPECT_TRUE(logged("Invalid version"));
  EXPECT_TRUE(logged("Invalid installation folder name"));
  ASSERT_EQ(monitor.softwareRegister().records().size(), 1u);
  EXPECT_EQ(monitor.softwareRegister().records()[0].installfolder, std::string(TARVO_TOOLS_DIR) + "/");
  EXPECT_FALSE(exists(root_.path() + "/evil"));
}

TEST(ChangesNote, TheFirstFourCharactersOfTheVersionNameTheNote) {
  const ChangesNote note = ChangesNoteFor("/d/$Tarvo/", "2.1.3");
  EXPECT_EQ(note.path, "/d/$Tarvo/2.1..vsn");
  EXPECT_EQ(note.title, "Changes in version: 2.1.");
  EXPECT_TRUE(note.usable);
  EXPECT_FALSE(ChangesNoteFor("/d/", "../x").usable);
}

}  // namespace
}  // namespace tarvo
