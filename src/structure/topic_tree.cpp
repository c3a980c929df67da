#include "structure/topic_tree.h"

#include <algorithm>
#include <cassert>

#include "base/slab_pool.h"
#include "structure/topic_record.h"

namespace tarvo {
namespace {

SlabPool& NodePool() {
  static auto* pool = new SlabPool(sizeof(TopicNode));  // never destroyed: statics free nodes at exit
  return *pool;
}

}  // namespace

void* TopicNode::operator new(std::size_t size) {
  if (size != sizeof(TopicNode)) return ::operator new(size);
  return NodePool().allocate();
}

void TopicNode::operator delete(void* block) noexcept { NodePool().release(block); }

TopicNode::~TopicNode() {
  std::vector<std::unique_ptr<TopicNode>> pending;
  for (auto& child : children_) pending.push_back(std::move(child));
  children_.clear();
  while (!pending.empty()) {
    std::unique_ptr<TopicNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->children_) pending.push_back(std::move(child));
    node->children_.clear();
  }
}

int TopicNode::level() const {
  int depth = 0;
  for (const TopicNode* up = parent(); up != nullptr; up = up->parent()) ++depth;
  return depth;
}

TopicNode* TopicNode::previousSibling() const {
  if (parent_ == nullptr || row_ == 0) return nullptr;
  return parent_->children_[row_ - 1].get();
}

TopicNode* TopicNode::nextSibling() const {
  if (parent_ == nullptr || row_ + 1 >= parent_->children_.size()) return nullptr;
  return parent_->children_[row_ + 1].get();
}

bool TopicNode::contains(const TopicNode* node) const {
  for (const TopicNode* up = node; up != nullptr; up = up->parent_) {
    if (up == this) return true;
  }
  return false;
}

TopicTree::TopicTree() { root_.isRoot_ = true; }

TopicTree::~TopicTree() {
  observers_.clear();
  clear();
}

void TopicTree::addObserver(TreeObserver* observer) { observers_.push_back(observer); }

void TopicTree::removeObserver(TreeObserver* observer) { std::erase(observers_, observer); }

std::size_t TopicTree::nodeCount() const {
  std::size_t count = 0;
  forEachInDisplayOrder([&count](TopicNode&, int) { ++count; });
  return count;
}

TopicTree::Rebuild::Rebuild(TopicTree& tree) : tree_(tree) {
  tree_.tell([](TreeObserver& observer) { observer.treeAboutToBeReset(); });
  ++tree_.rebuilding_;
}

TopicTree::Rebuild::~Rebuild() {
  --tree_.rebuilding_;
  tree_.tell([](TreeObserver& observer) { observer.treeReset(); });
}

void TopicTree::clear() {
  const Rebuild reset(*this);
  forEachInDisplayOrder([](TopicNode& node, int) {
    if (node.record != nullptr && node.record->treeNode == &node) node.record->treeNode = nullptr;
  });
  NodeList sections = std::move(root_.children_);
  root_.children_.clear();
  sections.clear();
  selected = nullptr;
  topVisible = nullptr;
}

void TopicTree::Renumber(TopicNode& parent, std::size_t from) {
  for (std::size_t row = from; row < parent.children_.size(); ++row) {
    parent.children_[row]->row_ = static_cast<std::uint32_t>(row);
  }
}

void TopicTree::link(TopicNode* parent, std::size_t row, std::unique_ptr<TopicNode> node) {
  TopicNode& up = *parentOrRoot(parent);
  row = std::min(row, up.children_.size());
  node->parent_ = &up;
  up.children_.insert(up.children_.begin() + static_cast<std::ptrdiff_t>(row), std::move(node));
  Renumber(up, row);
}

std::unique_ptr<TopicNode> TopicTree::unlink(TopicNode* node) {
  TopicNode& up = *node->parent_;
  const std::size_t row = node->row_;
  std::unique_ptr<TopicNode> owned = std::move(up.children_[row]);
  up.children_.erase(up.children_.begin() + static_cast<std::ptrdiff_t>(row));
  Renumber(up, row);
  owned->parent_ = nullptr;
  return owned;
}

TopicNode* TopicTree::append(TopicNode* parent, TopicRecord* record) {
  TopicNode& up = *parentOrRoot(parent);
  const std::size_t row = up.children_.size();
  tell([&](TreeObserver& observer) { observer.nodesAboutToBeInserted(parent, row, row); });
  auto node = std::make_unique<TopicNode>(record);
  TopicNode* raw = node.get();
  node->parent_ = &up;
  node->row_ = static_cast<std::uint32_t>(row);
  up.children_.push_back(std::move(node));
  if (record != nullptr) record->treeNode = raw;
  tell([&](TreeObserver& observer) { observer.nodesInserted(parent, row, row); });
  return raw;
}

TopicNode* TopicTree::AppendDetached(TopicNode& parent, TopicRecord* record) {
  auto node = std::make_unique<TopicNode>(record);
  TopicNode* raw = node.get();
  node->parent_ = &parent;
  node->row_ = static_cast<std::uint32_t>(parent.children_.size());
  parent.children_.push_back(std::move(node));
  if (record != nullptr) record->treeNode = raw;
  return raw;
}

