#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include "base/clock.h"
#include "support/loaded_workspace.h"
#include "support/temp_folder.h"
#include "workspace/detail_panel.h"
#include "workspace/instance_commands.h"
#include "workspace/sort_children_command.h"

namespace tarvo {
namespace {

const Moment kNow = Moment::At(QDateTime(QDate(2026, 12, 5), QTime(12, 0)));

// Main (a: task (a1, a2: finished tasks)  b: task not started  c: idea (c1))  Other
const char* kStructure =
    "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nexp=Y\r\n"
    "uni=10\r\ntext=Äpfel kaufen\r\nlev=1\r\ntype=1\r\nexp=Y\r\nttype=4\r\nstatus=3\r\n"
    "uni=11\r\ntext=Zwiebeln\r\nlev=2\r\ntype=1\r\nttype=4\r\nstatus=3\r\n"
    "uni=12\r\ntext=Brot\r\nlev=2\r\ntype=1\r\nttype=4\r\nstatus=3\r\n"
    "uni=13\r\ntext=Bank\r\nlev=1\r\ntype=1\r\nttype=4\r\nstatus=1\r\n"
    "uni=14\r\ntext=Ideen\r\nlev=1\r\ntype=1\r\nttype=6\r\n"
    "uni=15\r\ntext=Ölwechsel\r\nlev=2\r\ntype=1\r\nttype=6\r\n"
    "uni=20\r\ntext=Other\r\nlev=0\r\ntype=12\r\n";

struct Loaded : test::LoadedWorkspace {
  Loaded() : LoadedWorkspace(kStructure, kNow) {}
};

// Opening a node or selecting one is a change to save but no step to undo; a removed subtree,
// undone, gives the same file byte for byte.
TEST(Workspace, ViewStateIsNoUndoStepAndARemovedSubtreeUndoneGivesTheSameFile) {
  Loaded loaded;
  Workspace& workspace = loaded.workspace;
  EXPECT_EQ(loaded.saved(), kStructure) << "a consistent file saves as it was read";
  EXPECT_FALSE(workspace.isChanged());
  workspace.setExpanded(loaded.node("14"), true);
  EXPECT_TRUE(workspace.isChanged());
  EXPECT_EQ(workspace.undoStack().count(), 0);
  EXPECT_NE(loaded.saved().find("uni=14\r\ntext=Ideen\r\nlev=1\r\ntype=1\r\nexp=Y"), std::string::npos);
  workspace.select(loaded.node("15"));
  const std::string original = loaded.saved();
  EXPECT_NE(original.find("uni=15\r\ntext=Ölwechsel\r\nlev=2\r\ntype=1\r\nsel=Y"), std::string::npos);
  TopicNode* a = loaded.node("10");
  const std::size_t records = workspace.master().size();

  workspace.removeSubtree(a);
  EXPECT_EQ(loaded.outline(), "STD0001:0 13:1 14:1 15:2 20:0");
  EXPECT_EQ(workspace.master().size(), records - 3) << "the records left with their nodes";
  EXPECT_EQ(workspace.master().recordOf("11"), nullptr);
  EXPECT_TRUE(workspace.isChanged());
  EXPECT_EQ(loaded.saved().find("uni=11"), std::string::npos);

  workspace.undoStack().undo();
  EXPECT_EQ(loaded.node("10"), a) << "the same node came back";
  EXPECT_EQ(workspace.master().size(), records);
  EXPECT_EQ(loaded.saved(), original);

  workspace.undoStack().redo();
  EXPECT_EQ(workspace.master().recordOf("12"), nullptr);
}

TEST(Workspace, MovesAreUndoneAndRedoneWithTheirRollUp) {
  Loaded loaded;
  Workspace& workspace = loaded.workspace;
  (void)loaded.saved();  // the load repaired the sections' topic type
  const std::string start = loaded.outline();
  TopicRecord& a = *workspace.master().recordOf("10");
  ASSERT_EQ(a.status, kFinished) << "both sub-tasks are finished";

  // Indent b (display 4) under a: a has an open sub-task now.
  workspace.moveSubtree(4, 4, 1);
  EXPECT_EQ(loaded.outline(), "STD0001:0 10:1 11:2 12:2 13:2 14:1 15:2 20:0");
  EXPECT_EQ(a.status, kNotStarted) << "the parent follows its sub-tasks";
  EXPECT_EQ(workspace.tree().selected, loaded.node("13"));

  // Drag c (display 5 now) in front of a (display 1), then outdent a1 (display 4) to before
  // the next section (display 7), as the outdent command does.
  workspace.moveSubtree(5, 1, 0);
  workspace.moveSubtree(4, 7, -1);
  EXPECT_EQ(loaded.outline(), "STD0001:0 14:1 15:2 10:1 12:2 13:2 11:1 20:0");
  EXPECT_EQ(workspace.undoStack().count(), 3);

  workspace.undoStack().undo();
  workspace.undoStack().undo();
  workspace.undoStack().undo();
  EXPECT_EQ(loaded.outline(), start);
  EXPECT_EQ(a.status, kFinished) << "undo put the rolled-up status back";
  EXPECT_FALSE(workspace.isChanged()) << "back where it was loaded";

  workspace.undoStack().redo();
  EXPECT_EQ(loaded.outline(), "STD0001:0 10:1 11:2 12:2 13:2 14:1 15:2 20:0");
  EXPECT_EQ(a.status, kNotStarted);

  workspace.moveSubtree(99, 0, 0);
  EXPECT_EQ(workspace.undoStack().count(), 3) << "a move of nothing is no step";
  EXPECT_EQ(workspace.undoStack().index(), 1);
}

TEST(Workspace, SortingOrdersOneLevelAndUndoes) {
  Loaded loaded;
  Workspace& workspace = loaded.workspace;
  TopicNode* section = loaded.node("STD0001");
  workspace.sortChildren(section, ChildOrder::Caption);
  EXPECT_EQ(loaded.outline(), "STD0001:0 13:1 14:1 15:2 10:1 11:2 12:2 20:0")
      << "ordinal: Bank, Ideen, then Äpfel (its first byte is above ASCII); sub-topics unsorted";
  workspace.undoStack().undo();
  EXPECT_EQ(loaded.outline(), "STD0001:0 10:1 11:2 12:2 13:1 14:1 15:2 20:0");

  TopicRecord& bank = *workspace.master().recordOf("13");
  bank.daysDue = 3;
  workspace.sortChildren(section, ChildOrder::DaysDue);
  EXPECT_EQ(loaded.node("13")->row(), 0u) << "the only deadline comes first";
  const TopicNode& x = *loaded.node("11");
  const TopicNode& y = *loaded.node("12");
  EXPECT_TRUE(ComesBefore(ChildOrder::Caption, y, x));
  EXPECT_FALSE(ComesBefore(ChildOrder::Caption, x, x)) << "equal keys compare equal";
}

TEST(WorkspaceRules, DetailPanelFollowsTheSectionTypeAndCommandsStopAtClose) {
  TopicRecord section("s");
  section.type = kMainSection;
  EXPECT_EQ(DetailPanelFor(&section), DetailPanel::None);
  EXPECT_EQ(DetailPanelFor(nullptr), DetailPanel::None);
  const std::pair<int, DetailPanel> cases[] = {
      {kMainSection, DetailPanel::TopicPages}, {kNetworkSection, DetailPanel::Network},
      {kPreferencesSection, DetailPanel::Preferences}, {kInformationSection, DetailPanel::About},
      {kContactsSection, DetailPanel::Contacts}, {4, DetailPanel::None}, {12, DetailPanel::None}};
  for (const auto& [type, panel] : cases) {
    TopicRecord topic("t");
    topic.lev = 1;
    topic.type = type;
    EXPECT_EQ(DetailPanelFor(&topic), panel) << type;
  }

  // Instance commands are carried out in order up to a "close"; unknown ones are passed over.
  std::vector<std::string> done;
  const InstanceCommandHandlers handlers{
      .wake = [&] { done.push_back("wake"); },
      .close = [&] { done.push_back("close"); },
      .run = [&](const RunRequest& request) { done.push_back("run " + request.program); },
      .view = [&](const std::string& path) { done.push_back("view " + path); }};
  DispatchInstanceCommands({"wakeup=now", "frobnicate", "view=/tmp/a, b.log", "view=", "run=/bin/true,x", "close",
                            "run=/bin/false"},
                           handlers);
  EXPECT_EQ(done, (std::vector<std::string>{"wake", "view /tmp/a, b.log", "run /bin/true", "close"}))
      << "a path is taken whole, commas and all; an empty one is no request";
}

}  // namespace
}  // namespace tarvo
