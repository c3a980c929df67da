#include <gtest/gtest.h>

#include "content/page_store.h"
#include "structure/topic_record.h"
#include "support/failing_file_system.h"
#include "support/loaded_workspace.h"
#include "workspace/workspace.h"

namespace tarvo {
namespace {

const QDateTime kTick(QDate(2026, 12, 6), QTime(9, 15, 30));

// Main (10: task (11, 12: tasks)  20: a note)
const char* kStructure =
    "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nexp=Y\r\nsys=Y\r\nsend=Y\r\n"
    "uni=10\r\ntext=Move house\r\nlev=1\r\ntype=1\r\nexp=Y\r\nttype=4\r\nstatus=1\r\n"
    "uni=11\r\ntext=Pack\r\nlev=2\r\ntype=1\r\nttype=4\r\nstatus=1\r\n"
    "uni=12\r\ntext=Clean\r\nlev=2\r\ntype=1\r\nttype=4\r\nstatus=1\r\n"
    "uni=20\r\ntext=Ideas\r\nlev=1\r\ntype=1\r\nttype=3\r\nsys=Y\r\n";

struct Loaded : test::LoadedWorkspace {
  Loaded() : LoadedWorkspace(kStructure, Moment::At(kTick), "00000099") {
    workspace.setPageFolders({data.path(), data.path(), data.path()});
  }
};

TEST(TopicPagesInTheWorkspace, ChecklistTicksDriveTheTaskAndRollUpOneUndoableStep) {
  Loaded loaded;
  Workspace& workspace = loaded.workspace;
  TopicRecord& pack = loaded.record("11");
  const std::string before = loaded.saved();

  ChecklistItems items{MakeChecklistItem("Books"), MakeChecklistItem("Plates"), MakeChecklistItem("Lamps")};
  SetItemTicked(items[0], true, "20261206-091530");
  ASSERT_TRUE(workspace.applyChecklistProgress(loaded.node("11"), *ProgressOf(items), kTick));
  EXPECT_EQ(std::tuple(pack.status, pack.progress, pack.sta.str()), std::tuple(2, 33, "20261206-091530"));
  EXPECT_EQ(loaded.record("10").status, 2) << "the parent rolls up";
  EXPECT_FALSE(workspace.applyChecklistProgress(loaded.node("11"), *ProgressOf(items), kTick))
      << "the same ticks again change nothing";

  SetItemTicked(items[1], true, "20261206-091530");
  SetItemTicked(items[2], true, "20261206-091530");
  ASSERT_TRUE(workspace.applyChecklistProgress(loaded.node("11"), *ProgressOf(items), kTick));
  EXPECT_EQ(std::tuple(pack.status, pack.progress, pack.fdate.str(), pack.fTime.str()),
            std::tuple(3, 100, "20261206", "00:00:00"));

  ASSERT_TRUE(workspace.applyChecklistProgress(loaded.node("20"), ChecklistProgress{50, 2}, kTick) == false)
      << "the program's own topics take no attributes";
  loaded.record("20").sys = false;
  ASSERT_TRUE(workspace.applyChecklistProgress(loaded.node("20"), ChecklistProgress{50, 2}, kTick));
  EXPECT_EQ(std::tuple(loaded.record("20").progress, loaded.record("20").status), std::tuple(50, 0))
      << "a topic that is no task takes the progress only";
  loaded.record("20").sys = true;

  while (workspace.undoStack().canUndo()) workspace.undoStack().undo();
  EXPECT_EQ(loaded.saved(), before) << "each step undone gives the same file back";
}

TEST(TopicPagesInTheWorkspace, PagesAreReadOnceAndSummariesRecountedFromOlderData) {
  Loaded loaded;
  Workspace& workspace = loaded.workspace;
  loaded.data.put("10.pkt", "con=0\r\nuni=1\r\nfile=10-1.txt\r\ncon=1\r\nuni=2\r\nfile=10-2.lst\r\n");
  loaded.data.put("10-1.~txt", "data=1\r\nrtf=1\r\n");
  loaded.data.put("10-2.~lst", "data=1\r\n");
  loaded.data.put("11.pkt", "con=1\r\nuni=2\r\nfile=11-2.lst\r\n");
  loaded.data.put("11-2.~lst", "data=1\r\n");

  const ResultOf<TopicPages*> pages = workspace.pagesOf(loaded.record("10"));
  ASSERT_TRUE(pages.ok());
  EXPECT_EQ((*pages)->pages.size(), 2u);
  (*pages)->pages[0].title = "Plan";
  EXPECT_EQ((*workspace.pagesOf(loaded.record("10")))->pages[0].title, "Plan") << "read once, kept for the run";
  EXPECT_EQ((*workspace.pagesOf(loaded.record("12")))->pages.size(), 2u) << "the default pages";

  // The pages folder is listed once; one that cannot be listed is asked topic by topic.
  for (const bool listingFails : {true, false}) {
    loaded.record("10").dac = 0;
    loaded.record("12").dac = 4;  // an older count, of pages that have no file now
    loaded.record("12").dam = 1;
    test::FailingFileSystem failing;
    failing.failList = listingFails;
    const ScopedFileSystem installed(failing);
    workspace.upgradeLegacyData();
    SCOPED_TRACE(listingFails);
    EXPECT_EQ(std::tuple(loaded.record("10").dac, loaded.record("10").dam), std::tuple(2, 3));
    EXPECT_EQ(std::tuple(loaded.record("11").dac, loaded.record("11").dam), std::tuple(1, 2));
    EXPECT_EQ(std::tuple(loaded.record("12").dac, loaded.record("12").dam), std::tuple(0, 0));
  }
  EXPECT_FALSE(loaded.record("20").sys);
  EXPECT_NE(loaded.saved().find("uni=10\r\n"), std::string::npos);
  EXPECT_NE(loaded.data.read("Structure.dat").find("dac=2\r\ndam=3"), std::string::npos);

  workspace.notePageSaved(loaded.record("11"));
  workspace.notePageSaved(loaded.record("12"));
  workspace.notePageSaved(loaded.record("11"));
  workspace.notePageSaved(loaded.record("11"));
  ASSERT_EQ(workspace.recentChangesList().size(), 2u) << "a topic is listed once";
  EXPECT_EQ(workspace.recentChangesList().entry(0).uni, "11") << "the latest first";
  EXPECT_TRUE(workspace.recentChangesList().dirty);

  workspace.setPageSummary(loaded.node("12"), PageSummary{1, 1});
  EXPECT_TRUE(workspace.isChanged()) << "a new summary is saved with the structure";
  EXPECT_EQ(loaded.record("12").dac, 1);
}

}  // namespace
}  // namespace tarvo
