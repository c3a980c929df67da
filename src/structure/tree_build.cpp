#include "structure/tree_build.h"

#include <algorithm>

#include "structure/roll_up.h"
#include "structure/structure_file.h"

namespace tarvo {
namespace {

void Describe(TreeBuildReport& report, const TopicRecord& record, int placedLevel) {
  report.problems.push_back("*** The topic \"" + record.text + "\" (" + record.uni +
                            ") was at level " + std::to_string(record.lev) +
                            " without a parent one level up; it was placed at level " +
                            std::to_string(placedLevel));
}

// Sections: topic type -1, and the fixed ids of the three system section types.
bool RepairSection(Structure& master, TopicRecord& record) {
  bool repaired = false;
  if (record.ttype != kSectionTopicType) {
    record.ttype = kSectionTopicType;
    repaired = true;
  }
  const std::string fixedId = SystemSectionId(record.type);
  if (!fixedId.empty() && record.uni != fixedId) {
    master.renameId(&record, fixedId);
    repaired = true;
  }
  return repaired;
}

// Topics: the legacy finished flag, tasks without status, the progress picture.
bool RepairTopic(TopicRecord& record) {
  bool repaired = false;
  if (record.done) {
    record.status = kFinished;
    record.done = false;
    repaired = true;
  }
  if (record.isTask() && record.status == kNoStatus) {
    record.status = kNotStarted;
    repaired = true;
  }
  if (record.isTask() && record.status == kInProgress && !record.prog &&
      (record.calpr || record.progress != 50)) {
    record.prog = true;
    repaired = true;
  }
  return repaired;
}

// The ancestor of `node` at `depth`, or `node` itself when it is shallower: where the level
// rule attaches a node one level below `depth` that follows `node`.
TopicNode* OpenNodeAt(TopicNode* node, int depth) {
  int at = node->level();
  while (at > depth) {
    node = node->parent();
    --at;
  }
  return node;
}

// Where a subtree at `level` goes when it follows `before` in display order: its parent and
// its row there, counted with every node where it is now.
std::pair<TopicNode*, std::size_t> PlaceAfter(TopicNode* before, int level) {
  if (before == nullptr) return {nullptr, 0};
  TopicNode* parent = level == 0 ? nullptr : OpenNodeAt(before, level - 1);
  if (parent == before) return {parent, 0};
  // Right after the child of the parent that holds `before`.
  TopicNode* holder = OpenNodeAt(before, parent == nullptr ? 0 : parent->level() + 1);
  return {parent, holder->row() + 1};
}

void Move(TopicTree& tree, SubtreeMove& result, TopicNode* node, TopicNode* parent, std::size_t row) {
  NodeMove step{node, node->parent(), node->row(), parent, row};
  // The row is counted with the node at its old place; the tree counts without it.
  if (step.fromParent == parent && step.fromRow < row) --step.toRow;
  if (step.fromParent == step.toParent && step.fromRow == step.toRow) return;
  tree.move(node, step.toParent, step.toRow);
  result.steps.push_back(step);
}

}  // namespace

TreeBuildReport BuildTree(Structure& master, TopicTree& tree, const Moment& now, const SettledRecord& settled) {
  TreeBuildReport report;
  const TopicTree::Rebuild rebuild(tree);
  tree.clear();
  std::vector<TopicNode*> open;  // the last node placed at each level
  TopicRecord* topRecord = nullptr;
  TopicRecord* selectedRecord = nullptr;
  bool repaired = false;

  for (std::size_t i = 0; i < master.size(); ++i) {
    TopicRecord* record = master.record(i);
    TopicNode* parent = nullptr;
    if (record->lev <= 0 || open.empty()) {
      if (record->lev != 0) Describe(report, *record, 0);
      open.clear();
      if (record->lev != 0 || RepairSection(master, *record)) repaired = true;
    } else {
      const std::size_t level = std::min(static_cast<std::size_t>(record->lev), open.size());
      if (level != static_cast<std::size_t>(record->lev)) {
        Describe(report, *record, static_cast<int>(level));
        repaired = true;
      }
      parent = open[level - 1];
      open.resize(level);
      if (RepairTopic(*record)) repaired = true;
      record->urgentCount = 0;
      if (UpdateDeadlineStatus(*record, now) == kAttributesChanged) repaired = true;
      MakeSortKey(*record);
    }
    open.push_back(tree.append(parent, record));
    if (record->topnode) topRecord = record;
    if (record->sel) selectedRecord = record;
  }

  // Children before parents: walking the list backwards rolls every level up once. A roll-up
  // changes only its node and the node's ancestors, which come earlier: a record is settled
  // once its own turn is over.
  for (std::size_t i = master.size(); i-- > 0;) {
    TopicRecord* record = master.record(i);
    tree.setExpanded(record->treeNode, record->exp);
    RollUpChildren(record->treeNode, now);
    if (settled) settled(*record);
  }
  tree.topVisible = topRecord != nullptr ? topRecord->treeNode : nullptr;
  tree.selected = selectedRecord != nullptr ? selectedRecord->treeNode : nullptr;
  if (repaired) master.dirty = true;
  return report;
}

void RebuildFromTree(Structure& master, const TopicTree& tree) {
  std::vector<TopicRecord*> order;
  order.reserve(master.size());
  tree.forEachInDisplayOrder([&](TopicNode& node, int depth) {
    TopicRecord* record = node.record;
    if (record == nullptr) return;
    record->topnode = &node == tree.topVisible;
    record->lev = depth;
    record->exp = node.expanded();
    record->sel = &node == tree.selected;
    order.push_back(record);
  });
  master.reorder(order);  // the records no node shows die with the returned list
}

SubtreeMove MoveSubtree(TopicTree& tree, int from, int to, int levelChange) {
  SubtreeMove result;
  TopicNode* moved = from < 0 ? nullptr : tree.nodeAtDisplayIndex(static_cast<std::size_t>(from));
  if (moved == nullptr) return result;
  result.moved = moved;

  // The node the subtree lands in front of; null for the end of the tree.
  TopicNode* target = nullptr;
  if (to >= 0 && to != from) target = tree.nodeAtDisplayIndex(static_cast<std::size_t>(to));
  const bool inPlace = to == from || (target != nullptr && moved->contains(target));
  if (inPlace) target = TopicTree::nextAfterSubtree(moved);

  // The node the subtree follows once moved, not counting the subtree itself.
  TopicNode* before = target != nullptr ? TopicTree::previousInDisplay(target) : tree.lastNode();
  if (before != nullptr && moved->contains(before)) before = TopicTree::previousInDisplay(moved);

  const int level = std::max(0, moved->level() + levelChange);
  const auto [parent, row] = PlaceAfter(before, level);
  Move(tree, result, moved, parent, row);

  // Following nodes deeper than the subtree's new level now belong under it, each attached at
  // the open level its own level asks for.
  const int placed = moved->level();
  TopicNode* last = TopicTree::lastInSubtree(moved);
  for (TopicNode* follower = target; follower != nullptr && follower->level() > placed;) {
    TopicNode* next = TopicTree::nextAfterSubtree(follower);
    TopicNode* adopter = OpenNodeAt(last, follower->level() - 1);
    Move(tree, result, follower, adopter, adopter->childCount());
    last = TopicTree::lastInSubtree(follower);
    follower = next;
  }
  if (!result.steps.empty()) tree.selected = moved;
  return result;
}

void UndoSubtreeMove(TopicTree& tree, const SubtreeMove& move) {
  for (auto step = move.steps.rbegin(); step != move.steps.rend(); ++step) {
    tree.move(step->node, step->fromParent, step->fromRow);
  }
}

ResultOf<TopicNode*> NewTopicRecord(Structure& master, TopicTree& tree, TopicNode* parent,
                                    std::size_t row, int sectionType, std::string caption) {
  ResultOf<int> unique = NextUnique(master);
  if (!unique) return Result::Failure("no new topic id could be drawn: " + unique.reason());
  auto record = std::make_unique<TopicRecord>(std::to_string(*unique));
  record->lev = parent == nullptr ? 0 : parent->level() + 1;
  record->type = sectionType;
  record->text = caption;
  TopicRecord* created = master.adopt(std::move(record));
  auto node = std::make_unique<TopicNode>(created);
  created->treeNode = node.get();
  TopicNode* inserted = tree.insert(parent, row, std::move(node));
  if (!unique.note().empty()) return ResultOf<TopicNode*>::Noted(inserted, unique.note());
  return inserted;
}

}  // namespace tarvo
