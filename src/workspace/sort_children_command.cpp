#include "workspace/sort_children_command.h"

#include <tuple>

namespace tarvo {

bool ComesBefore(ChildOrder order, const TopicNode& a, const TopicNode& b) {
  const TopicRecord& x = *a.record;
  const TopicRecord& y = *b.record;
  switch (order) {
    case ChildOrder::Caption:
      return x.text < y.text;
    case ChildOrder::PriorityKey:
      return std::tie(x.sortKey, x.text) < std::tie(y.sortKey, y.text);
    case ChildOrder::DaysDue:
      return std::tie(x.daysDue, x.sortKey, x.text) < std::tie(y.daysDue, y.sortKey, y.text);
  }
  return false;
}

SortChildrenCommand::SortChildrenCommand(Workspace& workspace, TopicNode* parent, ChildOrder order)
    : WorkspaceCommand(workspace, "Sort"), parent_(parent), order_(order) {}

void SortChildrenCommand::redo() {
  before_ = tree().childrenOf(parent_);
  if (after_.empty()) {
    tree().sortChildren(parent_, [this](const TopicNode& a, const TopicNode& b) {
      return ComesBefore(order_, a, b);
    });
    after_ = tree().childrenOf(parent_);
  } else {
    tree().reorderChildren(parent_, after_);
  }
}

void SortChildrenCommand::undo() { tree().reorderChildren(parent_, before_); }

}  // namespace tarvo
