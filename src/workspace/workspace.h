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

#include <QDateTime>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/result.h"
#include "content/checklist.h"
#include "content/topic_pages.h"
#include "sharing/merge_plan.h"
#include "sharing/page_exchange.h"
#include "structure/deadline.h"
#include "structure/structure.h"
#include "structure/structure_file.h"
#include "structure/topic_tree.h"
#include "structure/tree_build.h"
#include "workspace/dashboard.h"
#include "workspace/topic_options.h"

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

// What the expand commands open.
enum class ExpandFilter {
  Urgent,        // urgent topics and those holding urgent ones
  InProgress,    // tasks in progress
  DueSoon,       // unfinished tasks and events due within two weeks
  DueSixWeeks,   // the same within six weeks
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
  // Data of older versions: topics of the main section lose their system flag and recount
  // their page summary from their pages files.
  void upgradeLegacyData();
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
  [[nodiscard]] const ReferenceList& recentChangesList() const { return recentChanges_; }
  [[nodiscard]] const ReferenceList& recentNewList() const { return recentNew_; }
  [[nodiscard]] QUndoStack& undoStack() { return undoStack_; }
  // The dashboard's lists, as of their last rebuild.
  [[nodiscard]] const Dashboard& dashboard() const { return dashboard_; }
  void rebuildDashboard() { dashboard_.rebuild(tree_); }
  void addTreeObserver(TreeObserver* observer) { tree_.addObserver(observer); }
  void removeTreeObserver(TreeObserver* observer) { tree_.removeObserver(observer); }

  // ---- Topic pages
  void setPageFolders(PageFolders folders) { pageFolders_ = std::move(folders); }
  [[nodiscard]] const PageFolders& pageFolders() const { return pageFolders_; }
  // The pages of a topic, read from its pages file the first time they are asked for and kept
  // for the run (by topic id, so a removed topic's pages come back with it). A pages file that
  // cannot be read is a failure; its topic then shows no pages and the file is not written.
  ResultOf<TopicPages*> pagesOf(const TopicRecord& record);
  // A page of the topic was saved with changes: the topic goes to the front of the recent
  // changes (once).
  void notePageSaved(const TopicRecord& record);
  // The files of a topic's pages were replaced from outside (a receive, a pack, their undo): the
  // kept pages are read again, in the same object, when next asked for, so a window holding
  // them never holds a freed one. Whoever shows or indexes pages hears of it with the topic's
  // record (null while the topic is not in the tree).
  void forgetPages(const std::string& topicId);
  using PagesReplaced = std::function<void(const std::string& topicId, const TopicRecord* record)>;
  // Returns a number to remove the listener with.
  int addPagesReplacedListener(PagesReplaced listener);
  void removePagesReplacedListener(int number);
  // The topic's page summary after its pages were saved; saved with the structure, not undone.
  void setPageSummary(TopicNode* node, const PageSummary& summary);

  // ---- View state (saved with the structure, not undone)
  void setExpanded(TopicNode* node, bool expanded);
  void select(TopicNode* node);
  void setTopVisible(TopicNode* node);

  // Opens every node (the view follows) and selects the first node of the tree.
  void expandAll();
  // Selects the first node of the tree and closes every node.
  void contractAll();
  // Refreshes every dated topic of the main section as time passes (due texts, urgency, events
  // that start or end, recurrences moved on); what changed is saved with the structure, not
  // undone. Returns whether anything the tree shows changed.
  bool deadlinePass(const Moment& now);

  // Closes every node but the way to `node`, opens `node` one level and selects it.
  void reveal(TopicNode* node);
  // Closes every node, then opens the way to each matching node and selects the first match
  // (returned; null when none matches).
  TopicNode* expandMatching(ExpandFilter filter);

