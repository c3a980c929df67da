#pragma once

// Merging a received send file or an add-on pack into the tree as one step: local records that
// matched take the received attributes, new nodes go where the plan puts them. Undone, the new
// nodes leave the tree (the command owns them and their records) and the matched records get
// their own attributes back.

#include <QDateTime>
#include <memory>
#include <vector>

#include "sharing/merge_plan.h"
#include "workspace/page_import_command.h"
#include "workspace/workspace_command.h"

namespace tarvo {

class MergeCommand : public WorkspaceCommand {
 public:
  // The page files of `pages` are brought in with the topics, and go back out with them.
  MergeCommand(Workspace& workspace, const QString& text, MergePlan plan, PageImportPlan pages, const QDateTime& now);
  ~MergeCommand() override;

  // One line per page file that could not be brought in.
  [[nodiscard]] const std::vector<std::string>& pageFailures() const;

  void undo() override;
  void redo() override;

 private:
  struct Update {
    TopicRecord* local;
    std::unique_ptr<TopicRecord> before;
    std::unique_ptr<TopicRecord> after;
  };
  struct Inserted {
    TopicNode* root;
    TopicNode* parent;
    std::size_t row;
    TakenSubtree taken;  // while undone
  };

  void applyUpdates(bool forward);
  std::vector<TakenSubtree> build(std::vector<PlannedNode>& nodes, std::vector<TopicNode*>& made);
  void insertBuilt(std::vector<PlannedNode>& nodes, std::vector<TopicNode*>& made, std::vector<TakenSubtree> roots);
  void settle(TopicNode* root);
  void addToNewList();
  [[nodiscard]] std::vector<TopicNode*> touchedParents() const;

  Moment now_;
  std::unique_ptr<PageImportCommand> pages_;
  std::vector<Update> updates_;
  std::vector<Inserted> inserted_;
  std::vector<std::string> newTopics_;
  TopicNode* selectedBefore_;
  RollUpSnapshot rollBefore_;
  RollUpSnapshot rollAfter_;
  bool done_ = true;
};

}  // namespace tarvo
