#pragma once

// What merging a received send file or an add-on pack changes in the tree, worked out before
// anything changes: the local records that take received attributes, and the new nodes with
// where each goes. The workspace carries a plan out as one step that can be undone.
//
// New nodes are listed parents first. A node whose parent is another new node is appended to
// it in plan order; a node placed among existing nodes goes first or last among its parent's
// children, or right after a sibling (an existing node or an earlier new one).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/result.h"
#include "structure/structure.h"
#include "structure/topic_tree.h"
#include "sharing/send_file.h"

namespace tarvo {

struct PlannedUpdate {
  TopicRecord* local = nullptr;
  std::unique_ptr<TopicRecord> incoming;  // its attributes are copied onto the local record
};

struct PlannedNode {
  enum class Place { First, Last, After };

  std::unique_ptr<TopicRecord> record;
  int plannedParent = -1;             // index of a new node, or -1 for `parent`
  TopicNode* parent = nullptr;        // an existing node; null: the sections
  Place place = Place::Last;
  TopicNode* after = nullptr;         // with Place::After: an existing sibling ...
  int afterPlanned = -1;              // ... or the index of a new one
};

struct MergePlan {
  std::vector<PlannedUpdate> updates;
  std::vector<PlannedNode> nodes;
  std::vector<std::string> log;       // one line per matched or added record, in order
  std::vector<std::string> newTopics; // ids to put at the front of the new-topics list, in order

  [[nodiscard]] bool empty() const { return updates.empty() && nodes.empty(); }
};

// The first section of the tree of this section type, or null: where received and pack topics
// of that type go when nothing else places them.
TopicNode* FirstSectionOfType(const TopicTree& tree, int sectionType);

// Draws a fresh unique id for a record made here (the header, a new section).
using FreshId = std::function<ResultOf<std::string>()>;

// The plan for a send file received by the user `ownName`: matched records are updated, the
// others hang under the header in the first section of the header's section type (a "New
// section" when there is none), or beside their matched neighbours when some matched.
ResultOf<MergePlan> PlanReceive(const Structure& master, const TopicTree& tree, ReceivedFile received,
                                const std::string& ownName, const FreshId& freshId);

}  // namespace tarvo
