#pragma once

// Adding a new topic: a fresh record with a fresh id, set up as the kind of topic it is added
// beside or under. Undone, the command keeps the node and its record (and so its id) and puts
// them back on redo; the "New" list follows.

#include <QDateTime>

#include "workspace/workspace_command.h"

namespace tarvo {

class AddTopicCommand : public WorkspaceCommand {
 public:
  // Adds at once as child `row` of `parent` (null: a section); created() tells whether a fresh
  // id could be drawn, and why not.
  AddTopicCommand(Workspace& workspace, const QString& text, TopicNode* parent, std::size_t row, int sectionType,
                  int ttype, const QDateTime& now);

  [[nodiscard]] const ResultOf<TopicNode*>& created() const { return created_; }
  void undo() override;
  void redo() override;

 private:
  void addToNewList();

  ResultOf<TopicNode*> created_;
  TopicNode* parent_;
  std::size_t row_;
  TopicNode* selectedBefore_;
  TakenSubtree taken_;
  RollUpSnapshot rollBefore_;
  RollUpSnapshot rollAfter_;
  bool done_ = true;
};

// The fields a new topic starts with, by its type: a task or event starts not started, an
// event finishes by itself after a duration of one day.
void SetUpNewTopic(TopicRecord& record, int ttype, const QDateTime& now);

}  // namespace tarvo
