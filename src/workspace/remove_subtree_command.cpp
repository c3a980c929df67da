#include "workspace/remove_subtree_command.h"

namespace tarvo {

RemoveSubtreeCommand::RemoveSubtreeCommand(Workspace& workspace, TopicNode* node)
    : WorkspaceCommand(workspace, "Remove this topic"),
      node_(node),
      parent_(node->parent()),
      row_(node->row()) {}

void RemoveSubtreeCommand::redo() {
  before_.capture({parent_});
  wasSelected_ = tree().selected != nullptr && node_->contains(tree().selected);
  // The node that takes the removed one's place is selected, so the keys go on working.
  TopicNode* successor = node_->nextSibling() != nullptr       ? node_->nextSibling()
                         : node_->previousSibling() != nullptr ? node_->previousSibling()
                                                               : parent_;
  taken_ = take(node_);
  if (wasSelected_) tree().selected = successor;
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
