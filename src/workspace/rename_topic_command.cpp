#include "workspace/rename_topic_command.h"

namespace tarvo {

std::string RenamedCaption(const std::string& typed) {
  std::size_t end = typed.size();
  while (end > 0 && static_cast<unsigned char>(typed[end - 1]) <= ' ') --end;
  return typed.substr(0, end);
}

RenameTopicCommand::RenameTopicCommand(Workspace& workspace, TopicNode* node, std::string caption)
    : WorkspaceCommand(workspace, "Rename topic"),
      node_(node),
      selectedBefore_(workspace.tree().selected),
      before_(node->record->text.str()),
      after_(std::move(caption)) {}

void RenameTopicCommand::show(const std::string& caption) {
  node_->record->text = caption;
  tree().nodeChanged(node_);
}

void RenameTopicCommand::undo() {
  show(before_);
  tree().selected = selectedBefore_;
}

void RenameTopicCommand::redo() {
  show(after_);
  tree().selected = node_;
}

}  // namespace tarvo
