#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "base/date_text.h"
#include "base/interval.h"
#include "support/loaded_workspace.h"
#include "support/temp_folder.h"
#include "workspace/topic_attributes.h"
#include "workspace/topic_options.h"
#include "workspace/tree_menu.h"
#include "workspace/workspace.h"

namespace tarvo {
namespace {

const QDateTime kClick(QDate(2026, 12, 5), QTime(14, 30, 15));

// Main (10: task (11, 12, 13: tasks)  20: notes  30: the program's own task  40: group (41, 42))
// Network (50)  Projects (61: group (62))
const char* kStructure =
    "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nexp=Y\r\nsys=Y\r\nsend=Y\r\n"
    "uni=10\r\ntext=Plan\r\nlev=1\r\ntype=1\r\nexp=Y\r\nsel=Y\r\nttype=4\r\nstatus=1\r\n"
    "uni=11\r\ntext=Step one\r\nlev=2\r\ntype=1\r\nttype=4\r\nstatus=1\r\n"
    "uni=12\r\ntext=Step two\r\nlev=2\r\ntype=1\r\nttype=4\r\nstatus=1\r\n"
    "uni=13\r\ntext=Step three\r\nlev=2\r\ntype=1\r\nttype=4\r\nstatus=1\r\n"
    "uni=20\r\ntext=Notes\r\nlev=1\r\ntype=1\r\nttype=5\r\n"
    "uni=30\r\ntext=Kept by the program\r\nlev=1\r\ntype=1\r\nsys=Y\r\nttype=2\r\n"
    "uni=40\r\ntext=Group\r\nlev=1\r\ntype=1\r\nexp=Y\r\nttype=2\r\n"
    "uni=41\r\ntext=Zulu\r\nlev=2\r\ntype=1\r\nttype=2\r\n"
    "uni=42\r\ntext=Alpha\r\nlev=2\r\ntype=1\r\nttype=2\r\n"
    "uni=STD0002\r\ntext=Network\r\nlev=0\r\ntype=2\r\nsys=Y\r\ntop=Y\r\n"
    "uni=50\r\ntext=Shared\r\nlev=1\r\ntype=2\r\nsys=Y\r\nttype=2\r\n"
    "uni=60\r\ntext=Projects\r\nlev=0\r\ntype=7\r\nexp=Y\r\n"
    "uni=61\r\ntext=Alpha project\r\nlev=1\r\ntype=7\r\nexp=Y\r\nttype=2\r\n"
    "uni=62\r\ntext=First step\r\nlev=2\r\ntype=7\r\nttype=2\r\n";

struct Loaded : test::LoadedWorkspace {
  Loaded() : LoadedWorkspace(kStructure, Moment::At(kClick), "00000099") {}
};

// The enabled state of every item of the menu, as one text to compare in one go.
std::string Enabled(const TreeMenuState& menu) {
  std::string text;
  for (const auto& [name, item] :
       {std::pair{"addItem", menu.addItem}, {"addSub", menu.addSubItem}, {"fav", menu.favourites},
        {"type", menu.changeTopicType}, {"indent", menu.increaseLevel}, {"outdent", menu.reduceLevel},
        {"sort", menu.sortSub}, {"sortPri", menu.sortPriority}, {"sortDue", menu.sortDaysDue},
        {"send", menu.sendTo}, {"remove", menu.removeItem}}) {
    if (item.visible && item.enabled) text += std::string(text.empty() ? "" : " ") + name;
  }
  return text;
}

TEST(TreeMenu, ItemsFollowTheNodeSectionAndFlags) {
  Loaded loaded;
  const TopicTree& tree = loaded.workspace.tree();
  const auto menu = [&](const std::string& id, bool connected = false, bool sendable = false) {
    return TreeMenuFor(tree, loaded.node(id), connected, sendable);
  };

  // The first node of the tree: the main section, kept by the program.
  const TreeMenuState main = menu("STD0001");
  EXPECT_TRUE(main.newSection.visible);
  EXPECT_FALSE(main.addItem.visible || main.favourites.visible || main.increaseLevel.visible || main.secondDividerVisible);
  EXPECT_EQ(Enabled(main), "addSub sort sortPri sortDue");
  EXPECT_EQ(main.addSubItemCaption, "Insert new topic in this section");
  // A section of type 2 with "top": nothing may be added or sorted in it.
  const TreeMenuState network = menu("STD0002");
  EXPECT_EQ(Enabled(network), "");
  EXPECT_EQ(network.addSubItemCaption, "Add new sub-topic");
  EXPECT_EQ(Enabled(menu("60")), "addSub remove") << "an own section of another type sorts nothing";

  // Topics: the first child cannot be indented, a level-1 topic not outdented.
  const TreeMenuState plan = menu("10");
  EXPECT_FALSE(plan.newSection.visible);
  EXPECT_EQ(Enabled(plan), "addItem addSub fav type sort sortPri sortDue remove");
  EXPECT_EQ(plan.sortSubCaption, "Sort sub-tasks");
  EXPECT_EQ(plan.addSubItemCaption, "Insert new sub-topic");
  EXPECT_EQ(Enabled(menu("11")), "addItem addSub fav type outdent remove");
  EXPECT_EQ(Enabled(menu("12")), "addItem addSub fav type indent outdent remove");
  EXPECT_EQ(Enabled(menu("20")), "addItem addSub fav type indent remove");
  EXPECT_EQ(menu("40").sortSubCaption, "Sort sub-topics");
  EXPECT_EQ(Enabled(menu("30")), "addItem addSub fav type indent") << "a level-1 topic the program keeps";
  EXPECT_EQ(Enabled(menu("50")), "addItem addSub fav type") << "kept, and first in its section";

  loaded.record("20").fav = true;
  EXPECT_EQ(menu("20").favouritesCaption, "Remove from favourites");
  EXPECT_TRUE(menu("20", true, true).sendTo.enabled);
  EXPECT_FALSE(menu("20", true, false).sendTo.enabled);
  EXPECT_FALSE(menu("20", false, true).sendTo.enabled);
  EXPECT_FALSE(menu("STD0001", true, true).sendTo.enabled) << "sections are not sent";
  EXPECT_EQ(Enabled(TreeMenuFor(tree, nullptr, true, true)), "");
}

// Indent, outdent, sibling moves and drops give the tree their rules say, and refuse what
// they must; a rename trims and refuses blanks; a sort orders one level only.
TEST(TopicCommands, StructuralCommandsGiveTheTreeTheirRulesSay) {
  Loaded loaded;
  Workspace& workspace = loaded.workspace;
  const std::string original = loaded.outline();
  EXPECT_EQ(original, "STD0001:0 10:1 11:2 12:2 13:2 20:1 30:1 40:1 41:2 42:2 STD0002:0 50:1 60:0 61:1 62:2");

  EXPECT_FALSE(workspace.indent(loaded.node("11"))) << "no previous sibling";
  EXPECT_FALSE(workspace.outdent(loaded.node("20"))) << "already at level 1";
  EXPECT_TRUE(workspace.indent(loaded.node("20")));
  EXPECT_EQ(loaded.outline(), "STD0001:0 10:1 11:2 12:2 13:2 20:2 30:1 40:1 41:2 42:2 STD0002:0 50:1 60:0 61:1 62:2");
  EXPECT_EQ(workspace.tree().selected, loaded.node("20"));
  EXPECT_TRUE(workspace.outdent(loaded.node("12")));
  EXPECT_EQ(loaded.outline(), "STD0001:0 10:1 11:2 13:2 20:2 12:1 30:1 40:1 41:2 42:2 STD0002:0 50:1 60:0 61:1 62:2")
      << "after its parent's whole subtree";
  EXPECT_TRUE(workspace.outdent(loaded.node("62")));
  EXPECT_EQ(loaded.outline(), "STD0001:0 10:1 11:2 13:2 20:2 12:1 30:1 40:1 41:2 42:2 STD0002:0 50:1 60:0 61:1 62:1")
      << "the last sub-topic of the last topic goes to the end of the tree";

  EXPECT_TRUE(workspace.moveAmongSiblings(loaded.node("40"), -1));
  EXPECT_TRUE(workspace.moveAmongSiblings(loaded.node("10"), +1));
  EXPECT_FALSE(workspace.moveAmongSiblings(loaded.node("62"), +1)) << "the last of its level";
  EXPECT_EQ(loaded.outline(), "STD0001:0 12:1 10:1 11:2 13:2 20:2 40:1 41:2 42:2 30:1 STD0002:0 50:1 60:0 61:1 62:1");

  EXPECT_FALSE(Workspace::canDrop(loaded.node("41"), loaded.node("30"))) << "another level";
  EXPECT_FALSE(Workspace::canDrop(loaded.node("61"), loaded.node("30"))) << "another section type";
  EXPECT_FALSE(workspace.dropOnto(loaded.node("50"), loaded.node("10")));
  EXPECT_TRUE(workspace.dropOnto(loaded.node("30"), loaded.node("12")));
  EXPECT_EQ(loaded.outline(), "STD0001:0 30:1 12:1 10:1 11:2 13:2 20:2 40:1 41:2 42:2 STD0002:0 50:1 60:0 61:1 62:1");

  EXPECT_FALSE(workspace.renameTopic(loaded.node("40"), "   \t "));
  EXPECT_EQ(loaded.record("40").text, "Group");
  EXPECT_TRUE(workspace.renameTopic(loaded.node("40"), "Gruppe 2  "));
  EXPECT_EQ(loaded.record("40").text, "Gruppe 2");

  EXPECT_TRUE(workspace.sortChildren(loaded.node("40"), ChildOrder::Caption));
  EXPECT_EQ(loaded.outline(), "STD0001:0 30:1 12:1 10:1 11:2 13:2 20:2 40:1 42:2 41:2 STD0002:0 50:1 60:0 61:1 62:1");

  // Every step undone gives the first tree back, node for node.
  while (workspace.undoStack().canUndo()) workspace.undoStack().undo();
  EXPECT_EQ(loaded.outline(), original);
  EXPECT_EQ(loaded.record("40").text, "Group");
}

// For each kind of command: the files saved before it, after it, after its undo and after its
// redo are before, after, before, after, byte for byte; the change shows in the saved file.
TEST(TopicCommands, EachCommandUndoneAndRedoneGivesTheSavedFilesBackByteForByte) {
  using Command = std::function<bool(Loaded&)>;
  const auto on = [](const std::string& id, std::function<bool(Workspace&, TopicNode*)> run) {
    return [id, run](Loaded& loaded) { return run(loaded.workspace, loaded.node(id)); };
  };
  const std::vector<std::pair<const char*, Command>> commands = {
      {"add", on("20", [](Workspace& w, TopicNode* n) { return w.addTopic(n, false, kClick).ok(); })},
      {"add sub", on("10", [](Workspace& w, TopicNode* n) { return w.addTopic(n, true, kClick).ok(); })},
      {"add in section", on("STD0001", [](Workspace& w, TopicNode* n) { return w.addTopic(n, true, kClick).ok(); })},
      {"rename", on("11", [](Workspace& w, TopicNode* n) { return w.renameTopic(n, "Erster Schritt"); })},
      {"indent", on("20", [](Workspace& w, TopicNode* n) { return w.indent(n); })},
      {"outdent", on("12", [](Workspace& w, TopicNode* n) { return w.outdent(n); })},
      {"move up", on("40", [](Workspace& w, TopicNode* n) { return w.moveAmongSiblings(n, -1); })},
      {"drop", [](Loaded& l) { return l.workspace.dropOnto(l.node("40"), l.node("10")); }},
      {"sort", on("40", [](Workspace& w, TopicNode* n) { return w.sortChildren(n, ChildOrder::Caption); })},
      {"remove", on("10", [](Workspace& w, TopicNode* n) { return w.removeSubtree(n); })},
      {"type", on("20", [](Workspace& w, TopicNode* n) { return w.setTopicType(n, kEvent, kClick); })},
      {"chosen type", on("12", [](Workspace& w, TopicNode* n) { return w.setChosenType(n, kIdeaTopic); })},
      {"status", on("12", [](Workspace& w, TopicNode* n) { return w.setTaskStatus(n, kFinished, kClick); })},
      {"urgent", on("13", [](Workspace& w, TopicNode* n) { return w.setUrgent(n, true); })},
      {"priority", on("11", [](Workspace& w, TopicNode* n) { return w.stepPriority(n, true); })},
      {"favourite", on("20", [](Workspace& w, TopicNode* n) { return w.toggleFavourite(n); })},
  };
  for (const auto& [name, command] : commands) {
    Loaded loaded;
    const std::string before = loaded.saved();
    ASSERT_TRUE(command(loaded)) << name;
    const std::string after = loaded.saved();
    EXPECT_NE(after, before) << name;
    loaded.workspace.undoStack().undo();
    EXPECT_EQ(loaded.saved(), before) << name;
    loaded.workspace.undoStack().redo();
    EXPECT_EQ(loaded.saved(), after) << name;
    EXPECT_EQ(loaded.workspace.undoStack().count(), 1) << name;
  }
}

// A new topic is of the kind of its neighbour or parent, is selected, and heads the "New"
// list; undone it leaves the list, redone it keeps its id. Without a usable id counter nothing
// is added.
TEST(TopicCommands, NewTopicsTakeTheirKindFromWhereTheyAreAdded) {
  Loaded loaded;
  Workspace& workspace = loaded.workspace;
  const ResultOf<TopicNode*> beside = workspace.addTopic(loaded.node("12"), false, kClick);
  ASSERT_TRUE(beside) << beside.reason();
  const TopicRecord& task = *(*beside)->record;
  EXPECT_EQ(std::tuple(task.uni.str(), task.text.str(), task.ttype, task.status, task.cre.str(), (*beside)->row()),
            std::tuple("100", "New topic", int{kTask}, int{kNotStarted}, "20261205-143015", std::size_t{1}));
  EXPECT_EQ(workspace.tree().selected, *beside);
  EXPECT_EQ(workspace.recentNew().entry(0).uni, "100");
  EXPECT_EQ(loaded.record("10").childTasks, 4) << "the parent rolled up";

  const TopicRecord& group = *(*workspace.addTopic(loaded.node("STD0001"), true, kClick))->record;
  EXPECT_EQ(std::tuple(group.ttype, group.status, group.lev, group.treeNode->row()),
            std::tuple(int{kGeneralTopic}, int{kNoStatus}, 1, std::size_t{0}));
  loaded.record("20").ttype = kEvent;
  const TopicRecord& event = *(*workspace.addTopic(loaded.node("20"), true, kClick))->record;
  EXPECT_EQ(std::tuple(event.ttype, event.status, bool{event.autoFinish}, event.durno, event.durtype),
            std::tuple(int{kEvent}, int{kNotStarted}, true, 1, 2));
  EXPECT_FALSE(workspace.addTopic(loaded.node("STD0002"), true, kClick).value()) << "a section with top";

  workspace.undoStack().undo();
  workspace.undoStack().undo();
  workspace.undoStack().undo();
  EXPECT_EQ(workspace.recentNew().size(), 0u);
  EXPECT_EQ(workspace.master().recordOf("100"), nullptr);
  EXPECT_EQ(workspace.tree().selected, loaded.node("10")) << "the selection before";
  workspace.undoStack().redo();
  EXPECT_NE(workspace.master().recordOf("100"), nullptr) << "the same id again";
  EXPECT_EQ(workspace.recentNew().entry(0).uni, "100");

  std::filesystem::remove(loaded.data.file("StructUnique.dat"));
  std::filesystem::create_directory(loaded.data.file("StructUnique.dat"));  // neither read nor written
  const std::string outline = loaded.outline();
  const ResultOf<TopicNode*> refused = workspace.addTopic(loaded.node("12"), false, kClick);
  EXPECT_FALSE(refused);
  EXPECT_NE(refused.reason().find("no new topic id"), std::string::npos) << refused.reason();
  EXPECT_EQ(loaded.outline(), outline);
  EXPECT_EQ(workspace.undoStack().index(), 1);
}


// The enabled buttons as one text, in tool bar order.
std::string Buttons(const TopicNode* node) {
  static const char* const kNames[] = {"general", "info", "idea", "finance", "event", "task",
                                       "notStarted", "inProgress", "waiting", "finished", "onHold",
                                       "urgent", "notUrgent", "up", "down"};
  const AttributeButtons enabled = AttributeButtonsFor(node);
  std::string text;
  for (std::size_t i = 0; i < enabled.size(); ++i) {
    if (enabled[i]) text += std::string(text.empty() ? "" : " ") + kNames[i];
  }
  return text;
}

// The attribute rules through the workspace's commands: type, status, urgency and priority
// changes and what each leaves enabled; refused commands change nothing and push nothing.
TEST(TopicAttributes, CommandsFollowTheirRulesAndTheButtonsFollowTheRecord) {
  Loaded loaded;
  Workspace& workspace = loaded.workspace;
  TopicNode* task = loaded.node("13");
  TopicRecord& record = *task->record;
  EXPECT_EQ(Buttons(task), "general info idea finance event inProgress waiting finished onHold urgent up");
  EXPECT_EQ(Buttons(loaded.node("10")), "general info idea finance event urgent up") << "driven by its sub-tasks";
  EXPECT_FALSE(workspace.setTaskStatus(loaded.node("10"), kFinished, kClick));
  EXPECT_EQ(Buttons(loaded.node("20")), "general idea finance event task urgent");
  EXPECT_EQ(Buttons(loaded.node("30")), "") << "the program's own topic";
  EXPECT_EQ(Buttons(loaded.node("62")), "") << "outside the main section";
  EXPECT_EQ(Buttons(loaded.node("STD0001")), "");
  loaded.record("41").ttype = 9;
  EXPECT_EQ(Buttons(loaded.node("41")), "general info idea finance task urgent") << "any other type counts as an event";

  // Priority: up from none is 9, up from 1 stays, down from 9 is none.
  for (const auto& [from, up, to] : {std::tuple{0, true, 9}, {1, true, 1}, {9, false, 0}, {0, false, 0}, {5, true, 4}}) {
    record.pri = from;
    EXPECT_EQ(workspace.stepPriority(task, up), from != to) << from << up;
    EXPECT_EQ(record.pri, to) << from << up;
  }
  EXPECT_TRUE(workspace.setPriority(task, 3));
  EXPECT_EQ(record.sortKey, "AZ3");

  EXPECT_TRUE(workspace.setUrgent(task, true));
  EXPECT_EQ(std::tuple(bool{record.urgent}, record.urgentCount, loaded.record("10").urgentCount), std::tuple(true, 1, 1));
  record.progress = 100;
  EXPECT_TRUE(workspace.setTaskStatus(task, kInProgress, kClick));
  EXPECT_EQ(std::tuple(record.progress, bool{record.prog}, record.sta.str()), std::tuple(50, true, "20261205-143015"));
  EXPECT_EQ(Buttons(task), "notStarted waiting finished onHold notUrgent up down") << "no type change once started";
  EXPECT_FALSE(workspace.setTopicType(task, kIdeaTopic, kClick));
  EXPECT_EQ(loaded.record("10").status, kInProgress) << "one sub-task in progress";

  EXPECT_TRUE(workspace.setTaskStatus(task, kFinished, kClick));
  EXPECT_EQ(std::tuple(record.status, record.progress, record.pri, bool{record.urgent}, record.urgentCount,
                       record.fdate.str(), record.fTime.str()),
            std::tuple(int{kFinished}, 100, 0, false, 0, "20261205", "14:30:15"));
  EXPECT_EQ(Buttons(task), "notStarted inProgress") << "a finished task: no urgency, hold, waiting or priority";
  const int steps = workspace.undoStack().index();
  EXPECT_FALSE(workspace.setUrgent(task, true));
  EXPECT_FALSE(workspace.setTaskStatus(task, kWaiting, kClick));
  EXPECT_FALSE(workspace.setTaskStatus(task, kOnHold, kClick));
  EXPECT_FALSE(workspace.stepPriority(task, true));
  EXPECT_EQ(workspace.undoStack().index(), steps) << "refused commands push nothing";

  for (const char* id : {"11", "12"}) ASSERT_TRUE(workspace.setTaskStatus(loaded.node(id), kFinished, kClick));
  const TopicRecord& parent = loaded.record("10");
  EXPECT_EQ(std::tuple(parent.status, parent.fdate.str(), parent.fTime.str()),
            std::tuple(int{kFinished}, "20261205", "00:00:00")) << "all sub-tasks finished";

  // A recurring task moves on to its next date instead of staying finished.
  TopicRecord& weekly = loaded.record("11");
  workspace.undoStack().undo();
  workspace.undoStack().undo();
  weekly.recur = true;
  weekly.dl = true;
  weekly.dlDate = "20261205";
  weekly.rtype = kWeeks;
  weekly.rno = 1;
  EXPECT_TRUE(workspace.setTaskStatus(loaded.node("11"), kFinished, kClick));
  EXPECT_EQ(std::tuple(weekly.status, weekly.dlDate.str()), std::tuple(int{kNotStarted}, "20261212"));

  // Types: a not-started task may become an idea (no status); an event gets its deadline.
  TopicNode* plain = loaded.node("42");
  EXPECT_TRUE(workspace.setTopicType(plain, kTask, kClick));
  EXPECT_EQ(plain->record->status, kNotStarted);
  EXPECT_TRUE(workspace.setTopicType(plain, kIdeaTopic, kClick));
  EXPECT_EQ(plain->record->status, kNoStatus);
  EXPECT_FALSE(workspace.setTopicType(plain, kIdeaTopic, kClick));
  EXPECT_TRUE(workspace.setTopicType(plain, kEvent, kClick));
  const TopicRecord& event = *plain->record;
  EXPECT_EQ(std::tuple(bool{event.autoFinish}, event.durno, event.durtype, bool{event.dl}, event.dlDate.str(),
                       event.rsDate.str(), event.statusText.str()),
            std::tuple(true, 1, 2, true, "20261205", "20261205", "In progress"));
  TopicRecord undated("STD010");
  EXPECT_TRUE(ApplyTopicType(undated, kEvent, kClick));
  EXPECT_EQ(std::tuple(bool{undated.dl}, undated.dlDate.str()), std::tuple(false, "")) << "the undated event stays so";
}


// The options dialog's values read from a record and written back: a one-off deadline without
// a time; a recurring task done comes back not started at 0 %; a new next-due date moves the
// deadline; progress from sub-tasks is kept whatever the list shows; numbers that are not
// numbers count as 0; the program's own topics take nothing; undo gives the record back.
TEST(TopicOptions, ConfirmedOptionsFollowTheirRulesAndUndoGivesTheRecordBack) {
  Loaded loaded;
  Workspace& workspace = loaded.workspace;
  const QDate today = kClick.date();
  TopicNode* single = loaded.node("13");
  const std::string before = loaded.saved();

  TopicOptions options = OptionsOf(*single->record, today);
  EXPECT_EQ(std::tuple(options.name, options.recurring, options.dueRequired, options.percent, options.priority),
            std::tuple(std::string("Step three"), false, false, 0, 0));
  options.dueRequired = true;
  options.dueDate = QDate(2026, 12, 24);
  options.percent = 40;
  options.priority = 2;
  options.flagDays = "x3";
  ASSERT_TRUE(workspace.editTopicOptions(single, options, kClick));
  const TopicRecord& task = *single->record;
  EXPECT_EQ(std::tuple(bool{task.dl}, task.dlDate.str(), task.dlTime.str(), task.status, task.progress, bool{task.prog},
                       task.pri, task.flno, task.daysDue),
            std::tuple(true, "20261224", "00:00:00", int{kInProgress}, 40, true, 2, 0, 19));
  EXPECT_EQ(loaded.record("10").status, kInProgress) << "the parent rolled up";
  EXPECT_FALSE(workspace.editTopicOptions(single, OptionsOf(task, today), kClick)) << "OK without a change";

  // Recurring weekly, done: the next occurrence starts fresh; a new next date moves the deadline.
  options = OptionsOf(task, today);
  options.recurring = true;
  options.recurNumber = "1";
  options.recurUnit = kWeeks;
  options.recurDate = QDate(2026, 12, 7);
  options.recurTime = QTime(9, 30);
  options.percent = 100;
  ASSERT_TRUE(workspace.editTopicOptions(single, options, kClick));
  EXPECT_EQ(std::tuple(bool{task.recur}, task.rno, task.rtype, task.rsDate.str(), task.dlDate.str(), task.dlTime.str(),
                       task.status, task.progress),
            std::tuple(true, 1, int{kWeeks}, "20261207", "20261207", "09:30:00", int{kNotStarted}, 0));
  EXPECT_EQ(OptionsOf(task, today).recurTime, QTime(9, 30));
  EXPECT_EQ(std::string(PeriodWord(kWeeks, true)) + " " + PeriodWord(kWeeks, false), "Week Weeks");

  // A parent driven by its sub-tasks keeps their percentage.
  TopicNode* parent = loaded.node("10");
  const int computed = parent->record->progress;
  options = OptionsOf(*parent->record, today);
  options.percent = 90;
  options.name = "Plan B";
  ASSERT_TRUE(workspace.editTopicOptions(parent, options, kClick));
  EXPECT_EQ(std::tuple(parent->record->text.str(), parent->record->progress), std::tuple("Plan B", computed));

  EXPECT_FALSE(workspace.editTopicOptions(loaded.node("30"), OptionsOf(loaded.record("30"), today), kClick));
  EXPECT_FALSE(workspace.editTopicOptions(loaded.node("STD0001"), options, kClick));
  EXPECT_EQ(std::tuple(FieldNumber("12"), FieldNumber(""), FieldNumber("1a"), FieldNumber("-3")), std::tuple(12, 0, 0, 0));

  while (workspace.undoStack().canUndo()) workspace.undoStack().undo();
  EXPECT_EQ(loaded.saved(), before) << "every option undone, byte for byte";

  // Shown percentages are made consistent first (on a copy: showing changes nothing).
  TopicRecord finished = loaded.record("11");
  finished.status = kFinished;
  finished.progress = 30;
  MakePercentConsistent(finished, false);
  TopicRecord started = loaded.record("12");
  started.status = kInProgress;
  started.progress = 0;
  MakePercentConsistent(started, false);
  EXPECT_EQ(std::tuple(finished.progress, started.progress), std::tuple(100, 50));
  EXPECT_EQ(TopicKindText(started, false), "Task in progress");
  EXPECT_EQ(TopicKindText(loaded.record("40"), true), "General topic group");
  EXPECT_EQ(TopicKindText(loaded.record("STD0002"), true), "Local network information");
}

}  // namespace
}  // namespace tarvo
