#include "structure/tree_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <tuple>

#include "base/date_text.h"
#include "support/failing_file_system.h"
#include "support/temp_folder.h"
#include "structure/roll_up.h"

namespace tarvo {
namespace {

const Moment kNow = Moment::At(QDateTime(QDate(2026, 12, 5), QTime(12, 0)));

// A master list of records given as (id, level, caption), owned by the list.
struct Model {
  Structure master;
  TopicTree tree;

  Model() = default;
  // Records from "id:level" words, as outline() writes them.
  explicit Model(const std::string& records) {
    std::istringstream words(records);
    for (std::string word; words >> word;) {
      const std::size_t colon = word.rfind(':');
      add(word.substr(0, colon), std::stoi(word.substr(colon + 1)));
    }
  }

  TopicRecord& add(const std::string& id, int level, const std::string& caption = "") {
    TopicRecord* record = master.adopt(std::make_unique<TopicRecord>(id));
    record->lev = level;
    record->text = caption.empty() ? "topic " + id : caption;
    return *record;
  }
  TreeBuildReport build() { return BuildTree(master, tree, kNow); }
  TopicNode* node(const std::string& id) { return master.recordOf(id)->treeNode; }

  // "id:level" for every node in display order, after copying the tree back.
  std::string outline() {
    RebuildFromTree(master, tree);
    std::string text;
    for (std::size_t i = 0; i < master.size(); ++i) {
      if (!text.empty()) text += " ";
      text += master.record(i)->uni + ":" + std::to_string(master.record(i)->lev);
    }
    return text;
  }
};

// Levels make the tree; a level jump is kept at the deepest open level, reported and saved.
TEST(TreeBuild, LevelsMakeTheTreeAndJumpsAreKeptAtTheDeepestOpenLevel) {
  Model model("s1:0 a:1 a1:2 a2:2 b:1 s2:0");
  EXPECT_TRUE(model.build().problems.empty());
  // Each node's parent, and the display order: the whole shape of the tree.
  for (const auto& [id, parent] : {std::pair{"s1", ""}, {"a", "s1"}, {"a1", "a"}, {"a2", "a"}, {"b", "s1"}, {"s2", ""}}) {
    EXPECT_EQ(model.node(id)->parent(), *parent == '\0' ? nullptr : model.node(parent)) << id;
  }
  EXPECT_EQ(model.tree.roots().size(), 2u);
  EXPECT_EQ(model.outline(), "s1:0 a:1 a1:2 a2:2 b:1 s2:0");

  Model jumps("orphan:2 s:0 a:1 jump:3 deeper:4 b:1");  // the orphan comes before any section
  jumps.master.dirty = false;
  const TreeBuildReport report = jumps.build();
  ASSERT_EQ(report.problems.size(), 3u);
  EXPECT_NE(report.problems[1].find("\"topic jump\" (jump) was at level 3"), std::string::npos)
      << report.problems[1];
  EXPECT_TRUE(jumps.master.dirty) << "the repaired levels get saved";
  EXPECT_EQ(jumps.outline(), "orphan:0 s:0 a:1 jump:2 deeper:3 b:1");
  EXPECT_EQ(jumps.master.size(), 6u) << "nothing was lost";
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
  EXPECT_EQ(std::tuple(main.ttype, main.uni.str()), std::tuple(kSectionTopicType, "STD0001"));
  EXPECT_EQ(model.master.recordOf("STD0001"), &main);
  EXPECT_EQ(std::tuple(done.status, bool{done.done}), std::tuple(kFinished, false));
  EXPECT_EQ(std::tuple(fresh.status, fresh.sortKey.str()), std::tuple(kNotStarted, "AZZ"));
  EXPECT_TRUE(picture.prog);
  EXPECT_FALSE(fifty.prog) << "a hand-set 50 % keeps the status picture";
  EXPECT_EQ(idea.status, kNoStatus);

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
  EXPECT_EQ(std::tuple(model.node("s")->expanded(), model.node("a")->expanded(), model.node("b")->expanded()),
            std::tuple(true, true, false));
  EXPECT_EQ(model.tree.selected, model.node("a1"));
  EXPECT_EQ(model.tree.topVisible, model.node("b"));

  model.tree.selected = model.node("b");
  model.tree.setExpanded(model.node("a"), false);
  RebuildFromTree(model.master, model.tree);
  EXPECT_TRUE(model.master.recordOf("b")->sel);
  EXPECT_FALSE(model.master.recordOf("a1")->sel);
  EXPECT_FALSE(model.master.recordOf("a")->exp);
}

struct MoveCase {
  const char* what;
  int from;
  int to;
  int delta;
  const char* outline;
};

TEST(TreeBuild, MoveSubtreeIndentsOutdentsAndDrags) {
  const std::vector<MoveCase> cases = {
      {"indent b under a", 4, 4, 1, "s:0 a:1 a1:2 a2:2 b:2 c:1 c1:2"},
      {"indent c with its subtree", 5, 5, 1, "s:0 a:1 a1:2 a2:2 b:1 c:2 c1:3"},
      {"outdent a1 after a's subtree", 2, 4, -1, "s:0 a:1 a2:2 a1:1 b:1 c:1 c1:2"},
      {"outdent a1 in place: a2 follows it down", 2, 2, -1, "s:0 a:1 a1:1 a2:2 b:1 c:1 c1:2"},
      {"outdent the last sub-topic to the end", 6, -1, -1, "s:0 a:1 a1:2 a2:2 b:1 c:1 c1:1"},
      {"drag c in front of a", 5, 1, 0, "s:0 c:1 c1:2 a:1 a1:2 a2:2 b:1"},
      {"drag a in front of c", 1, 5, 0, "s:0 b:1 a:1 a1:2 a2:2 c:1 c1:2"},
      {"drag a1 to the end", 2, -1, 0, "s:0 a:1 a2:2 b:1 c:1 c1:2 a1:2"},
  };
  for (const MoveCase& move : cases) {
    Model model("s:0 a:1 a1:2 a2:2 b:1 c:1 c1:2");
    model.build();
    const std::vector<TopicNode*> before = model.tree.displayOrder();
    TopicNode* expected = before[static_cast<std::size_t>(move.from)];
    const SubtreeMove moved = MoveSubtree(model.tree, move.from, move.to, move.delta);
    EXPECT_EQ(moved.moved, expected) << move.what;
    EXPECT_EQ(model.tree.selected, expected) << move.what;
    EXPECT_EQ(model.outline(), move.outline) << move.what;
    const std::vector<TopicNode*> after = model.tree.displayOrder();
    EXPECT_EQ(std::multiset(after.begin(), after.end()), std::multiset(before.begin(), before.end()))
        << move.what << ": every node kept its address";

    UndoSubtreeMove(model.tree, moved);
    EXPECT_EQ(model.tree.displayOrder(), before) << move.what << ": undone";
  }
  Model empty;
  EXPECT_EQ(MoveSubtree(empty.tree, 0, 0, 1).moved, nullptr);
}

// The level sequence the old way: take the subtree's records out, change their levels, put
// them back in front of the record that was at `to`, and build the tree anew. Nothing when a
// level can no longer exist where it landed (the rebuild then reshapes the subtree, where the
// move keeps it whole at the deepest level there).
std::optional<std::string> RebuiltOutline(std::vector<std::pair<std::string, int>> list, int from, int to,
                                          int delta) {
  const auto first = list.begin() + from;
  auto end = first + 1;
  while (end != list.end() && end->second > first->second) ++end;
  const bool toEnd = to < 0 || static_cast<std::size_t>(to) >= list.size();
  const bool inside = !toEnd && to >= from && to < end - list.begin();
  const std::string target = toEnd || inside ? std::string() : list[static_cast<std::size_t>(to)].first;
  std::vector<std::pair<std::string, int>> block(first, end);
  for (auto& entry : block) entry.second += delta;
  list.erase(first, end);
  const auto at = inside ? list.begin() + from : std::find_if(list.begin(), list.end(), [&](const auto& entry) {
    return !target.empty() && entry.first == target;
  });
  list.insert(at, block.begin(), block.end());
  Model rebuilt;
  for (const auto& [id, level] : list) rebuilt.add(id, level);
  if (!rebuilt.build().problems.empty()) return std::nullopt;
  return rebuilt.outline();
}

// Moving nodes in place gives exactly the tree that rebuilding from the changed levels gives,
// for every kind of move on many random trees: deeper and shallower targets, moves in place
// that adopt the following siblings, moves to the end, level jumps.
TEST(TreeBuild, MoveSubtreeInPlaceMatchesRebuildingFromLevels) {
  std::mt19937 random(5);
  int compared = 0;
  for (int round = 0; round < 400; ++round) {
    std::vector<std::pair<std::string, int>> records;
    int level = 0;
    const int count = 2 + static_cast<int>(random() % 14);
    for (int i = 0; i < count; ++i) {
      level = i == 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(level + 2));
      records.emplace_back("n" + std::to_string(i), level);
    }
    const int from = static_cast<int>(random() % static_cast<unsigned>(count));
    const int to = static_cast<int>(random() % static_cast<unsigned>(count + 2)) - 1;
    const int lowest = -records[static_cast<std::size_t>(from)].second;
    const int delta = std::max(lowest, static_cast<int>(random() % 5) - 2);

    Model model;
    for (const auto& [id, depth] : records) model.add(id, depth);
    model.build();
    const std::string start = model.outline();
    const SubtreeMove moved = MoveSubtree(model.tree, from, to, delta);
    const std::string what = start + " | from " + std::to_string(from) + " to " + std::to_string(to) +
                             " by " + std::to_string(delta);
    const std::optional<std::string> rebuilt = RebuiltOutline(records, from, to, delta);
    if (rebuilt) {
      ASSERT_EQ(model.outline(), *rebuilt) << what;
      ++compared;
    }
    UndoSubtreeMove(model.tree, moved);
    ASSERT_EQ(model.outline(), start) << what << ": undone";
  }
  EXPECT_GT(compared, 250) << "most random moves are ones a user can make";
}

TEST(TreeBuild, NewTopicRecordsGetFreshIdsAboveEveryIdAndNeverNegative) {
  test::TempFolder folder;
  Model model;
  model.add("s", 0).type = 4;
  model.build();
  model.master.uniquePath = folder.file("StructUnique.dat");
  const ResultOf<TopicNode*> first = NewTopicRecord(model.master, model.tree, model.node("s"), 0, 4, "New topic");
  ASSERT_TRUE(first) << first.reason();
  const TopicRecord* record = (*first)->record;
  EXPECT_EQ(std::tuple(record->uni.str(), record->lev, record->type, record->treeNode), std::tuple("1", 1, 4, *first));
  EXPECT_EQ(record->text, "New topic");
  EXPECT_EQ(model.master.recordOf("1"), record);
  ASSERT_TRUE(NewTopicRecord(model.master, model.tree, *first, 0, 4, "x"));
  EXPECT_EQ(model.outline(), "s:0 1:1 2:2");

  // A damaged counter, or one set back behind the topics, continues above every id there
  // is, once, and says so; no id is negative or given twice.
  const std::pair<const char*, const char*> cases[] = {
      {"garbage!", "could not be used"}, {"00000001", "was behind the topics (it gave 2)"}};
  for (const auto& [counter, said] : cases) {
    folder.put("StructUnique.dat", counter);
    const std::string expected = std::to_string(model.master.highestId() + 1);
    const ResultOf<TopicNode*> repaired = NewTopicRecord(model.master, model.tree, nullptr, 0, 4, "y");
    ASSERT_TRUE(repaired) << repaired.reason();
    EXPECT_EQ((*repaired)->record->uni, expected);
    EXPECT_NE(repaired.note().find(said), std::string::npos) << repaired.note();
    const ResultOf<TopicNode*> next = NewTopicRecord(model.master, model.tree, nullptr, 0, 4, "z");
    ASSERT_TRUE(next);
    EXPECT_EQ((*next)->record->uni, std::to_string(std::stoi(expected) + 1));
    EXPECT_TRUE(next.note().empty()) << "reported once";
  }
  EXPECT_EQ(model.master.recordOf("-1"), nullptr);
  EXPECT_EQ(model.outline(), "6:0 5:0 4:0 3:0 s:0 1:1 2:2") << "each new section went first";

  folder.put("StructUnique.dat", "00000001");
  test::FailingFileSystem full;
  full.failWrite = true;
  const ScopedFileSystem scope(full);
  const ResultOf<TopicNode*> refused = NewTopicRecord(model.master, model.tree, nullptr, 0, 4, "w");
  ASSERT_FALSE(refused) << "a counter that cannot be written gives no id at all";
  EXPECT_NE(refused.reason().find("no new topic id"), std::string::npos) << refused.reason();
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

TEST(RollUp, ParentTaskFollowsItsSubTasksAndUrgentMarksTravelUp) {
  Family allDone({{kFinished, 100}, {kFinished, 100}, {kFinished, 100}});
  const TopicRecord& done = *allDone.parent;
  EXPECT_EQ(std::tuple(done.status, done.fdate.str(), done.fTime.str(), done.progress, done.childTasks),
            std::tuple(kFinished, "20261205", "00:00:00", 100, 3));

  Family oneMoving({{kNotStarted, 0}, {kInProgress, 30}, {kFinished, 100}});
  EXPECT_EQ(std::tuple(oneMoving.parent->status, oneMoving.parent->sta.str()), std::tuple(kInProgress, "20261205-120000"));

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

  // Urgent marks and changes travel up; system tasks lose their status.
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
  EXPECT_EQ(std::tuple(system.parent->status, bool{system.parent->calpr}, system.parent->progress),
            std::tuple(kNoStatus, true, 0));
  EXPECT_FALSE(RollUpChildren(system.parent->treeNode, kNow)) << "nothing left to change";
}

}  // namespace
}  // namespace tarvo
