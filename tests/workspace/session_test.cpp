#include "workspace/session.h"
#include "workspace/data_folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "support/failing_file_system.h"
#include "store/data_file.h"
#include "store/pair_file.h"
#include "base/clock.h"
#include "structure/structure_file.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::TempFolder;
namespace fs = std::filesystem;

const char* kShippedStructure =
    "uni=STD0001\r\ntext=My topics\r\nlev=0\r\ntype=1\r\nexp=Y\r\n"
    "uni=5\r\ntext=First task\r\nlev=1\r\ntype=1\r\nttype=4\r\nstatus=1\r\nsys=Y\r\n"
    "uni=STD0003\r\ntext=Settings\r\nlev=0\r\ntype=3\r\n"
    "uni=7\r\ntext=Preferences\r\nlev=1\r\ntype=3\r\nttype=2\r\n";

// A home drive and a program folder with what ships beside the program.
struct Installation {
  TempFolder home;
  TempFolder program;
  Installation() {
    program.put("Structure.dat", kShippedStructure);
    program.put("csv.~txt", "shipped format");
    program.put("Tarvo.vsn", "version notes");
  }
  std::unique_ptr<Session> start() const {
    auto session = std::make_unique<Session>(DataFolders::For(home.path(), program.path()));
    session->start();
    return session;
  }
  std::string data(const std::string& name) const { return home.file("$Tarvo/" + name); }
  std::string read(const std::string& name) const { return test::ReadBytes(data(name)); }
};

// A first start makes the data folder with what ships beside the program. Later, shipped
// files are copied only where the user has none, and the shipped installation file leaves the
// program folder only once it is safely copied into the data folder.
TEST(Session, FirstStartMakesTheDataFolderAndShippedFilesNeverOverwriteTheUsers) {
  Installation installation;
  auto session = installation.start();
  for (const char* folder : {"", "Text", "CheckList", "Packs", "Outbox", "Formats", "$Control"}) {
    EXPECT_TRUE(fs::is_directory(installation.data(folder))) << folder;
  }
  PairList preferences;
  ASSERT_TRUE(LoadPairFile(installation.data("pref.txt"), preferences));
  EXPECT_EQ(preferences.valueOf("lv"), "1-17");
  EXPECT_EQ(installation.read("Install.dat").substr(0, 8), "QZENCR01");
  PairList install;
  ASSERT_TRUE(LoadPairFile(installation.data("Install.dat"), install, true));
  EXPECT_EQ(install.valueOf("product"), "Tarvo-1");
  EXPECT_EQ(install.valueOf("type"), "A");
  EXPECT_EQ(install.valueOf("ftpaccount"), "Tarvo Account 1");
  EXPECT_EQ(installation.read("csv.~txt"), "shipped format");
  EXPECT_EQ(installation.read("Tarvo.vsn"), "version notes");
  EXPECT_TRUE(session->structureReadable());
  EXPECT_EQ(session->workspace.tree().roots().size(), 2u);
  EXPECT_EQ(session->workspace.master().recordOf("5")->text, "First task");
  EXPECT_EQ(installation.read("StructUnique.dat"), "00000008");
  EXPECT_FALSE(session->system.version.empty());
  session.reset();

  test::WriteBytes(installation.data("csv.~txt"), "changed by the user");
  PairList shipped;
  shipped.add("product", "Tarvo-1 Pro");
  shipped.add("supplier", "");
  ASSERT_TRUE(SavePairFile(installation.program.file("Install.pre"), shipped, 0, true));
  {
    test::FailingFileSystem failing;
    failing.failCopy = true;
    failing.onlyPathsWith = "$Tarvo/Install.pre";
    const ScopedFileSystem scope(failing);
    EXPECT_EQ(installation.start()->install.product, "Tarvo-1 Pro");
  }
  EXPECT_TRUE(installation.program.has("Install.pre")) << "not removed after a failed copy";
  const std::string log = installation.read("MainLog.txt");
  EXPECT_NE(log.find("*** The shipped installation file cannot be copied"), std::string::npos) << log;

  session = installation.start();
  EXPECT_EQ(installation.read("csv.~txt"), "changed by the user");
  EXPECT_TRUE(session->install.freshInstallation);
  EXPECT_EQ(session->install.product, "Tarvo-1 Pro");
  EXPECT_EQ(session->install.supplier, "Tarvo Software") << "an empty value takes its default";
  EXPECT_FALSE(installation.program.has("Install.pre"));
  EXPECT_TRUE(fs::exists(installation.data("Install.pre")));
}

// The shipped files are found beside the program (a build tree) before the installed layout's
// share folder; with neither, the program's own folder is still the answer.
TEST(DataFolders, TheProgramFolderIsBesideTheProgramOrInTheInstalledShareFolder) {
  test::TempFolder prefix;
  std::filesystem::create_directories(prefix.file("bin"));
  std::filesystem::create_directories(prefix.file("share/tarvo"));
  const std::string bin = prefix.file("bin");
  EXPECT_EQ(FindProgramFolder(bin), bin);
  prefix.put("share/tarvo/Structure.dat", "uni=1\r\n");
  EXPECT_EQ(FindProgramFolder(bin), prefix.file("share/tarvo"));
  prefix.put("bin/Structure.dat", "uni=1\r\n");
  EXPECT_EQ(FindProgramFolder(bin), bin);
}

