#include "structure/topic_record.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <tuple>

#include "base/interval.h"
#include "structure/record_index.h"
#include "structure/structure.h"
#include "structure/topic_tree.h"

namespace tarvo {
namespace {

// Status, priority, urgent, child tasks, urgent marks and the key; one record made again and
// again, so every key is made whole, not patched. Urgent marks count only with child tasks.
TEST(TopicRecord, SortKeysOrderActiveUrgentAndPriority) {
  TopicRecord record("1");
  for (const auto& [status, pri, urgent, childTasks, urgentCount, key] :
       {std::tuple{kInProgress, 3, false, 0, 0, "AZ3"}, {kFinished, 0, true, 0, 0, "XAZ"},
        {kNoStatus, 0, false, 0, 0, "ZZZ"}, {kOnHold, -2, false, 1, 2, "YA8"}, {kOnHold, -2, false, 0, 2, "YZ8"}}) {
    record.status = status;
    record.pri = pri;
    record.urgent = urgent;
    record.childTasks = childTasks;
    record.urgentCount = urgentCount;
    MakeSortKey(record);
    EXPECT_EQ(record.sortKey, key);
  }
}

TEST(TopicRecord, CopyAttributesLeavesIdentityAndPlace) {
  TopicRecord target("t");
  target.lev = 2;
  target.type = 1;
  target.prog = true;
  target.sys = true;
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
  EXPECT_EQ(std::tuple(target.uni.str(), target.lev, target.type, bool{target.prog}, bool{target.sys}),
            std::tuple("t", 2, 1, true, true));
  EXPECT_EQ(std::tuple(target.text, target.status, target.dlDate.str(), target.from.str(), target.durtype),
            std::tuple("New caption", kWaiting, "20270101", "Ann", kHours));
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

TEST(Structure, OwnsRecordsFindsThemByIdAndHandsThemBack) {
  Structure master;
  for (int i = 0; i < 100; ++i) master.adopt(std::make_unique<TopicRecord>(std::to_string(i)));
  TopicRecord* fifty = master.recordOf("50");
  ASSERT_NE(fifty, nullptr);
  EXPECT_EQ(fifty->uni, "50");

  // Releasing from the middle keeps every other record findable and owned.
  std::unique_ptr<TopicRecord> taken = master.release(master.recordOf("3"));
  EXPECT_EQ(taken->uni, "3");
  EXPECT_EQ(master.size(), 99u);
  EXPECT_EQ(master.recordOf("3"), nullptr);
  EXPECT_FALSE(master.owns(taken.get()));
  for (int i = 0; i < 100; ++i) {
    if (i == 3) continue;
    const TopicRecord* record = master.recordOf(std::to_string(i));
    ASSERT_NE(record, nullptr) << i;
    EXPECT_TRUE(master.owns(record)) << i;
  }
  master.adopt(std::move(taken));
  EXPECT_NE(master.recordOf("3"), nullptr) << "adopted back";

  master.renameId(fifty, "STD0001");
  EXPECT_EQ(master.recordOf("50"), nullptr);
  EXPECT_EQ(master.recordOf("STD0001"), fifty);

  // Putting the list in an order gives back the records left out.
  std::vector<std::unique_ptr<TopicRecord>> rest = master.reorder({master.recordOf("7"), master.recordOf("1")});
  ASSERT_EQ(master.size(), 2u);
  EXPECT_EQ(master.record(0)->uni, "7");
  EXPECT_EQ(master.record(1)->uni, "1");
  EXPECT_EQ(rest.size(), 98u);
  EXPECT_EQ(master.recordOf("50"), nullptr);
}


// Many records at once are indexed on another thread; whatever uses the ids meanwhile (a
// rename, a lookup, the highest id, more records) waits for it and sees them all, and the
// first record of an id stays the one found, as with one-by-one adoption.
TEST(Structure, RecordsAdoptedAllAtOnceAreFoundAsIfAdoptedOneByOne) {
  constexpr int kMany = 50000;  // enough to be indexed aside
  const auto batch = [](int from, int to) {
    std::vector<std::unique_ptr<TopicRecord>> records;
    for (int i = from; i < to; ++i) records.push_back(std::make_unique<TopicRecord>(std::to_string(i)));
    return records;
  };
  for (const std::string firstUse : {"rename", "lookup", "highest id", "adopt", "release"}) {
    Structure master;
    master.adopt(std::make_unique<TopicRecord>("STD0001"));
    std::vector<std::unique_ptr<TopicRecord>> records = batch(1, kMany);
    records.push_back(std::make_unique<TopicRecord>("17"));  // a second "17": the first stays
    records.push_back(std::make_unique<TopicRecord>("x900000"));  // no number: no highest id
    const TopicRecord* firstSeventeen = records[16].get();
    TopicRecord* last = records[kMany - 2].get();
    master.adoptAll(std::move(records));

    if (firstUse == "rename") master.renameId(last, "renamed");
    if (firstUse == "lookup") {
      EXPECT_EQ(master.recordOf("17"), firstSeventeen);
    }
    if (firstUse == "highest id") {
      EXPECT_EQ(master.highestId(), kMany - 1);
    }
    if (firstUse == "adopt") master.adoptAll(batch(kMany, 2 * kMany));
    if (firstUse == "release") master.release(master.record(1));

    SCOPED_TRACE(firstUse);
    EXPECT_EQ(master.recordOf("17"), firstSeventeen);
    EXPECT_EQ(master.recordOf(std::to_string(kMany / 2))->uni, std::to_string(kMany / 2));
    EXPECT_EQ(master.recordOf("STD0001"), master.record(0));
    EXPECT_EQ(master.highestId(), firstUse == "adopt" ? 2 * kMany - 1 : kMany - 1);
    EXPECT_EQ(master.recordOf(std::to_string(kMany - 1)), firstUse == "rename" ? nullptr : last);
    EXPECT_EQ(master.recordOf("1") == nullptr, firstUse == "release");
    for (std::size_t i = 0; i < master.size(); ++i) ASSERT_EQ(master.record(i)->masterIndex, i);
  }
  Structure leftAtOnce;  // destroyed while the thread may still run
  leftAtOnce.adoptAll(batch(0, kMany));
}
TEST(ReferenceList, SortedListsKeepDuplicatesInInsertionOrder) {
  ReferenceList list(ReferenceList::Order::Sorted);
  list.add("B", "b");
  list.add("A", "a");
  list.add("B", "c");
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.entry(0).uni, "a");
  EXPECT_EQ(list.entry(1).uni, "b");
  EXPECT_EQ(list.entry(2).uni, "c");
  EXPECT_EQ(list.find("c"), 2u);
  EXPECT_EQ(list.find("x"), ReferenceList::npos);
}

TEST(ReferenceList, RelinkKeepsTheFirstFiftyLiveEntriesByIdNotAddress) {
  Structure master;
  for (int i = 0; i < 100; ++i) master.adopt(std::make_unique<TopicRecord>(std::to_string(i)));
  ReferenceList recent;
  for (int i = 0; i < 60; ++i) recent.add(std::to_string(i));
  RelinkList(recent, master, 50);
  EXPECT_EQ(recent.size(), 50u);
  EXPECT_TRUE(recent.dirty);
  EXPECT_EQ(recent.entry(49).uni, "49");

  // A record that left the master is dropped, even when a new record takes its memory.
  master.release(master.recordOf("3")).reset();
  master.adopt(std::make_unique<TopicRecord>("new"));
  ReferenceList changes;
  for (const char* id : {"2", "3", "", "4"}) changes.add(id);
  RelinkList(changes, master, 50);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes.entry(0).uni, "2");
  EXPECT_EQ(changes.entry(1).uni, "4");
  EXPECT_TRUE(changes.dirty);

