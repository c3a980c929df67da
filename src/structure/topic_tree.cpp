#include "structure/topic_tree.h"

#include <algorithm>

#include "structure/topic_record.h"

namespace tarvo {

TopicNode::~TopicNode() {
  std::vector<std::unique_ptr<TopicNode>> pending = std::move(children_);
  while (!pending.empty()) {
    std::unique_ptr<TopicNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->children_) pending.push_back(std::move(child));
    node->children_.clear();
  }
}

int TopicNode::level() const {
  int depth = 0;
  for (const TopicNode* up = parent_; up != nullptr; up = up->parent_) ++depth;
  return depth;
}

std::size_t TopicNode::row() const {
  const auto& list = *siblings_;
  const auto found = std::find_if(list.begin(), list.end(),
                                  [this](const auto& node) { return node.get() == this; });
  return static_cast<std::size_t>(found - list.begin());
}

TopicNode* TopicNode::previousSibling() const {
  const std::size_t at = row();
  return at == 0 ? nullptr : (*siblings_)[at - 1].get();
}

TopicNode* TopicNode::nextSibling() const {
  const std::size_t at = row();
  return at + 1 < siblings_->size() ? (*siblings_)[at + 1].get() : nullptr;
}

void TopicTree::clear() {
  forEachInDisplayOrder([](TopicNode& node, int) {
    if (node.record != nullptr && node.record->treeNode == &node) node.record->treeNode = nullptr;
  });
  roots_.clear();
  selected = nullptr;
  topVisible = nullptr;
}

TopicNode* TopicTree::insertInto(TopicNode* parent, std::size_t at, std::string caption) {
  auto& list = siblingsOf(parent);
  auto node = std::make_unique<TopicNode>();
  node->caption = std::move(caption);
  node->parent_ = parent;
  node->siblings_ = &list;
  TopicNode* raw = node.get();
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(std::min(at, list.size())),
              std::move(node));
  return raw;
}

TopicNode* TopicTree::addRoot(std::string caption) {
  return insertInto(nullptr, roots_.size(), std::move(caption));
}

TopicNode* TopicTree::addChild(TopicNode* parent, std::string caption) {
  return insertInto(parent, siblingsOf(parent).size(), std::move(caption));
}

TopicNode* TopicTree::addFirstChild(TopicNode* parent, std::string caption) {
  return insertInto(parent, 0, std::move(caption));
}

TopicNode* TopicTree::insertBefore(TopicNode* sibling, std::string caption) {
  return insertInto(sibling->parent(), sibling->row(), std::move(caption));
}

void TopicTree::remove(TopicNode* node) {
  auto forget = [this](TopicNode& inside, int) {
    if (selected == &inside) selected = nullptr;
    if (topVisible == &inside) topVisible = nullptr;
    if (inside.record != nullptr && inside.record->treeNode == &inside) {
      inside.record->treeNode = nullptr;
    }
  };
  VisitSubtree(*node, 0, forget);
  auto& list = siblingsOf(node->parent());
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(node->row()));
}

void TopicTree::collapseAll() {
  forEachInDisplayOrder([](TopicNode& node, int) { node.expanded = false; });
}

void TopicTree::makeVisible(TopicNode* node) {
  for (TopicNode* up = node->parent(); up != nullptr; up = up->parent()) up->expanded = true;
}

std::vector<TopicNode*> TopicTree::displayOrder() const {
  std::vector<TopicNode*> order;
  forEachInDisplayOrder([&order](TopicNode& node, int) { order.push_back(&node); });
  return order;
}

std::size_t TopicTree::nodeCount() const {
  std::size_t count = 0;
  forEachInDisplayOrder([&count](TopicNode&, int) { ++count; });
  return count;
}

}  // namespace tarvo
