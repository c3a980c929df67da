#pragma once

// The base of the workspace's edit commands: what every command may reach of the document,
// and keeping the derived state of the records (task roll-up, what the view shows) in step.

#include <QUndoCommand>
#include <vector>

#include "structure/roll_up.h"
#include "workspace/workspace.h"

namespace tarvo {

class WorkspaceCommand : public QUndoCommand {
 protected:
  WorkspaceCommand(Workspace& workspace, const QString& text);

  Workspace& workspace() { return workspace_; }
  TopicTree& tree() { return workspace_.tree_; }
  Structure& master() { return workspace_.master_; }
  TakenSubtree take(TopicNode* node) { return workspace_.takeSubtree(node); }
  TopicNode* insert(TopicNode* parent, std::size_t row, TakenSubtree subtree) {
    return workspace_.insertSubtree(parent, row, std::move(subtree));
  }

  // The rolled-up fields of the given nodes and all their ancestors, to be put back on undo.
  class RollUpSnapshot {
   public:
    void capture(const std::vector<TopicNode*>& nodes);
    void restore(TopicTree& tree) const;

   private:
    std::vector<std::pair<TopicNode*, RolledUpFields>> saved_;
  };
  // Rolls each node up (and its ancestors as far as anything changes); tells the view.
  void rollUp(const std::vector<TopicNode*>& nodes, const Moment& now = Moment::Now());

 private:
  Workspace& workspace_;
};

}  // namespace tarvo
