#pragma once

// A parent task follows its sub-tasks: status, progress and urgent marks roll up the tree.

#include "structure/deadline.h"

namespace tarvo {

class TopicNode;

// Recomputes a topic node from its direct children, and its parent in turn while anything
// changed. Sections and nodes without a record are left alone. Returns true when the node
// itself changed.
bool RollUpChildren(TopicNode* node, const Moment& now);

}  // namespace tarvo
