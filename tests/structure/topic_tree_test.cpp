#include "structure/topic_tree.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "structure/topic_record.h"

namespace tarvo {
namespace {

// Writes down every notification, and checks at each "about to" call that the tree is still
// as it was and at each "done" call that it changed, as an item model relies on.
struct Recorder : TreeObserver {
  std::vector<std::string> calls;

  static std::string Id(const TopicNode* node) { return node == nullptr ? "-" : node->record->uni.str(); }

  void treeAboutToBeReset() override { calls.push_back("reset?"); }
  void treeReset() override { calls.push_back("reset"); }
  void nodesAboutToBeInserted(TopicNode* parent, std::size_t first, std::size_t) override {
    calls.push_back("insert? " + Id(parent) + " " + std::to_string(first));
  }
  void nodesInserted(TopicNode* parent, std::size_t first, std::size_t) override {
    calls.push_back("insert " + Id(parent) + " " + std::to_string(first));
  }
  void nodesAboutToBeRemoved(TopicNode* parent, std::size_t first, std::size_t) override {
    calls.push_back("remove? " + Id(parent) + " " + std::to_string(first));
  }
  void nodesRemoved(TopicNode* parent, std::size_t first, std::size_t) override {
    calls.push_back("remove " + Id(parent) + " " + std::to_string(first));
  }
  void nodeAboutToBeMoved(TopicNode* node, TopicNode* newParent, std::size_t row) override {
    calls.push_back("move? " + Id(node) + " from " + Id(node->parent()) + " " +
                    std::to_string(node->row()) + " to " + Id(newParent) + " " + std::to_string(row));
  }
  void nodeMoved(TopicNode* node, TopicNode* oldParent, std::size_t oldRow) override {
    calls.push_back("move " + Id(node) + " was " + Id(oldParent) + " " + std::to_string(oldRow) +
                    " now " + Id(node->parent()) + " " + std::to_string(node->row()));
  }
  void childrenAboutToBeReordered(TopicNode* parent) override { calls.push_back("sort? " + Id(parent)); }
  void childrenReordered(TopicNode* parent) override { calls.push_back("sort " + Id(parent)); }
  void nodeExpandedChanged(TopicNode* node) override {
    calls.push_back("expanded " + Id(node) + (node->expanded() ? " on" : " off"));
  }
};

// A tree over records it owns: s (a (a1 a2) b c (c1)).
struct Fixture {
  std::vector<std::unique_ptr<TopicRecord>> records;
  TopicTree tree;
  Recorder recorder;

