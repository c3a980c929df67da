#include "workspace/workspace_command.h"

namespace tarvo {

WorkspaceCommand::WorkspaceCommand(Workspace& workspace, const QString& text)
    : QUndoCommand(text), workspace_(workspace) {}

void WorkspaceCommand::RollUpSnapshot::capture(const std::vector<TopicNode*>& nodes) {
  saved_.clear();
  for (TopicNode* node : nodes) {
    for (TopicNode* up = node; up != nullptr; up = up->parent()) {
      if (up->record != nullptr) saved_.emplace_back(up, RolledUpFields::Of(*up->record));
    }
  }
}

void WorkspaceCommand::RollUpSnapshot::restore(TopicTree& tree) const {
  // Backwards: a node captured twice gets its first (oldest) state last.
  for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
    saved->second.applyTo(*saved->first->record);
    tree.nodeChanged(saved->first);
  }
}

void WorkspaceCommand::rollUp(const std::vector<TopicNode*>& nodes, const Moment& now) {
  for (TopicNode* node : nodes) {
    if (node == nullptr) continue;
    RollUpChildren(node, now);
    for (TopicNode* up = node; up != nullptr; up = up->parent()) tree().nodeChanged(up);
  }
}

}  // namespace tarvo
