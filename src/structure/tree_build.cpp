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
bool RepairSection(Structure& master, std::size_t index, TopicRecord& record) {
  bool repaired = false;
  if (record.ttype != kSectionTopicType) {
    record.ttype = kSectionTopicType;
    repaired = true;
  }
  const std::string fixedId = SystemSectionId(record.type);
  if (!fixedId.empty() && record.uni != fixedId) {
    record.uni = fixedId;
    master.renameKey(index, fixedId);
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

}  // namespace

TreeBuildReport BuildTree(Structure& master, TopicTree& tree, const Moment& now) {
  TreeBuildReport report;
  tree.clear();
  std::vector<TopicNode*> open;  // the last node placed at each level
  TopicRecord* topRecord = nullptr;
  TopicRecord* selectedRecord = nullptr;
  bool repaired = false;

  for (std::size_t i = 0; i < master.size(); ++i) {
    TopicRecord* record = master.record(i);
    if (record == nullptr) continue;
    TopicNode* node = nullptr;
    if (record->lev <= 0 || open.empty()) {
      if (record->lev != 0) Describe(report, *record, 0);
      open.clear();
      node = tree.addRoot(record->text);
      open.push_back(node);
      if (record->lev != 0 || RepairSection(master, i, *record)) repaired = true;
    } else {
      const std::size_t level = std::min(static_cast<std::size_t>(record->lev), open.size());
      if (level != static_cast<std::size_t>(record->lev)) {
        Describe(report, *record, static_cast<int>(level));
        repaired = true;
      }
      node = tree.addChild(open[level - 1], record->text);
      open.resize(level);
      open.push_back(node);
      if (RepairTopic(*record)) repaired = true;
      record->urgentCount = 0;
      if (UpdateDeadlineStatus(*record, now) == kAttributesChanged) repaired = true;
      MakeSortKey(*record);
    }
    node->record = record;
    record->treeNode = node;
    if (record->topnode) topRecord = record;
    if (record->sel) selectedRecord = record;
  }

  // Children before parents: walking the list backwards rolls every level up once.
  tree.collapseAll();
  for (std::size_t i = master.size(); i-- > 0;) {
    TopicRecord* record = master.record(i);
    if (record == nullptr || record->treeNode == nullptr) continue;
    record->treeNode->expanded = record->exp;
    RollUpChildren(record->treeNode, now);
  }
  tree.topVisible = topRecord != nullptr ? topRecord->treeNode : nullptr;
  tree.selected = selectedRecord != nullptr ? selectedRecord->treeNode : nullptr;
  if (repaired) master.dirty = true;
  return report;
}

void RebuildFromTree(Structure& master, const TopicTree& tree) {
  master.clear();
  master.setOrder(Structure::Order::Insertion);
  tree.forEachInDisplayOrder([&](TopicNode& node, int depth) {
    TopicRecord* record = node.record;
    if (record == nullptr) return;
    record->topnode = &node == tree.topVisible;
    record->lev = depth;
    record->text = node.caption;
    record->exp = node.expanded;
    record->sel = &node == tree.selected;
    master.add(record->uni, record);
  });
  master.releaseUnlisted();
}

TopicNode* MoveSubtree(Structure& master, TopicTree& tree, int from, int to, int levelChange,
                       const Moment& now) {
  RebuildFromTree(master, tree);
  if (from < 0 || static_cast<std::size_t>(from) >= master.size()) return nullptr;
  const auto first = static_cast<std::size_t>(from);
  TopicRecord* moved = master.record(first);
  const int level = moved->lev;
  std::size_t end = first + 1;
  while (end < master.size() && master.record(end)->lev > level) ++end;

  if (to == from) {
    for (std::size_t i = first; i < end; ++i) master.record(i)->lev += levelChange;
  } else {
    // The subtree lands in front of the record that was at `to` before it was taken out.
    const bool toEnd = to < 0 || static_cast<std::size_t>(to) >= master.size();
    const TopicRecord* target = toEnd ? nullptr : master.record(static_cast<std::size_t>(to));
    std::vector<Structure::Entry> subtree = master.take(first, end);
    for (Structure::Entry& entry : subtree) entry.record->lev += levelChange;
    std::size_t at = master.size();
    if (target != nullptr) {
      const bool inside = static_cast<std::size_t>(to) >= first && static_cast<std::size_t>(to) < end;
      at = inside ? first : master.find(target->uni);
    }
    master.insert(at, std::move(subtree));
  }

  BuildTree(master, tree, now);
  tree.selected = moved->treeNode;
  master.dirty = true;
  return moved->treeNode;
}

TopicRecord* NewTopicRecord(Structure& master, TopicNode* node, int sectionType) {
  auto record = std::make_unique<TopicRecord>(std::to_string(NextUnique(master)));
  TopicRecord* created = master.adopt(std::move(record));
  created->lev = node->level();
  created->type = sectionType;
  created->text = node->caption;
  created->treeNode = node;
  node->record = created;
  master.add(created->uni, created);
  master.dirty = true;
  return created;
}

}  // namespace tarvo
