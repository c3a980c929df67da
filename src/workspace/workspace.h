#pragma once

// The document the main window shows and edits: the master list of topic records, the
// headless tree over them, the recent lists and the undo stack of every edit.
//
// Windows hold a reference and call it; nothing else writes its state. Every edit of the tree
// or a record is a command on the undo stack (one class per edit, in this folder), so "changed"
// means: the stack is not at the state last saved, the view state (expanded nodes, selection,
// top node) changed, or loading repaired something. A command may move the selection (to the
// node it moved, and back on undo); the window shows tree().selected after each step.
//
// Ownership: the workspace owns every record in the tree. A command that removes a subtree
// owns its nodes and records while it is done, and hands them back when undone.
// Threading: user-interface thread only.

#include <QUndoStack>
#include <memory>
#include <string>
#include <vector>

#include "base/result.h"
#include "structure/deadline.h"
#include "structure/structure.h"
#include "structure/structure_file.h"
#include "structure/topic_tree.h"
#include "structure/tree_build.h"

namespace tarvo {

// A subtree out of the tree, with the records its nodes show.
struct TakenSubtree {
  std::unique_ptr<TopicNode> root;
  std::vector<std::unique_ptr<TopicRecord>> records;
};

// The orders of the sort commands.
enum class ChildOrder {
  Caption,         // by caption, ordinal
  PriorityKey,     // by sort key, then caption
  DaysDue,         // by days due, then sort key and caption
};

class Workspace {
 public:
  Workspace();
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  // ---- Loading and saving
  // Loads Structure.dat of the data folder (copied from the program folder when missing, or
  // brought back from a backup when unreadable). An unreadable file leaves the workspace empty
  // and is never saved over.
  StructureLoad loadStructure(const std::string& dataFolder, const std::string& programFolder);
  // Loads the two recent lists and drops the ids the structure does not hold.
  Result loadRecentLists(const std::string& changesPath, const std::string& newPath);
  // Topics of the main section written by older versions lose their system flag.
  void clearLegacySystemFlags();
  // Builds the tree from the loaded records; the undo stack starts empty.
  TreeBuildReport buildTree(const Moment& now);

  [[nodiscard]] bool structureReadable() const { return readable_; }
  [[nodiscard]] bool isChanged() const;
  // Saves the structure when it changed (and was readable at start); the stack's clean state
  // then marks what is on disk.
  Result saveStructureIfChanged();
  // Saves a recent list when it changed, after dropping the ids that are gone.
  Result saveRecentList(ReferenceList& list);

  // ---- Reading
  [[nodiscard]] const Structure& master() const { return master_; }
  [[nodiscard]] const TopicTree& tree() const { return tree_; }
  [[nodiscard]] ReferenceList& recentChanges() { return recentChanges_; }
  [[nodiscard]] ReferenceList& recentNew() { return recentNew_; }
  [[nodiscard]] QUndoStack& undoStack() { return undoStack_; }
  void addTreeObserver(TreeObserver* observer) { tree_.addObserver(observer); }
  void removeTreeObserver(TreeObserver* observer) { tree_.removeObserver(observer); }

  // ---- View state (saved with the structure, not undone)
  void setExpanded(TopicNode* node, bool expanded);
  void select(TopicNode* node);
  void setTopVisible(TopicNode* node);

  // ---- Edits, each one step on the undo stack
  // Moves the subtree at display index `from` in front of the node at `to` (see MoveSubtree).
  void moveSubtree(int from, int to, int levelChange);
  // Removes the node with its subtree and their records.
  void removeSubtree(TopicNode* node);
  void sortChildren(TopicNode* node, ChildOrder order);

 private:
  friend class WorkspaceCommand;

  TakenSubtree takeSubtree(TopicNode* node);
  TopicNode* insertSubtree(TopicNode* parent, std::size_t row, TakenSubtree subtree);

  Structure master_;
  TopicTree tree_;
  ReferenceList recentChanges_;
  ReferenceList recentNew_;
  QUndoStack undoStack_;  // after the tree: its commands (and the subtrees they own) go first
  bool readable_ = true;
  bool viewChanged_ = false;
};

}  // namespace tarvo
