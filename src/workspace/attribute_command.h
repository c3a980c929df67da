#pragma once

// A change of one topic's attributes (type, status, urgency, priority, favourite): the record
// as it was and as the change left it, and the roll-up of its ancestors before and after, so
// undo and redo give back exactly both states whatever the rules did in between.

#include <QDateTime>
#include <functional>

#include "workspace/workspace_command.h"

namespace tarvo {

class AttributeCommand : public WorkspaceCommand {
 public:
  // Changes the record at once through `change`, which returns false when its precondition
  // failed; changed() then says whether the command is worth pushing. With `rollsUp` the
  // parent rolls up afterwards, or the node itself with `fromTheNode` (a task whose sub-tasks
  // drive it).
  using Change = std::function<bool(TopicRecord&, const QDateTime&)>;
  AttributeCommand(Workspace& workspace, TopicNode* node, const QString& text, const Change& change,
                   bool rollsUp, const QDateTime& now, bool fromTheNode = false);

  [[nodiscard]] bool changed() const { return changed_; }
  void undo() override;
  void redo() override;

 private:
  // Every field of the record, the tree links kept.
  void restore(const TopicRecord& state);

  TopicNode* node_;
  TopicNode* selectedBefore_;  // undo selects this, redo the changed topic, so the change shows
  TopicRecord before_;
  TopicRecord after_;
  RollUpSnapshot rollBefore_;
  RollUpSnapshot rollAfter_;
  bool changed_ = false;
  bool done_ = true;
};

}  // namespace tarvo
