#include "structure/tree_build.h"

#include <gtest/gtest.h>

#include "base/date_text.h"
#include "structure/roll_up.h"

namespace tarvo {
namespace {

const Moment kNow = Moment::At(QDateTime(QDate(2026, 12, 5), QTime(12, 0)));

// A master list of records given as (id, level, caption), owned by the list.
struct Model {
  Structure master;
  TopicTree tree;

  TopicRecord& add(const std::string& id, int level, const std::string& caption = "") {
    TopicRecord* record = master.adopt(std::make_unique<TopicRecord>(id));
    record->lev = level;
    record->text = caption.empty() ? "topic " + id : caption;
    master.add(id, record);
    return *record;
  }
  TreeBuildReport build() { return BuildTree(master, tree, kNow); }
  TopicNode* node(const std::string& id) { return master.recordOf(id)->treeNode; }

  // "id:level" for every node in display order, after copying the tree back.
  std::string outline() {
    RebuildFromTree(master, tree);
    std::string text;
    for (const auto& entry : master.entries()) {
      if (!text.empty()) text += " ";
      text += entry.record->uni + ":" + std::to_string(entry.record->lev);
    }
    return text;
  }
};

TEST(TreeBuild, LevelsMakeTheTree) {
  Model model;
  model.add("s1", 0);
  model.add("a", 1);
  model.add("a1", 2);
  model.add("a2", 2);
  model.add("b", 1);
  model.add("s2", 0);
  EXPECT_TRUE(model.build().problems.empty());
  ASSERT_EQ(model.tree.roots().size(), 2u);
  TopicNode* section = model.tree.roots()[0].get();
  ASSERT_EQ(section->children().size(), 2u);
  EXPECT_EQ(section->child(0)->record->uni, "a");
  EXPECT_EQ(section->child(1)->record->uni, "b");
  ASSERT_EQ(section->child(0)->children().size(), 2u);
  EXPECT_EQ(section->child(0)->child(1)->caption, "topic a2");
  EXPECT_FALSE(model.tree.roots()[1]->hasChildren());
  EXPECT_EQ(model.node("a2")->level(), 2);
  EXPECT_EQ(model.outline(), "s1:0 a:1 a1:2 a2:2 b:1 s2:0");
}

TEST(TreeBuild, LevelJumpsAreKeptAtTheDeepestOpenLevelAndReported) {
  Model model;
  model.add("orphan", 2);  // a topic before any section
  model.add("s", 0);
  model.add("a", 1);
  model.add("jump", 3);
  model.add("deeper", 4);
  model.add("b", 1);
  model.master.dirty = false;
  const TreeBuildReport report = model.build();
  ASSERT_EQ(report.problems.size(), 3u);
  EXPECT_NE(report.problems[1].find("\"topic jump\" (jump) was at level 3"), std::string::npos)
      << report.problems[1];
  EXPECT_TRUE(model.master.dirty) << "the repaired levels get saved";
  EXPECT_EQ(model.outline(), "orphan:0 s:0 a:1 jump:2 deeper:3 b:1");
  EXPECT_EQ(model.master.ownedCount(), 6u) << "nothing was lost";
}

TEST(TreeBuild, RepairsMarkTheListDirty) {
  Model model;
  TopicRecord& main = model.add("9", 0, "Main");
  main.type = kMainSection;
  TopicRecord& done = model.add("done", 1);
  done.done = true;
  TopicRecord& fresh = model.add("fresh", 1);
  TopicRecord& picture = model.add("picture", 1);
  picture.status = kInProgress;
  TopicRecord& fifty = model.add("fifty", 1);
  fifty.status = kInProgress;
  fifty.calpr = false;
  fifty.progress = 50;
  TopicRecord& idea = model.add("idea", 1);
  idea.ttype = kIdeaTopic;
  model.build();

  EXPECT_TRUE(model.master.dirty);
  EXPECT_EQ(main.ttype, kSectionTopicType);
  EXPECT_EQ(main.uni, "STD0001");
  EXPECT_EQ(model.master.recordOf("STD0001"), &main);
  EXPECT_EQ(done.status, kFinished);
  EXPECT_FALSE(done.done);
  EXPECT_EQ(fresh.status, kNotStarted);
  EXPECT_TRUE(picture.prog);
  EXPECT_FALSE(fifty.prog) << "a hand-set 50 % keeps the status picture";
  EXPECT_EQ(idea.status, kNoStatus);
  EXPECT_EQ(fresh.sortKey, "AZZ");

  model.master.dirty = false;
  model.outline();
  model.build();
  EXPECT_FALSE(model.master.dirty) << "a repaired tree needs no repair the second time";
}

TEST(TreeBuild, ExpandedSelectedAndTopNodesComeBack) {
  Model model;
  model.add("s", 0).exp = true;
  model.add("a", 1).exp = true;
  model.add("a1", 2).sel = true;
  model.add("b", 1).topnode = true;
  model.build();
  EXPECT_TRUE(model.node("s")->expanded);
  EXPECT_TRUE(model.node("a")->expanded);
  EXPECT_FALSE(model.node("b")->expanded);
  EXPECT_EQ(model.tree.selected, model.node("a1"));
  EXPECT_EQ(model.tree.topVisible, model.node("b"));

  model.tree.selected = model.node("b");
  model.node("a")->caption = "renamed in place";
  RebuildFromTree(model.master, model.tree);
  EXPECT_TRUE(model.master.recordOf("b")->sel);
  EXPECT_FALSE(model.master.recordOf("a1")->sel);
  EXPECT_EQ(model.master.recordOf("a")->text, "renamed in place");
}

struct MoveCase {
  const char* what;
  int from;
  int to;
  int delta;
  const char* outline;
};

TEST(TreeBuild, MoveSubtreeIndentsOutdentsAndDrags) {
  // s:0 a:1 a1:2 a2:2 b:1 c:1 c1:2
  const std::vector<MoveCase> cases = {
      {"indent b under a", 4, 4, 1, "s:0 a:1 a1:2 a2:2 b:2 c:1 c1:2"},
      {"indent c with its subtree", 5, 5, 1, "s:0 a:1 a1:2 a2:2 b:1 c:2 c1:3"},
      {"outdent a1 after a's subtree", 2, 4, -1, "s:0 a:1 a2:2 a1:1 b:1 c:1 c1:2"},
      {"outdent the last sub-topic to the end", 6, -1, -1, "s:0 a:1 a1:2 a2:2 b:1 c:1 c1:1"},
      {"drag c in front of a", 5, 1, 0, "s:0 c:1 c1:2 a:1 a1:2 a2:2 b:1"},
      {"drag a in front of c", 1, 5, 0, "s:0 b:1 a:1 a1:2 a2:2 c:1 c1:2"},
      {"drag a1 to the end", 2, -1, 0, "s:0 a:1 a2:2 b:1 c:1 c1:2 a1:2"},
  };
  for (const MoveCase& move : cases) {
    Model model;
    model.add("s", 0);
    model.add("a", 1);
    model.add("a1", 2);
    model.add("a2", 2);
    model.add("b", 1);
    model.add("c", 1);
    model.add("c1", 2);
    model.build();
    model.master.dirty = false;
    const std::string movedId = model.master.record(static_cast<std::size_t>(move.from))->uni;
    TopicNode* moved = MoveSubtree(model.master, model.tree, move.from, move.to, move.delta, kNow);
    ASSERT_NE(moved, nullptr) << move.what;
    EXPECT_EQ(moved->record->uni, movedId) << move.what;
    EXPECT_EQ(model.tree.selected, moved) << move.what;
    EXPECT_TRUE(model.master.dirty) << move.what;
    EXPECT_EQ(model.outline(), move.outline) << move.what;
  }
  Model empty;
  EXPECT_EQ(MoveSubtree(empty.master, empty.tree, 0, 0, 1, kNow), nullptr);
}

TEST(TreeBuild, RemovedSubtreesLeaveTheListAtTheNextRebuild) {
  Model model;
  model.add("s", 0);
  model.add("a", 1);
  model.add("a1", 2);
  model.add("b", 1);
  model.build();
  model.tree.remove(model.node("a"));
  EXPECT_EQ(model.outline(), "s:0 b:1");
  EXPECT_EQ(model.master.ownedCount(), 2u);
}

TEST(TreeBuild, NewTopicRecordDrawsAnIdAndLinksBothWays) {
  Model model;
  model.add("s", 0).type = 4;
  model.build();
  model.master.uniquePath = ::testing::TempDir() + "/tree_build_unique.dat";
  std::remove(model.master.uniquePath.c_str());
  TopicNode* node = model.tree.addChild(model.node("s"), "New topic");
  TopicRecord* record = NewTopicRecord(model.master, node, 4);
  EXPECT_EQ(record->uni, "1");
  EXPECT_EQ(record->lev, 1);
  EXPECT_EQ(record->type, 4);
  EXPECT_EQ(record->text, "New topic");
  EXPECT_EQ(record->treeNode, node);
  EXPECT_EQ(node->record, record);
  EXPECT_TRUE(model.master.dirty);
  EXPECT_EQ(NewTopicRecord(model.master, model.tree.addChild(node, "x"), 4)->uni, "2");
  EXPECT_EQ(model.outline(), "s:0 1:1 2:2");
}

TEST(TreeBuild, DeepNestingNeitherOverflowsNorLosesTopics) {
  Model model;
  constexpr int kDepth = 20000;
  model.add("root", 0);
  for (int level = 1; level <= kDepth; ++level) model.add(std::to_string(level), level);
  model.build();
  EXPECT_EQ(model.tree.nodeCount(), static_cast<std::size_t>(kDepth) + 1);
  RebuildFromTree(model.master, model.tree);
  EXPECT_EQ(model.master.recordOf(std::to_string(kDepth))->lev, kDepth);
  model.tree.clear();
}

struct Family {
  Model model;
  TopicRecord* parent;
  std::vector<TopicRecord*> children;