  // ---- Edits, each one step on the undo stack. Each does nothing, and returns false or
  // null, without a node or where the command does not apply.
  // Moves the subtree at display index `from` in front of the node at `to` (see MoveSubtree).
  bool moveSubtree(int from, int to, int levelChange);
  // A new topic in front of `node` at its level, or as its first child; selects it. Fails,
  // changing nothing, when no fresh id can be drawn.
  ResultOf<TopicNode*> addTopic(TopicNode* node, bool asSubTopic, const QDateTime& now = QDateTime::currentDateTime());
  // Renames to the typed caption trimmed on the right; a blank caption is refused.
  bool renameTopic(TopicNode* node, const std::string& typed);
  // The subtree becomes the last child of its previous sibling.
  bool indent(TopicNode* node);
  // The subtree moves one level up, after its parent's subtree.
  bool outdent(TopicNode* node);
  // One place up (-1) or down (+1) among its siblings, with its subtree.
  bool moveAmongSiblings(TopicNode* node, int step);
  // A dragged subtree may land in front of a node of its own level and section type.
  [[nodiscard]] static bool canDrop(const TopicNode* dragged, const TopicNode* target);
  bool dropOnto(TopicNode* dragged, TopicNode* target);
  // Removes the node with its subtree and their records.
  bool removeSubtree(TopicNode* node);
  bool sortChildren(TopicNode* node, ChildOrder order);
  // Carries out a merge of received topics or an add-on pack, with their page files, as one
  // step; a line per page file that could not be brought in.
  std::vector<std::string> merge(MergePlan plan, PageImportPlan pages, const QString& text,
                                 const QDateTime& now = QDateTime::currentDateTime());
  // Brings page files into the data folders as one step; a line per file that failed.
  std::vector<std::string> importPages(PageImportPlan plan, const QString& text);
  // A fresh unique id for a record made outside the edit commands.
  ResultOf<std::string> freshId();

  // Attribute commands on a topic of the main section (see topic_attributes.h for the rules).
  bool setTopicType(TopicNode* node, int ttype, const QDateTime& now = QDateTime::currentDateTime());
  bool setChosenType(TopicNode* node, int ttype);
  bool setTaskStatus(TopicNode* node, int status, const QDateTime& now = QDateTime::currentDateTime());
  bool setUrgent(TopicNode* node, bool urgent);
  bool stepPriority(TopicNode* node, bool up);
  bool setPriority(TopicNode* node, int priority);
  bool toggleFavourite(TopicNode* node);
  // The checklist's ticks give the topic its progress, and a task its status (rolled up).
  bool applyChecklistProgress(TopicNode* node, const ChecklistProgress& progress,
                              const QDateTime& now = QDateTime::currentDateTime());
  // The values confirmed in the topic's options dialog; one step, rolled up from the node when
  // it has sub-tasks, else from its parent.
  bool editTopicOptions(TopicNode* node, const TopicOptions& options,
                        const QDateTime& now = QDateTime::currentDateTime());

 private:
  friend class WorkspaceCommand;

  using AttributeChange = std::function<bool(TopicRecord&, const QDateTime&)>;
  bool changeAttributes(TopicNode* node, const QString& text, const AttributeChange& change, bool rollsUp,
                        const QDateTime& now = QDateTime::currentDateTime(), bool fromTheNode = false);
  // The node's position in the display order (-1 for none).
  [[nodiscard]] int displayIndexOf(const TopicNode* node) const;
  TakenSubtree takeSubtree(TopicNode* node);
  TopicNode* insertSubtree(TopicNode* parent, std::size_t row, TakenSubtree subtree);

  Structure master_;
  TopicTree tree_;
  ReferenceList recentChanges_;
  ReferenceList recentNew_;
  Dashboard dashboard_;
  PageFolders pageFolders_;
  std::unordered_map<std::string, std::unique_ptr<TopicPages>> pages_;  // by topic id
  std::unordered_set<std::string> stalePages_;  // kept pages whose files were replaced
  std::vector<std::pair<int, PagesReplaced>> pagesReplaced_;
  int nextListener_ = 0;
  QUndoStack undoStack_;  // after the tree: its commands (and the subtrees they own) go first
  bool readable_ = true;
  bool viewChanged_ = false;
};

}  // namespace tarvo
