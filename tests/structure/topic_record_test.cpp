#include "structure/topic_record.h"

#include <gtest/gtest.h>

#include "base/interval.h"
#include "structure/structure.h"
#include "structure/topic_tree.h"

namespace tarvo {
namespace {

TEST(TopicRecord, ConstructorDefaults) {
  const TopicRecord record("12");
  EXPECT_EQ(record.uni, "12");
  EXPECT_EQ(record.ttype, kTask);
  EXPECT_EQ(record.status, kNoStatus);
  EXPECT_TRUE(record.calpr);
  EXPECT_EQ(record.rtype, -1);
  EXPECT_EQ(record.fltyp, -1);
  EXPECT_EQ(record.durtype, -1);
  EXPECT_EQ(record.daysDue, kNoDeadline);
  EXPECT_EQ(record.sortKey, "ZZZ");
}

TEST(TopicRecord, SortKeysOrderActiveUrgentAndPriority) {
  TopicRecord record("1");
  record.status = kInProgress;
  record.pri = 3;
  MakeSortKey(record);
  EXPECT_EQ(record.sortKey, "AZ3");
  record.status = kFinished;
  record.pri = 0;
  record.urgent = true;
  MakeSortKey(record);
  EXPECT_EQ(record.sortKey, "XAZ");
  TopicRecord idea("2");
  idea.ttype = kIdeaTopic;
  MakeSortKey(idea);
  EXPECT_EQ(idea.sortKey, "ZZZ");
  idea.status = kOnHold;
  idea.pri = -2;
  idea.childTasks = 1;
  idea.urgentCount = 2;
  MakeSortKey(idea);
  EXPECT_EQ(idea.sortKey, "YA8");
  idea.childTasks = 0;
  MakeSortKey(idea);
  EXPECT_EQ(idea.sortKey, "YZ8") << "urgent marks count only with child tasks";
}

TEST(TopicRecord, CopyAttributesLeavesIdentityAndPlace) {
  TopicTree tree;
  TopicNode* node = tree.addRoot("old caption");
  TopicRecord target("t");
  target.lev = 2;
  target.type = 1;
  target.prog = true;
  target.sys = true;
  target.treeNode = node;
  TopicRecord source("s");
  source.lev = 5;
  source.type = 7;
  source.prog = false;
  source.text = "New caption";
  source.status = kWaiting;
  source.dlDate = "20270101";
  source.from = "Ann";
  source.durtype = kHours;
  CopyTopicAttributes(target, source);
  EXPECT_EQ(target.uni, "t");
  EXPECT_EQ(target.lev, 2);
  EXPECT_EQ(target.type, 1);
  EXPECT_TRUE(target.prog);
  EXPECT_TRUE(target.sys);
  EXPECT_EQ(target.text, "New caption");
  EXPECT_EQ(node->caption, "New caption");
  EXPECT_EQ(target.status, kWaiting);
  EXPECT_EQ(target.dlDate, "20270101");
  EXPECT_EQ(target.from, "Ann");
  EXPECT_EQ(target.durtype, kHours);
}

TEST(TopicRecord, NodeImages) {
  TopicRecord section("s");
  section.type = kPreferencesSection;
  EXPECT_EQ(NodeImageIndex(section), 2);
  TopicRecord task("t");
  task.lev = 1;
  task.status = kInProgress;
  EXPECT_EQ(NodeImageIndex(task), 9);
  task.recur = true;
  EXPECT_EQ(NodeImageIndex(task), 13);
  task.ttype = kFinanceTopic;
  EXPECT_EQ(NodeImageIndex(task), 7);
}

TEST(Structure, SortedListsKeepDuplicatesInInsertionOrder) {
  TopicRecord a("a"), b("b"), c("c");
  Structure list(Structure::Order::SortedWithDuplicates);
  list.add("B", &b);
  list.add("A", &a);
  list.add("B", &c);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.record(0), &a);
  EXPECT_EQ(list.record(1), &b);
  EXPECT_EQ(list.record(2), &c);
  EXPECT_EQ(list.find("B"), 1u);
  EXPECT_EQ(list.find("C"), Structure::npos);
}

TEST(Structure, RelinkKeepsTheFirstFiftyLiveEntries) {
  Structure master;
  for (int i = 0; i < 100; ++i) {
    TopicRecord* record = master.adopt(std::make_unique<TopicRecord>(std::to_string(i)));
    master.add(record->uni, record);
  }
  Structure recent;
  for (int i = 0; i < 60; ++i) recent.add(std::to_string(i), master.record(static_cast<std::size_t>(i)));
  RelinkList(recent, master, 50);
  EXPECT_EQ(recent.size(), 50u);
  EXPECT_TRUE(recent.dirty);
  EXPECT_EQ(recent.record(49)->uni, "49");

  // A record deleted from the master is dropped; a key without record binds by its key.
  TopicRecord* gone = master.record(3);
  master.removeAt(3);
  master.release(gone);
  Structure changes;
  changes.add("2", nullptr);
  changes.add("3", gone);
  changes.add("", nullptr);
  changes.add("4", master.recordOf("4"));
  RelinkList(changes, master, 50);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes.record(0), master.recordOf("2"));
  EXPECT_EQ(changes.record(1), master.recordOf("4"));
  EXPECT_TRUE(changes.dirty);

  RelinkList(changes, master, 50);
  EXPECT_FALSE(changes.dirty) << "nothing dropped: clean";

  Structure dashboard;
  dashboard.add("ZZ", master.recordOf("5"));
  dashboard.add("AA", master.recordOf("6"));
  RelinkList(dashboard, master, -1);
  EXPECT_EQ(dashboard.order(), Structure::Order::SortedWithDuplicates);
  EXPECT_EQ(dashboard.entry(0).key, "AA");
}

}  // namespace
}  // namespace tarvo