  explicit Family(const std::vector<std::pair<int, int>>& statusAndProgress) {
    model.add("s", 0);
    parent = &model.add("p", 1);
    for (std::size_t i = 0; i < statusAndProgress.size(); ++i) {
      TopicRecord& child = model.add("c" + std::to_string(i), 2);
      child.status = statusAndProgress[i].first;
      child.progress = statusAndProgress[i].second;
      children.push_back(&child);
    }
    model.build();
  }
};

TEST(RollUp, ParentTaskFollowsItsSubTasks) {
  Family allDone({{kFinished, 100}, {kFinished, 100}, {kFinished, 100}});
  EXPECT_EQ(allDone.parent->status, kFinished);
  EXPECT_EQ(allDone.parent->fdate, "20261205");
  EXPECT_EQ(allDone.parent->fTime, "00:00:00");
  EXPECT_EQ(allDone.parent->progress, 100);
  EXPECT_EQ(allDone.parent->childTasks, 3);

  Family oneMoving({{kNotStarted, 0}, {kInProgress, 30}, {kFinished, 100}});
  EXPECT_EQ(oneMoving.parent->status, kInProgress);
  EXPECT_EQ(oneMoving.parent->sta, "20261205-120000");

  Family mixed({{kNotStarted, 0}, {kFinished, 100}});
  EXPECT_EQ(mixed.parent->status, kNotStarted);

  Family onHold({{kInProgress, 20}, {kInProgress, 40}, {kOnHold, 90}});
  EXPECT_EQ(onHold.parent->progress, 30);

  Family manual({{kInProgress, 20}});
  manual.parent->calpr = false;
  manual.parent->progress = 77;
  manual.children[0]->progress = 60;
  RollUpChildren(manual.parent->treeNode, kNow);
  EXPECT_EQ(manual.parent->progress, 77) << "entered progress is not calculated";
}

TEST(RollUp, UrgentMarksAndSystemTasksAndChangesTravelUp) {
  Family family({{kNotStarted, 0}, {kNotStarted, 0}});
  family.children[1]->urgent = true;
  TopicRecord& grandchild = family.model.add("g", 3);
  grandchild.status = kInProgress;
  family.model.build();
  TopicRecord* parent = family.model.master.recordOf("p");
  EXPECT_EQ(parent->urgentCount, 1);
  EXPECT_EQ(parent->sortKey[1], 'A');
  EXPECT_EQ(family.model.master.recordOf("c1")->status, kInProgress)
      << "the grandchild's progress reached its parent";
  EXPECT_EQ(parent->status, kInProgress) << "and went on up";

  Family system({});
  system.parent->sys = true;
  system.parent->status = kInProgress;
  system.parent->calpr = false;
  system.parent->progress = 35;
  EXPECT_TRUE(RollUpChildren(system.parent->treeNode, kNow));
  EXPECT_EQ(system.parent->status, kNoStatus);
  EXPECT_TRUE(system.parent->calpr);
  EXPECT_EQ(system.parent->progress, 0);
  EXPECT_FALSE(RollUpChildren(system.parent->treeNode, kNow)) << "nothing left to change";
}

}  // namespace
}  // namespace tarvo
