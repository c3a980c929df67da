#pragma once

// Sorting the children of one node; every other level keeps its order.

#include "workspace/workspace_command.h"

namespace tarvo {

class SortChildrenCommand : public WorkspaceCommand {
 public:
  SortChildrenCommand(Workspace& workspace, TopicNode* parent, ChildOrder order);

  void undo() override;
  void redo() override;

 private:
  TopicNode* parent_;
  ChildOrder order_;
  std::vector<TopicNode*> before_;
  std::vector<TopicNode*> after_;
};

// The comparison of a sort command: true when `a` goes before `b`.
bool ComesBefore(ChildOrder order, const TopicNode& a, const TopicNode& b);

}  // namespace tarvo
