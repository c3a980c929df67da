#pragma once

// Which tasks and events have just become due, or reached their urgency lead, while the
// program runs: each occurrence is told once. The first look only notes what is due already,
// so a start-up does not bring a flood of old news.

#include <set>
#include <string>
#include <vector>

#include "structure/deadline.h"

namespace tarvo {

class TopicTree;
struct TopicRecord;

struct Reminder {
  std::string uni;
  std::string text;  // what to say: "Due now: Pay the rent"
};

class Reminders {
 public:
  // The occurrences that became due (or urgent) since the last look.
  std::vector<Reminder> check(const TopicTree& tree, const Moment& now);

 private:
  std::set<std::string> told_;  // "<kind> <uni> <date> <time>" of every occurrence seen
  bool seeded_ = false;
};

}  // namespace tarvo