  TopicNode* add(TopicNode* parent, const std::string& id) {
    records.push_back(std::make_unique<TopicRecord>(id));
    return tree.append(parent, records.back().get());
  }
  Fixture() {
    TopicNode* s = add(nullptr, "s");
    TopicNode* a = add(s, "a");
    add(a, "a1");
    add(a, "a2");
    add(s, "b");
    TopicNode* c = add(s, "c");
    add(c, "c1");
    tree.addObserver(&recorder);
  }
  TopicNode* node(const std::string& id) {
    for (const auto& record : records) {
      if (record->uni == id) return record->treeNode;
    }
    return nullptr;
  }
  std::string outline() const {
    std::string text;
    tree.forEachInDisplayOrder([&](TopicNode& node, int depth) {
      text += (text.empty() ? "" : " ") + node.record->uni + ":" + std::to_string(depth);
    });
    return text;
  }
  // Every node's row is its index among its parent's children.
  bool rowsAgree() const {
    bool agree = true;
    tree.forEachInDisplayOrder([&](TopicNode& node, int) {
      const auto& siblings = node.parent() == nullptr ? tree.roots() : node.parent()->children();
      agree = agree && siblings[node.row()].get() == &node;
    });
    return agree;
  }
};

// Taking, inserting, moving and sorting keep every other node and tell the observers before
// and after; the display order walks both ways; changes that change nothing stay silent, and
// a rebuild is one reset.
TEST(TopicTree, ChangesKeepEveryOtherNodeNoOpsStaySilentAndRebuildsAreOneReset) {
  Fixture fixture;
  TopicNode* a = fixture.node("a");
  TopicNode* b = fixture.node("b");
  TopicNode* c1 = fixture.node("c1");
  fixture.tree.selected = fixture.node("a1");

  std::unique_ptr<TopicNode> taken = fixture.tree.take(a);
  EXPECT_EQ(fixture.outline(), "s:0 b:1 c:1 c1:2");
  EXPECT_EQ(fixture.tree.selected, nullptr) << "the selection left with the subtree";
  EXPECT_EQ(taken->childCount(), 2u) << "the subtree came out whole";
  EXPECT_EQ(b->row(), 0u);
  EXPECT_TRUE(fixture.rowsAgree());

  TopicNode* back = fixture.tree.insert(fixture.node("c"), 1, std::move(taken));
  EXPECT_EQ(back, a) << "the same node went back in";
  EXPECT_EQ(fixture.outline(), "s:0 b:1 c:1 c1:2 a:2 a1:3 a2:3");
  EXPECT_EQ(fixture.node("c1"), c1);

  EXPECT_TRUE(fixture.tree.move(a, fixture.node("s"), 0));
  EXPECT_EQ(fixture.outline(), "s:0 a:1 a1:2 a2:2 b:1 c:1 c1:2");
  EXPECT_FALSE(fixture.tree.move(fixture.node("s"), a, 0)) << "a node cannot move into itself";
  EXPECT_TRUE(fixture.tree.move(b, fixture.node("s"), 2)) << "down among its siblings";
  EXPECT_EQ(fixture.outline(), "s:0 a:1 a1:2 a2:2 c:1 c1:2 b:1");

  fixture.tree.sortChildren(fixture.node("s"), [](const TopicNode& x, const TopicNode& y) {
    return x.record->uni > y.record->uni;
  });
  EXPECT_EQ(fixture.outline(), "s:0 c:1 c1:2 b:1 a:1 a1:2 a2:2") << "one level only";
  fixture.tree.reorderChildren(fixture.node("s"), {a, b, fixture.node("c")});
  EXPECT_EQ(fixture.outline(), "s:0 a:1 a1:2 a2:2 b:1 c:1 c1:2");
  EXPECT_TRUE(fixture.rowsAgree());

  EXPECT_EQ(fixture.recorder.calls,
            (std::vector<std::string>{
                "remove? s 0", "remove s 0", "insert? c 1", "insert c 1",
                "move? a from c 1 to s 0", "move a was c 1 now s 0",
                "move? b from s 1 to s 2", "move b was s 1 now s 2",
                "sort? s", "sort s", "sort? s", "sort s"}));
  fixture.recorder.calls.clear();

  const std::vector<TopicNode*> order = fixture.tree.displayOrder();
  ASSERT_EQ(order.size(), 7u);
  for (std::size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(fixture.tree.nodeAtDisplayIndex(i), order[i]);
    EXPECT_EQ(TopicTree::nextInDisplay(order[i]), i + 1 < order.size() ? order[i + 1] : nullptr);
    EXPECT_EQ(TopicTree::previousInDisplay(order[i]), i > 0 ? order[i - 1] : nullptr);
  }
  EXPECT_EQ(fixture.tree.nodeAtDisplayIndex(7), nullptr);
  EXPECT_EQ(TopicTree::nextAfterSubtree(fixture.node("a")), fixture.node("b"));
  EXPECT_EQ(TopicTree::nextAfterSubtree(fixture.node("c1")), nullptr);
  EXPECT_EQ(fixture.tree.lastNode(), fixture.node("c1"));
  EXPECT_EQ(fixture.node("a2")->level(), 2);

  EXPECT_TRUE(fixture.tree.move(b, fixture.node("s"), 1));
  fixture.tree.reorderChildren(fixture.node("s"), fixture.tree.childrenOf(fixture.node("s")));
  fixture.tree.setExpanded(b, false);
  EXPECT_TRUE(fixture.recorder.calls.empty());

  fixture.tree.makeVisible(fixture.node("c1"));
  EXPECT_EQ(fixture.recorder.calls, (std::vector<std::string>{"expanded c on", "expanded s on"}));

  fixture.recorder.calls.clear();
  {
    const TopicTree::Rebuild rebuild(fixture.tree);
    fixture.tree.clear();
    fixture.add(nullptr, "fresh");
  }
  EXPECT_EQ(fixture.recorder.calls, (std::vector<std::string>{"reset?", "reset"}));
  EXPECT_EQ(fixture.outline(), "fresh:0");
  EXPECT_EQ(fixture.records.front()->treeNode, nullptr) << "cleared records lose their node";
}

}  // namespace
}  // namespace tarvo
