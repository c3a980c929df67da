#pragma once

// The headless tree of sections and topics that the main window shows.
//
// Each node shows one record, and the record points back at its node (`treeNode`). Nodes own
// their children and know their row, so finding a node's place is constant time. The tree
// also holds the view state the window restores and saves: the expanded flags, the selected
// node and the top visible node.
//
// Every change goes through the tree's operations, which tell the observers before and after
// (so an item model can report inserted, removed and moved rows instead of resetting), and
// keep every node that is not moved where it was, at the same address. Nodes taken out of the
// tree (`take`) belong to the caller until they are inserted again.
//
// Threading: user-interface thread only. Observers must stay registered no longer than they
// live; the tree does not own them.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/small_blocks.h"

namespace tarvo {

struct TopicRecord;
class TopicNode;

// A node's children. Their lists come from the small-block pools: a large tree has hundreds of
// thousands of them, each growing a few times while the tree is built.
using NodeList = std::vector<std::unique_ptr<TopicNode>, SmallBlockAllocator<std::unique_ptr<TopicNode>>>;

class TopicNode {
 public:
  TopicNode() = default;
  explicit TopicNode(TopicRecord* shown) : record(shown) {}

  // Nodes live in a pool of populated blocks (see SlabPool): made on the UI thread only.
  static void* operator new(std::size_t size);
  static void operator delete(void* block) noexcept;
  TopicNode(const TopicNode&) = delete;
  TopicNode& operator=(const TopicNode&) = delete;
  // Destroys the subtree without recursion, so no file can nest deep enough to overflow.
  ~TopicNode();

  TopicRecord* record = nullptr;  // not owned

  // The parent node; null for a section.
  [[nodiscard]] TopicNode* parent() const {
    return parent_ != nullptr && !parent_->isRoot_ ? parent_ : nullptr;
  }
  [[nodiscard]] const NodeList& children() const {
    return children_;
  }
  [[nodiscard]] bool hasChildren() const { return !children_.empty(); }
  [[nodiscard]] std::size_t childCount() const { return children_.size(); }
  [[nodiscard]] TopicNode* child(std::size_t index) const { return children_[index].get(); }
  [[nodiscard]] bool expanded() const { return expanded_; }
  // Depth: 0 for a section.
  [[nodiscard]] int level() const;
  // Position among the parent's children (or among the sections).
  [[nodiscard]] std::size_t row() const { return row_; }
  [[nodiscard]] TopicNode* previousSibling() const;
  [[nodiscard]] TopicNode* nextSibling() const;
  // True when `node` is this node or lies in its subtree.
  [[nodiscard]] bool contains(const TopicNode* node) const;

 private:
  friend class TopicTree;

  TopicNode* parent_ = nullptr;  // the tree's hidden root for a section
  std::uint32_t row_ = 0;        // a tree holds no more nodes than a structure holds records
  bool expanded_ = false;
  bool isRoot_ = false;
  NodeList children_;
};

// Hears every change of a tree. "About to" calls come while the tree is as it was, the others
// once it has changed. Rows are positions among the parent's children; a null parent means
// the sections.
class TreeObserver {
 public:
  virtual ~TreeObserver() = default;
  virtual void treeAboutToBeReset() {}
  virtual void treeReset() {}
  virtual void nodesAboutToBeInserted(TopicNode* /*parent*/, std::size_t /*first*/, std::size_t /*last*/) {}
  virtual void nodesInserted(TopicNode* /*parent*/, std::size_t /*first*/, std::size_t /*last*/) {}
  virtual void nodesAboutToBeRemoved(TopicNode* /*parent*/, std::size_t /*first*/, std::size_t /*last*/) {}
  virtual void nodesRemoved(TopicNode* /*parent*/, std::size_t /*first*/, std::size_t /*last*/) {}
  // `row` is the node's row once moved, counted without the node at its old place.
  virtual void nodeAboutToBeMoved(TopicNode* /*node*/, TopicNode* /*newParent*/, std::size_t /*row*/) {}
  virtual void nodeMoved(TopicNode* /*node*/, TopicNode* /*oldParent*/, std::size_t /*oldRow*/) {}
  virtual void childrenAboutToBeReordered(TopicNode* /*parent*/) {}
  virtual void childrenReordered(TopicNode* /*parent*/) {}
  // What the node shows (its record's caption, icon, state) changed.
  virtual void nodeChanged(TopicNode* /*node*/) {}
  // What many nodes show changed at once (the clock's pass over every deadline).
  virtual void nodesChanged(const std::vector<TopicNode*>& nodes) {
    for (TopicNode* node : nodes) nodeChanged(node);
  }
  virtual void nodeExpandedChanged(TopicNode* /*node*/) {}
};

class TopicTree {
 public:
  TopicTree();
  TopicTree(const TopicTree&) = delete;
  TopicTree& operator=(const TopicTree&) = delete;
  ~TopicTree();

  TopicNode* selected = nullptr;    // not owned; cleared when its node leaves the tree
  TopicNode* topVisible = nullptr;  // not owned; cleared when its node leaves the tree

  void addObserver(TreeObserver* observer);
  void removeObserver(TreeObserver* observer);

