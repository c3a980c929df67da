#include "workspace/merge_command.h"

#include "structure/deadline.h"

namespace tarvo {
namespace {

// What a record shows that follows from its stored fields.
void Refresh(TopicRecord& record, const Moment& now) {
  if (!record.isSection() && record.type == kMainSection) UpdateDeadlineStatus(record, now);
  MakeSortKey(record);
}

std::unique_ptr<TopicRecord> AttributesOf(const TopicRecord& record) {
  auto copy = std::make_unique<TopicRecord>(record.uni.view());
  CopyTopicAttributes(*copy, record);
  return copy;
}

}  // namespace

MergeCommand::MergeCommand(Workspace& workspace, const QString& text, MergePlan plan, PageImportPlan pages,
                           const QDateTime& now)
    : WorkspaceCommand(workspace, text), now_(Moment::At(now)), selectedBefore_(workspace.tree().selected) {
  pages_ = std::make_unique<PageImportCommand>(workspace, text, std::move(pages));
  for (PlannedUpdate& update : plan.updates) {
    updates_.push_back({update.local, AttributesOf(*update.local), std::move(update.incoming)});
  }
  newTopics_ = std::move(plan.newTopics);

  std::vector<TopicNode*> made(plan.nodes.size(), nullptr);
  std::vector<TakenSubtree> roots = build(plan.nodes, made);
  std::vector<TopicNode*> parents;
  for (const PlannedNode& node : plan.nodes) {
    if (node.plannedParent < 0 && node.parent != nullptr) parents.push_back(node.parent);
  }
  for (const Update& update : updates_) parents.push_back(update.local->treeNode->parent());
  rollBefore_.capture(parents);

  applyUpdates(true);
  insertBuilt(plan.nodes, made, std::move(roots));
  for (const Inserted& inserted : inserted_) settle(inserted.root);
  rollUp(touchedParents(), now_);
  rollAfter_.capture(touchedParents());
  addToNewList();
}

MergeCommand::~MergeCommand() = default;

const std::vector<std::string>& MergeCommand::pageFailures() const { return pages_->failures(); }

std::vector<TakenSubtree> MergeCommand::build(std::vector<PlannedNode>& nodes, std::vector<TopicNode*>& made) {
  std::vector<TakenSubtree> roots(nodes.size());
  std::vector<std::size_t> rootOf(nodes.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    PlannedNode& node = nodes[i];
    TopicRecord* record = node.record.get();
    if (node.plannedParent < 0) {
      rootOf[i] = i;
      roots[i].root = std::make_unique<TopicNode>(record);
      record->treeNode = roots[i].root.get();
      made[i] = roots[i].root.get();
    } else {
      const auto parent = static_cast<std::size_t>(node.plannedParent);
      rootOf[i] = rootOf[parent];
      made[i] = TopicTree::AppendDetached(*made[parent], record);
    }
    roots[rootOf[i]].records.push_back(std::move(node.record));
  }
  return roots;
}

void MergeCommand::insertBuilt(std::vector<PlannedNode>& nodes, std::vector<TopicNode*>& made,
                               std::vector<TakenSubtree> roots) {
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const PlannedNode& node = nodes[i];
    if (node.plannedParent >= 0) continue;
    std::size_t row = 0;
    switch (node.place) {
      case PlannedNode::Place::First: row = 0; break;
      case PlannedNode::Place::Last: row = tree().childrenOf(node.parent).size(); break;
      case PlannedNode::Place::After: {
        const TopicNode* sibling = node.after != nullptr ? node.after : made[static_cast<std::size_t>(node.afterPlanned)];
        row = sibling->row() + 1;
        break;
      }
    }
    TopicNode* root = insert(node.parent, row, std::move(roots[i]));
    inserted_.push_back({root, node.parent, row, {}});
  }
}

// A new subtree's records take the levels and the section type of where they landed.
void MergeCommand::settle(TopicNode* root) {
  TopicNode* section = root;
  while (section->parent() != nullptr) section = section->parent();
  const int sectionType = section->record->type;
  TopicTree::VisitSubtree(*root, root->level(), [&](TopicNode& node, int depth) {
    TopicRecord& record = *node.record;
    record.lev = depth;
    if (depth > 0) record.type = sectionType;
    Refresh(record, now_);
  });
  TopicTree::VisitSubtree(*root, 0, [&](TopicNode& node, int) {
    if (node.record->exp && node.hasChildren()) tree().setExpanded(&node, true);
  });
}

std::vector<TopicNode*> MergeCommand::touchedParents() const {
  std::vector<TopicNode*> parents;
  for (const Inserted& inserted : inserted_) {
    if (inserted.parent != nullptr) parents.push_back(inserted.parent);
  }
  for (const Update& update : updates_) {
    if (TopicNode* parent = update.local->treeNode->parent()) parents.push_back(parent);
  }
  return parents;
}

void MergeCommand::applyUpdates(bool forward) {
  for (Update& update : updates_) {
    CopyTopicAttributes(*update.local, forward ? *update.after : *update.before);
    Refresh(*update.local, now_);
    tree().nodeChanged(update.local->treeNode);
  }
}

void MergeCommand::addToNewList() {
  if (newTopics_.empty()) return;
  ReferenceList& list = workspace().recentNew();
  for (const std::string& uni : newTopics_) list.insert(0, uni, uni);
  list.dirty = true;
}

void MergeCommand::undo() {
  ReferenceList& list = workspace().recentNew();
  for (const std::string& uni : newTopics_) {
    if (const std::size_t at = list.find(uni); at != ReferenceList::npos) list.removeAt(at);
  }
  if (!newTopics_.empty()) list.dirty = true;
  for (auto inserted = inserted_.rbegin(); inserted != inserted_.rend(); ++inserted) {
    inserted->taken = take(inserted->root);
  }
  applyUpdates(false);
  pages_->undo();
  rollBefore_.restore(tree());
  tree().selected = selectedBefore_;
  done_ = false;
}

void MergeCommand::redo() {
  if (done_) return;
  for (Inserted& inserted : inserted_) {
    inserted.root = insert(inserted.parent, inserted.row, std::move(inserted.taken));
    inserted.taken = {};
  }
  applyUpdates(true);
  pages_->redo();
  rollAfter_.restore(tree());
  addToNewList();
  done_ = true;
}

}  // namespace tarvo
