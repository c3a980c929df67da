#include "workspace/remove_subtree_command.h"

namespace tarvo {

RemoveSubtreeCommand::RemoveSubtreeCommand(Workspace& workspace, TopicNode* node)
    : WorkspaceCommand(workspace, "Remove topic"),
      node_(node),
      parent_(node->parent()),
      row_(node->row()) {}

void RemoveSubtreeCommand::redo() {
  before_.capture({parent_});
  wasSelected_ = tree().selected != nullptr && node_->contains(tree().selected);
  taken_ = take(node_);
  if (rolledUp_) {
    after_.restore(tree());
  } else {
    rollUp({parent_});
    after_.capture({parent_});
    rolledUp_ = true;
  }
}

void RemoveSubtreeCommand::undo() {
  insert(parent_, row_, std::move(taken_));
  taken_ = {};
  before_.restore(tree());
  if (wasSelected_) tree().selected = node_;
}

}  // namespace tarvo
