#pragma once

// Between the master list and the tree: building the tree from the records' levels, copying
// the tree's order back into the list before a save, moving subtrees, and making the record
// of a new node.

#include <string>
#include <vector>

#include "structure/deadline.h"
#include "structure/structure.h"
#include "structure/topic_tree.h"

namespace tarvo {

struct TreeBuildReport {
  // "*** " texts of records that could not go where their level says; they were kept.
  std::vector<std::string> problems;
};

// Rebuilds `tree` from the master list in order (a record at level L becomes the last child of
// the nearest preceding record at level L − 1), refreshes every topic's deadline state and sort
// key, repairs legacy and inconsistent fields (marking the list dirty), restores expanded
// nodes, rolls task status up from sub-tasks, and restores the selected and top nodes.
// A record whose level jumps more than one below its predecessor is attached at the deepest
// level open at that point and reported, so it is kept and saved.
TreeBuildReport BuildTree(Structure& master, TopicTree& tree, const Moment& now);

// Refills the master list from the tree in display order, storing each node's level, caption,
// expanded, selected and top-node state in its record. Records no longer in the tree (removed
// with a subtree) are released.
void RebuildFromTree(Structure& master, const TopicTree& tree);

// Moves the subtree at display index `from` (with `levelChange` added to every level) in front
// of the node at display index `to` (-1: the end of the tree), or, when `to` equals `from`,
// only changes its levels in place. Rebuilds the tree, selects the moved node and marks the
// list dirty. Returns the moved node, or null when `from` is no node.
TopicNode* MoveSubtree(Structure& master, TopicTree& tree, int from, int to, int levelChange,
                       const Moment& now);

// Makes the record a new node shows: a fresh unique id, the node's level and caption, and the
// given section type; added to the master list, linked both ways, the list marked dirty.
TopicRecord* NewTopicRecord(Structure& master, TopicNode* node, int sectionType);

}  // namespace tarvo