TEST(Session, OlderDataIsUpgradedOnce) {
  Installation installation;
  installation.start();
  PairList old;
  old.add("lv", "1-16");
  ASSERT_TRUE(SavePairFile(installation.data("pref.txt"), old, 0));
  test::WriteBytes(installation.data("Structure.dat"), kShippedStructure);

  const auto session = installation.start();
  EXPECT_FALSE(session->workspace.master().recordOf("5")->sys) << "topics of the main section lose the flag";
  EXPECT_EQ(session->preferences.lastVersion, "1-17");
  ASSERT_TRUE(session->closeDown());
  EXPECT_EQ(installation.read("Structure.dat").find("sys=Y\r\nuni=STD0003"), std::string::npos);
}

// A failed save is logged with the system's reason and tried again; after that only a changed
// tree is written, and undoing back past the saved state is a change again.
TEST(Session, AutosaveRetriesAFailedSaveAndWritesOnlyWhatChanged) {
  Installation installation;
  const auto session = installation.start();
  Workspace& workspace = session->workspace;
  ASSERT_TRUE(workspace.isChanged()) << "the first start repairs the shipped file";
  {
    test::FailingFileSystem failing;
    failing.failRename = true;
    const ScopedFileSystem scope(failing);
    EXPECT_FALSE(session->autosave(true));
  }
  EXPECT_TRUE(workspace.isChanged()) << "still to be saved";
  const std::string log = installation.read("MainLog.txt");
  const auto at = log.find("*** A problem occurred while saving the structure: \r\n" + std::string(20, ' '));
  ASSERT_NE(at, std::string::npos) << log;
  EXPECT_NE(log.find("Permission denied", at), std::string::npos) << "the system's reason follows";
  ASSERT_TRUE(session->autosave(true));
  EXPECT_FALSE(workspace.isChanged());

  const std::string saved = installation.read("Structure.dat");
  fs::remove(installation.data("Structure.dat"));
  ASSERT_TRUE(session->autosave(true));
  EXPECT_FALSE(fs::exists(installation.data("Structure.dat"))) << "an unchanged tree is not written";
  workspace.removeSubtree(workspace.master().recordOf("7")->treeNode);
  ASSERT_TRUE(session->autosave(false));
  EXPECT_EQ(installation.read("Structure.dat").find("uni=7"), std::string::npos);
  EXPECT_FALSE(workspace.isChanged());
  workspace.undoStack().undo();
  EXPECT_TRUE(workspace.isChanged());
  ASSERT_TRUE(session->autosave(false));
  EXPECT_EQ(installation.read("Structure.dat"), saved);
}

TEST(Session, AnUnreadableStructureIsNeverSavedOver) {
  Installation installation;
  installation.start();
  const std::string damaged = "uni=1\r\ntext=x\r\nlev=zero\r\n";
  test::WriteBytes(installation.data("Structure.dat"), damaged);
  const auto session = installation.start();
  EXPECT_FALSE(session->structureReadable());
  EXPECT_NE(session->structureProblem().find("line 3"), std::string::npos);
  EXPECT_TRUE(session->closeDown());
  EXPECT_EQ(installation.read("Structure.dat"), damaged);
  EXPECT_NE(installation.read("MainLog.txt").find("*** The structure file"), std::string::npos);
}

TEST(Session, PreferencesAndLogFollowTheDateFormat) {
  Installation installation;
  const auto session = installation.start();
  const FixedClock clock(QDateTime(QDate(2026, 3, 5), QTime(9, 7, 3)));
  session->setDateFormat(2);
  session->setSoundEffects(true);
  session->setShowSummary(false);
  session->log.LogMessage("hello");
  session->log.LogError("*** failed", "the reason");
  const std::string log = installation.read("MainLog.txt");
  EXPECT_NE(log.find("2026/03/05 09:07:03  hello\r\n"), std::string::npos);
  EXPECT_NE(log.find("2026/03/05 09:07:03  *** failed\r\n" + std::string(20, ' ') + "the reason\r\n"),
            std::string::npos);
  EXPECT_EQ(installation.read("pref.txt"),
            "date=2\r\nsfx=Y\r\nlv=1-17\r\nfont=\r\nfsize=11\r\ncol=0\r\nscr=0\r\nsum=N\r\n");
  EXPECT_TRUE(fs::exists(installation.data("pref(1).txt"))) << "rewrites keep backups";

  Preferences reread;
  reread.path = installation.data("pref.txt");
  ASSERT_TRUE(reread.load());
  EXPECT_EQ(std::tuple(reread.dateFormat, reread.soundEffects, reread.showSummary), std::tuple(2, true, false));
}

TEST(Session, ScreenLayoutRoundTrip) {
  TempFolder folder;
  ScreenLayout layout;
  layout.path = folder.file("screen.dat");
  EXPECT_FALSE(layout.load());
  EXPECT_FALSE(layout.loaded);
  layout.top = 10;
  layout.left = 20;
  layout.width = 800;
  layout.height = 600;
  layout.treeWidth = 300;
  layout.highlightText = 255;
  ASSERT_TRUE(layout.save());
  EXPECT_EQ(folder.read("screen.dat"),
            "top=10\r\nleft=20\r\nwidth=800\r\nheight=600\r\ntree=300\r\nstruct=-1\r\ninfo=90\r\n"
            "due=90\r\nrpanel=-1\r\ntpanel=-1\r\nhit=255\r\n");
  ScreenLayout reread;
  reread.path = layout.path;
  ASSERT_TRUE(reread.load());
  EXPECT_EQ(std::tuple(reread.loaded, reread.width, reread.highlightBack, reread.highlightText),
            std::tuple(true, 800, -1, 255));
}

}  // namespace
}  // namespace tarvo
