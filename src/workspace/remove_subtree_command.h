#pragma once

// Removing a topic with its whole subtree. While done, the command owns the nodes and their
// records; undone, it puts them back where they were and owns nothing.

#include "workspace/workspace_command.h"

namespace tarvo {

class RemoveSubtreeCommand : public WorkspaceCommand {
 public:
  RemoveSubtreeCommand(Workspace& workspace, TopicNode* node);

  void undo() override;
  void redo() override;

 private:
  TopicNode* node_;  // stays valid: the command owns it while it is out of the tree
  TopicNode* parent_;
  std::size_t row_;
  bool wasSelected_ = false;
  TakenSubtree taken_;
  RollUpSnapshot before_;
  RollUpSnapshot after_;
  bool rolledUp_ = false;
};

}  // namespace tarvo
