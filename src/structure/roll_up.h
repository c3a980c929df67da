#pragma once

// A parent task follows its sub-tasks: status, progress and urgent marks roll up the tree.

#include <string>

#include "base/short_text.h"
#include "structure/deadline.h"

namespace tarvo {

class TopicNode;

// The fields of a record that a roll-up may change, to tell whether it changed anything and to
// put them back when an edit is undone.
struct RolledUpFields {
  int status = 0;
  int progress = 0;
  bool calpr = true;
  TinyText fdate;
  TinyText fTime;
  ShortText sta;
  int childTasks = 0;
  int urgentCount = 0;
  TinyText sortKey;

  static RolledUpFields Of(const TopicRecord& record);
  void applyTo(TopicRecord& record) const;
  bool operator==(const RolledUpFields&) const = default;
};

// Recomputes a topic node from its direct children, and its parent in turn while anything
// changed. Sections and nodes without a record are left alone. Returns true when the node
// itself changed.
bool RollUpChildren(TopicNode* node, const Moment& now);

}  // namespace tarvo
