#include "workspace/attribute_command.h"

namespace tarvo {

AttributeCommand::AttributeCommand(Workspace& workspace, TopicNode* node, const QString& text,
                                   const Change& change, bool rollsUp, const QDateTime& now, bool fromTheNode)
    : WorkspaceCommand(workspace, text),
      node_(node),
      selectedBefore_(workspace.tree().selected),
      before_(*node->record),
      after_(*node->record) {
  TopicNode* const rolled = fromTheNode ? node : node->parent();
  rollBefore_.capture({rolled});
  changed_ = change(*node->record, now);
  if (!changed_) return;
  after_ = *node->record;
  tree().selected = node;
  tree().nodeChanged(node);
  if (rollsUp) rollUp({rolled}, Moment::At(now));
  rollAfter_.capture({rolled});
}

void AttributeCommand::restore(const TopicRecord& state) {
  TopicRecord& record = *node_->record;
  TopicNode* const treeNode = record.treeNode;
  const std::uint32_t masterIndex = record.masterIndex;
  record = state;
  record.treeNode = treeNode;
  record.masterIndex = masterIndex;
  tree().nodeChanged(node_);
}

void AttributeCommand::undo() {
  rollBefore_.restore(tree());
  restore(before_);
  tree().selected = selectedBefore_;
  done_ = false;
}

void AttributeCommand::redo() {
  if (done_) return;
  restore(after_);
  rollAfter_.restore(tree());
  tree().selected = node_;
  done_ = true;
}

}  // namespace tarvo
