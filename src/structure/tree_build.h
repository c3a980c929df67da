#pragma once

// Between the master list and the tree: building the tree from the records' levels after a
// load, copying the tree's order back into the list before a save, moving subtrees by their
// display positions, and making the record of a new topic.
//
// Loading and saving are the only whole passes; every edit changes the tree in place through
// its operations, so the nodes that do not move keep their addresses, the view keeps its
// selection, expanded nodes and scroll position, and observers hear exactly what moved.

#include <functional>
#include <string>
#include <vector>

#include "base/result.h"
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
// level open at that point and reported, so it is kept and saved. Observers hear one reset.
// `settled` (if any) is called for every record once nothing of the build changes it any more,
// the last of the tree first: what needs every topic in its final state comes along in the
// same pass instead of a pass of its own over a tree of perhaps a million.
using SettledRecord = std::function<void(const TopicRecord&)>;
TreeBuildReport BuildTree(Structure& master, TopicTree& tree, const Moment& now,
                          const SettledRecord& settled = nullptr);

// Puts the master list in the tree's display order, storing each node's level, expanded,
// selected and top-node state in its record. Records that no node shows are released.
void RebuildFromTree(Structure& master, const TopicTree& tree);

// One step of a subtree move: a node went from one place to another (rows counted as
// TopicTree::move counts them).
struct NodeMove {
  TopicNode* node = nullptr;
  TopicNode* fromParent = nullptr;
  std::size_t fromRow = 0;
  TopicNode* toParent = nullptr;
  std::size_t toRow = 0;
};

struct SubtreeMove {
  TopicNode* moved = nullptr;   // null when `from` named no node
  std::vector<NodeMove> steps;  // in the order done
};

// Moves the subtree at display index `from`, with `levelChange` added to its levels, in front
// of the node at display index `to` (-1 or past the end: the end of the tree); with `to` equal
// to `from` (or inside the subtree) the subtree stays where it is and only changes its levels.
// The result is the tree that rebuilding from the changed level sequence would give, reached by
// moving nodes in place: the subtree itself, and any following nodes whose levels place them
// under it now (an outdent in place adopts the following siblings). A level that cannot exist
// where the subtree lands (deeper than one below the node before it) puts the subtree at the
// deepest level there, whole. Selects the moved node when anything moved.
SubtreeMove MoveSubtree(TopicTree& tree, int from, int to, int levelChange);
// Puts every node of the move back where it was.
void UndoSubtreeMove(TopicTree& tree, const SubtreeMove& move);

// Makes the record of a new topic node: a fresh unique id from the counter file, the section
// type and the caption; adds it to the master list and a node showing it as child `row` of
// `parent` (null: a new section). Fails, changing nothing, when no fresh id can be drawn.
ResultOf<TopicNode*> NewTopicRecord(Structure& master, TopicTree& tree, TopicNode* parent,
                                    std::size_t row, int sectionType, std::string caption);

}  // namespace tarvo