std::unique_ptr<TopicNode> TopicTree::take(TopicNode* node) {
  TopicNode* parent = node->parent();
  const std::size_t row = node->row_;
  tell([&](TreeObserver& observer) { observer.nodesAboutToBeRemoved(parent, row, row); });
  if (selected != nullptr && node->contains(selected)) selected = nullptr;
  if (topVisible != nullptr && node->contains(topVisible)) topVisible = nullptr;
  std::unique_ptr<TopicNode> owned = unlink(node);
  tell([&](TreeObserver& observer) { observer.nodesRemoved(parent, row, row); });
  return owned;
}

TopicNode* TopicTree::insert(TopicNode* parent, std::size_t row, std::unique_ptr<TopicNode> subtree) {
  row = std::min(row, parentOrRoot(parent)->children_.size());
  tell([&](TreeObserver& observer) { observer.nodesAboutToBeInserted(parent, row, row); });
  TopicNode* raw = subtree.get();
  link(parent, row, std::move(subtree));
  tell([&](TreeObserver& observer) { observer.nodesInserted(parent, row, row); });
  return raw;
}

bool TopicTree::move(TopicNode* node, TopicNode* newParent, std::size_t row) {
  if (newParent != nullptr && node->contains(newParent)) return false;
  TopicNode* oldParent = node->parent();
  const std::size_t oldRow = node->row_;
  const std::size_t siblings = parentOrRoot(newParent)->children_.size();
  row = std::min(row, oldParent == newParent ? siblings - 1 : siblings);
  if (oldParent == newParent && oldRow == row) return true;
  tell([&](TreeObserver& observer) { observer.nodeAboutToBeMoved(node, newParent, row); });
  link(newParent, row, unlink(node));
  tell([&](TreeObserver& observer) { observer.nodeMoved(node, oldParent, oldRow); });
  return true;
}

std::vector<TopicNode*> TopicTree::childrenOf(const TopicNode* parent) const {
  const TopicNode& up = parent == nullptr ? root_ : *parent;
  std::vector<TopicNode*> nodes;
  nodes.reserve(up.children_.size());
  for (const auto& child : up.children_) nodes.push_back(child.get());
  return nodes;
}

void TopicTree::sortChildren(TopicNode* parent, const NodeLess& less) {
  std::vector<TopicNode*> order = childrenOf(parent);
  std::stable_sort(order.begin(), order.end(),
                   [&less](const TopicNode* a, const TopicNode* b) { return less(*a, *b); });
  reorderChildren(parent, order);
}

void TopicTree::reorderChildren(TopicNode* parent, const std::vector<TopicNode*>& order) {
  TopicNode& up = *parentOrRoot(parent);
  assert(order.size() == up.children_.size());
  bool same = true;
  for (std::size_t row = 0; row < order.size() && same; ++row) same = order[row]->row_ == row;
  if (same) return;
  tell([&](TreeObserver& observer) { observer.childrenAboutToBeReordered(parent); });
  NodeList reordered(order.size());
  for (std::size_t row = 0; row < order.size(); ++row) {
    reordered[row] = std::move(up.children_[order[row]->row_]);
  }
  up.children_ = std::move(reordered);
  Renumber(up, 0);
  tell([&](TreeObserver& observer) { observer.childrenReordered(parent); });
}

void TopicTree::setExpanded(TopicNode* node, bool expanded) {
  if (node->expanded_ == expanded) return;
  node->expanded_ = expanded;
  tell([&](TreeObserver& observer) { observer.nodeExpandedChanged(node); });
}

void TopicTree::collapseAll() {
  forEachInDisplayOrder([this](TopicNode& node, int) { setExpanded(&node, false); });
}

void TopicTree::makeVisible(TopicNode* node) {
  for (TopicNode* up = node->parent(); up != nullptr; up = up->parent()) setExpanded(up, true);
}

void TopicTree::nodeChanged(TopicNode* node) {
  tell([&](TreeObserver& observer) { observer.nodeChanged(node); });
}

void TopicTree::nodesChanged(const std::vector<TopicNode*>& nodes) {
  if (nodes.empty()) return;
  tell([&nodes](TreeObserver& observer) { observer.nodesChanged(nodes); });
}

std::vector<TopicNode*> TopicTree::displayOrder() const {
  std::vector<TopicNode*> order;
  forEachInDisplayOrder([&order](TopicNode& node, int) { order.push_back(&node); });
  return order;
}

TopicNode* TopicTree::nodeAtDisplayIndex(std::size_t index) const {
  TopicNode* node = root_.children_.empty() ? nullptr : root_.children_.front().get();
  for (std::size_t at = 0; node != nullptr && at < index; ++at) node = nextInDisplay(node);
  return node;
}

TopicNode* TopicTree::nextInDisplay(const TopicNode* node) {
  if (!node->children_.empty()) return node->children_.front().get();
  return nextAfterSubtree(node);
}

TopicNode* TopicTree::nextAfterSubtree(const TopicNode* node) {
  for (const TopicNode* up = node; up != nullptr && !up->isRoot_; up = up->parent_) {
    if (TopicNode* next = up->nextSibling()) return next;
  }
  return nullptr;
}

TopicNode* TopicTree::previousInDisplay(const TopicNode* node) {
  if (TopicNode* before = node->previousSibling()) return lastInSubtree(before);
  return node->parent();
}

TopicNode* TopicTree::lastInSubtree(TopicNode* node) {
  while (!node->children_.empty()) node = node->children_.back().get();
  return node;
}

TopicNode* TopicTree::lastNode() const {
  return root_.children_.empty() ? nullptr : lastInSubtree(root_.children_.back().get());
}

}  // namespace tarvo
