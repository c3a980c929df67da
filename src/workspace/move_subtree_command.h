#pragma once

// Moving a subtree by display positions: indent, outdent and drag and drop.

#include "workspace/workspace_command.h"

namespace tarvo {

class MoveSubtreeCommand : public WorkspaceCommand {
 public:
  // Moves at once, so that moves() tells whether anything moved; the undo stack's first
  // redo() then has nothing left to do.
  MoveSubtreeCommand(Workspace& workspace, int from, int to, int levelChange);

  [[nodiscard]] bool moves() const { return !move_.steps.empty(); }
  void undo() override;
  void redo() override;

 private:
  std::vector<TopicNode*> touchedParents() const;

  SubtreeMove move_;
  TopicNode* selectedBefore_ = nullptr;  // a move selects the moved node; undo selects this
  RollUpSnapshot before_;  // the roll-up fields the move changed, as they were
  RollUpSnapshot after_;   // and as the move left them, so a redo gives the same result
  bool done_ = true;
};

}  // namespace tarvo
