#pragma once

// The headless tree of sections and topics that the main window shows.
//
// Each node shows one record (the record points back at its node). The tree holds all
// tree state the view shows: captions, expanded flags, the selected node and the top visible
// node; the view adapter reads it and holds nothing of its own. Nodes own their children.
//
// Threading: user-interface thread only.

#include <memory>
#include <string>
#include <vector>

namespace tarvo {

struct TopicRecord;

class TopicNode {
 public:
  TopicNode() = default;
  TopicNode(const TopicNode&) = delete;
  TopicNode& operator=(const TopicNode&) = delete;
  // Destroys the subtree without recursion, so no file can nest deep enough to overflow.
  ~TopicNode();

  std::string caption;
  bool expanded = false;
  TopicRecord* record = nullptr;  // not owned

  [[nodiscard]] TopicNode* parent() const { return parent_; }
  [[nodiscard]] const std::vector<std::unique_ptr<TopicNode>>& children() const {
    return children_;
  }
  [[nodiscard]] bool hasChildren() const { return !children_.empty(); }
  [[nodiscard]] TopicNode* child(std::size_t index) const { return children_[index].get(); }
  // Depth: 0 for a section.
  [[nodiscard]] int level() const;
  // Position among the parent's children (or among the roots).
  [[nodiscard]] std::size_t row() const;
  [[nodiscard]] TopicNode* previousSibling() const;
  [[nodiscard]] TopicNode* nextSibling() const;

 private:
  friend class TopicTree;
  TopicNode* parent_ = nullptr;
  const std::vector<std::unique_ptr<TopicNode>>* siblings_ = nullptr;  // the list holding this
  std::vector<std::unique_ptr<TopicNode>> children_;
};

class TopicTree {
 public:
  TopicTree() = default;
  TopicTree(const TopicTree&) = delete;
  TopicTree& operator=(const TopicTree&) = delete;
  ~TopicTree() { clear(); }

  TopicNode* selected = nullptr;    // not owned
  TopicNode* topVisible = nullptr;  // not owned

  [[nodiscard]] const std::vector<std::unique_ptr<TopicNode>>& roots() const { return roots_; }
  [[nodiscard]] bool empty() const { return roots_.empty(); }

  void clear();
  TopicNode* addRoot(std::string caption);
  // Adds a last child (parent null: a new last root).
  TopicNode* addChild(TopicNode* parent, std::string caption);
  TopicNode* addFirstChild(TopicNode* parent, std::string caption);
  TopicNode* insertBefore(TopicNode* sibling, std::string caption);
  // Removes the node with its subtree; selection and top node inside it are cleared.
  void remove(TopicNode* node);

  void collapseAll();
  // Expands every ancestor so that the node can be seen.
  void makeVisible(TopicNode* node);

  // Every node, parents before children, siblings in order.
  [[nodiscard]] std::vector<TopicNode*> displayOrder() const;
  // Calls visit(node, depth) for every node in display order.
  template <typename Visit>
  void forEachInDisplayOrder(Visit&& visit) const {
    for (const auto& root : roots_) VisitSubtree(*root, 0, visit);
  }
  [[nodiscard]] std::size_t nodeCount() const;

 private:
  // Depth first without recursion: an explicit stack of (node, next child) frames.
  template <typename Visit>
  static void VisitSubtree(TopicNode& top, int topDepth, Visit& visit) {
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
  TopicNode* insertInto(TopicNode* parent, std::size_t at, std::string caption);
  std::vector<std::unique_ptr<TopicNode>>& siblingsOf(TopicNode* parent) {
    return parent == nullptr ? roots_ : parent->children_;
  }

  std::vector<std::unique_ptr<TopicNode>> roots_;
};

}  // namespace tarvo
