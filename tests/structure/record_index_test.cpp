#include "structure/record_index.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>

#include "structure/topic_record.h"

namespace tarvo {
namespace {

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