  [[nodiscard]] const NodeList& roots() const {
    return root_.children_;
  }
  [[nodiscard]] bool empty() const { return root_.children_.empty(); }
  [[nodiscard]] std::size_t nodeCount() const;

  // Building from scratch (loading): observers hear one reset around the whole scope, and the
  // nodes appended meanwhile are not reported one by one.
  class Rebuild {
   public:
    explicit Rebuild(TopicTree& tree);
    ~Rebuild();
    Rebuild(const Rebuild&) = delete;
    Rebuild& operator=(const Rebuild&) = delete;

   private:
    TopicTree& tree_;
  };
  // Empties the tree (the records lose their nodes); inside a Rebuild or reported as a reset.
  void clear();
  // A new last child of `parent` (null: a new last section) showing `record`, which is linked
  // back to it.
  TopicNode* append(TopicNode* parent, TopicRecord* record);

  // Takes the node with its subtree out of the tree and hands it to the caller; the records
  // keep pointing at their nodes. Selection and top node inside it are cleared.
  std::unique_ptr<TopicNode> take(TopicNode* node);
  // Builds a subtree outside any tree (to be inserted whole): a new last child of `parent`,
  // which must not be in a tree, showing `record` (linked back to it). Observers hear nothing.
  static TopicNode* AppendDetached(TopicNode& parent, TopicRecord* record);
  // Puts a taken subtree back as child `row` of `parent` (null: a section); returns its root.
  TopicNode* insert(TopicNode* parent, std::size_t row, std::unique_ptr<TopicNode> subtree);
  // Moves the node with its subtree to child `row` of `newParent`, the row counted without the
  // node at its old place. False (and nothing changes) when the new parent lies inside the
  // subtree; true otherwise, also when the node is already there.
  bool move(TopicNode* node, TopicNode* newParent, std::size_t row);
  // Puts the children of `parent` (null: the sections) in a stable order by `less`.
  using NodeLess = std::function<bool(const TopicNode&, const TopicNode&)>;
  void sortChildren(TopicNode* parent, const NodeLess& less);
  // Puts the children of `parent` in exactly this order (a permutation of them).
  void reorderChildren(TopicNode* parent, const std::vector<TopicNode*>& order);
  [[nodiscard]] std::vector<TopicNode*> childrenOf(const TopicNode* parent) const;

  void setExpanded(TopicNode* node, bool expanded);
  void collapseAll();
  // Expands every ancestor so that the node can be seen.
  void makeVisible(TopicNode* node);
  // Tells the observers that what the node shows changed.
  void nodeChanged(TopicNode* node);
  void nodesChanged(const std::vector<TopicNode*>& nodes);

  // Every node, parents before children, siblings in order.
  [[nodiscard]] std::vector<TopicNode*> displayOrder() const;
  // The node at a position of the display order, or null past the end.
  [[nodiscard]] TopicNode* nodeAtDisplayIndex(std::size_t index) const;
  // The node after `node` in display order, or null.
  [[nodiscard]] static TopicNode* nextInDisplay(const TopicNode* node);
  // The first node after `node`'s whole subtree in display order, or null.
  [[nodiscard]] static TopicNode* nextAfterSubtree(const TopicNode* node);
  // The node before `node` in display order, or null.
  [[nodiscard]] static TopicNode* previousInDisplay(const TopicNode* node);
  // The last node of the subtree in display order (the node itself when it has no children).
  [[nodiscard]] static TopicNode* lastInSubtree(TopicNode* node);
  // The last node of the whole tree, or null.
  [[nodiscard]] TopicNode* lastNode() const;

  // Calls visit(node, depth) for every node in display order.
  template <typename Visit>
  void forEachInDisplayOrder(Visit&& visit) const {
    for (const auto& section : root_.children_) VisitSubtree(*section, 0, visit);
  }
  // Calls visit(node, depth) for the node and its subtree, depth counted from `topDepth`.
  template <typename Visit>
  static void VisitSubtree(TopicNode& top, int topDepth, Visit&& visit) {
    struct Frame {
      TopicNode* node;
      std::size_t next;
    };
    std::vector<Frame> stack;
    visit(top, topDepth);
    stack.push_back({&top, 0});
    while (!stack.empty()) {
      Frame& frame = stack.back();
      if (frame.next == frame.node->children_.size()) {
        stack.pop_back();
        continue;
      }
      TopicNode* child = frame.node->children_[frame.next++].get();
      visit(*child, topDepth + static_cast<int>(stack.size()));
      stack.push_back({child, 0});
    }
  }

 private:
  TopicNode* parentOrRoot(TopicNode* parent) { return parent == nullptr ? &root_ : parent; }
  // Links the node in at `row` and renumbers the rows after it; no notification.
  void link(TopicNode* parent, std::size_t row, std::unique_ptr<TopicNode> node);
  // Unlinks it and renumbers; no notification.
  std::unique_ptr<TopicNode> unlink(TopicNode* node);
  static void Renumber(TopicNode& parent, std::size_t from);
  template <typename Call>
  void tell(Call&& call) {
    if (rebuilding_ == 0) {
      for (TreeObserver* observer : observers_) call(*observer);
    }
  }

  TopicNode root_;
  std::vector<TreeObserver*> observers_;
  int rebuilding_ = 0;
};

}  // namespace tarvo
