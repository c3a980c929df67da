#include "workspace/workspace.h"

#include "workspace/move_subtree_command.h"
#include "workspace/remove_subtree_command.h"
#include "workspace/sort_children_command.h"

namespace tarvo {

Workspace::Workspace() = default;

Workspace::~Workspace() = default;

StructureLoad Workspace::loadStructure(const std::string& dataFolder,
                                       const std::string& programFolder) {
  undoStack_.clear();
  SetStructurePaths(master_, dataFolder, programFolder);
  StructureLoad load = LoadStructureOrBackup(master_);
  readable_ = load.outcome != StructureLoad::Outcome::Unreadable;
  return load;
}

Result Workspace::loadRecentLists(const std::string& changesPath, const std::string& newPath) {
  Result loaded;
  recentChanges_.path = changesPath;
  recentNew_.path = newPath;
  for (ReferenceList* list : {&recentChanges_, &recentNew_}) {
    list->clear();
    if (Result read = LoadRefList(*list); !read && loaded) loaded = read;
    RelinkList(*list, master_, kRecentListLimit);
  }
  return loaded;
}

void Workspace::clearLegacySystemFlags() {
  for (std::size_t i = 0; i < master_.size(); ++i) {
    TopicRecord& record = *master_.record(i);
    if (record.lev == 0 || record.type != kMainSection || !record.sys) continue;
    record.sys = false;
    master_.dirty = true;
  }
}

TreeBuildReport Workspace::buildTree(const Moment& now) {
  undoStack_.clear();
  viewChanged_ = false;
  return BuildTree(master_, tree_, now);
}

bool Workspace::isChanged() const { return !undoStack_.isClean() || viewChanged_ || master_.dirty; }

Result Workspace::saveStructureIfChanged() {
  if (!readable_ || !isChanged()) return {};
  RebuildFromTree(master_, tree_);
  Result saved = SaveStructure(master_);
  if (saved) {
    undoStack_.setClean();
    viewChanged_ = false;
  }
  return saved;
}

Result Workspace::saveRecentList(ReferenceList& list) {
  if (!list.dirty) return {};
  RelinkList(list, master_, kRecentListLimit);
  return SaveRefList(list);
}

void Workspace::setExpanded(TopicNode* node, bool expanded) {
  if (node == nullptr || node->expanded() == expanded) return;
  tree_.setExpanded(node, expanded);
  viewChanged_ = true;
}

void Workspace::select(TopicNode* node) {
  if (tree_.selected == node) return;
  tree_.selected = node;
  viewChanged_ = true;
}

void Workspace::setTopVisible(TopicNode* node) {
  if (tree_.topVisible == node) return;
  tree_.topVisible = node;
  viewChanged_ = true;
}

void Workspace::moveSubtree(int from, int to, int levelChange) {
  auto command = std::make_unique<MoveSubtreeCommand>(*this, from, to, levelChange);
  if (command->moves()) undoStack_.push(command.release());
}

void Workspace::removeSubtree(TopicNode* node) {
  if (node == nullptr) return;
  undoStack_.push(new RemoveSubtreeCommand(*this, node));
}

void Workspace::sortChildren(TopicNode* node, ChildOrder order) {
  if (node == nullptr || !node->hasChildren()) return;
  undoStack_.push(new SortChildrenCommand(*this, node, order));
}

TakenSubtree Workspace::takeSubtree(TopicNode* node) {
  TakenSubtree taken;
  TopicTree::VisitSubtree(*node, 0, [&](TopicNode& inside, int) {
    if (inside.record != nullptr && master_.owns(inside.record)) {
      taken.records.push_back(master_.release(inside.record));
    }
  });
  taken.root = tree_.take(node);
  return taken;
}

TopicNode* Workspace::insertSubtree(TopicNode* parent, std::size_t row, TakenSubtree subtree) {
  for (auto& record : subtree.records) master_.adopt(std::move(record));
  return tree_.insert(parent, row, std::move(subtree.root));
}

}  // namespace tarvo
