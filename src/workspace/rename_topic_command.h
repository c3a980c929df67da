#pragma once

// Renaming a topic or section in place.

#include <string>

#include "workspace/workspace_command.h"

namespace tarvo {

class RenameTopicCommand : public WorkspaceCommand {
 public:
  RenameTopicCommand(Workspace& workspace, TopicNode* node, std::string caption);

  void undo() override;
  void redo() override;

 private:
  void show(const std::string& caption);

  TopicNode* node_;
  TopicNode* selectedBefore_;
  std::string before_;
  std::string after_;
};

// The caption a rename gives: trimmed on the right; empty when it would be blank (refused).
std::string RenamedCaption(const std::string& typed);

}  // namespace tarvo