  RelinkList(changes, master, 50);
  EXPECT_FALSE(changes.dirty) << "nothing dropped: clean";

  ReferenceList dashboard;
  dashboard.add("ZZ", "5");
  dashboard.add("AA", "6");
  RelinkList(dashboard, master, -1);
  EXPECT_EQ(dashboard.order(), ReferenceList::Order::Sorted);
  EXPECT_EQ(dashboard.entry(0).key, "AA");
}

// Random inserts and erases, many of them reusing freed slots, against a plain map: every id
// is found exactly while its record is in, whatever the growth and the gone slots in between.
TEST(RecordIndex, FindsWhatIsInAfterAnyMixOfInsertsAndErases) {
  std::mt19937 random(3);
  std::vector<std::unique_ptr<TopicRecord>> records;
  for (int i = 0; i < 4000; ++i) records.push_back(std::make_unique<TopicRecord>(std::to_string(i * 7919 % 10007)));
  RecordIndex index;
  std::map<std::string, TopicRecord*> in;
  for (int step = 0; step < 40000; ++step) {
    TopicRecord* record = records[random() % records.size()].get();
    if (in.contains(record->uni.str())) {
      index.erase(record);
      in.erase(record->uni.str());
    } else {
      index.insert(record);
      in[record->uni.str()] = record;
    }
    if (step % 997 == 0) {
      for (const auto& candidate : records) {
        const auto found = in.find(candidate->uni.str());
        ASSERT_EQ(index.find(candidate->uni), found == in.end() ? nullptr : found->second) << step;
      }
    }
  }

  // Of two records with one id, the first stays the one found.
  TopicRecord first("dup");
  TopicRecord second("dup");
  index.insert(&first);
  index.insert(&second);
  EXPECT_EQ(index.find("dup"), &first);
  index.erase(&second);
  EXPECT_EQ(index.find("dup"), &first) << "erasing the other one leaves the first";
  index.clear();
  EXPECT_EQ(index.find("dup"), nullptr);
}

}  // namespace
}  // namespace tarvo
