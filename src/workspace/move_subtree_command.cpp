#include "workspace/move_subtree_command.h"

namespace tarvo {

MoveSubtreeCommand::MoveSubtreeCommand(Workspace& workspace, int from, int to, int levelChange)
    : WorkspaceCommand(workspace, levelChange > 0   ? "Convert topic to a sub-topic"
                                  : levelChange < 0 ? "Convert sub-topic to a topic"
                                                    : "Move topic") {
  selectedBefore_ = tree().selected;
  move_ = MoveSubtree(tree(), from, to, levelChange);
  // Moving changes no record, so the roll-up fields are still those of before the move.
  before_.capture(touchedParents());
  rollUp(touchedParents());
  after_.capture(touchedParents());
}

std::vector<TopicNode*> MoveSubtreeCommand::touchedParents() const {
  std::vector<TopicNode*> parents;
  for (const NodeMove& step : move_.steps) {
    parents.push_back(step.fromParent);
    parents.push_back(step.toParent);
  }
  return parents;
}

void MoveSubtreeCommand::undo() {
  UndoSubtreeMove(tree(), move_);
  before_.restore(tree());
  tree().selected = selectedBefore_;
  done_ = false;
}

void MoveSubtreeCommand::redo() {
  if (done_) return;
  for (const NodeMove& step : move_.steps) tree().move(step.node, step.toParent, step.toRow);
  after_.restore(tree());
  tree().selected = move_.moved;
  done_ = true;
}

}  // namespace tarvo
