#include "workspace/reminders.h"

#include "base/date_text.h"
#include "structure/topic_record.h"
#include "structure/topic_tree.h"

namespace tarvo {
namespace {

bool Dated(const TopicRecord& record) {
  return !record.isSection() && record.type == kMainSection && record.dl && record.status != kFinished &&
         (record.isTask() || record.ttype == kEvent);
}

// Due now: a past day, or today at or after its time (a day without a time is due all day).
bool DueNow(const TopicRecord& record, const Moment& now) {
  if (record.daysDue < 0) return true;
  if (record.daysDue > 0) return false;
  const ParsedTime time = ParseTime(record.dlTime);
  if (!time.ok() || record.dlTime == "00:00:00") return true;
  return time.time.msecsSinceStartOfDay() <= now.msecsOfDay;
}

std::string Occurrence(const char* kind, const TopicRecord& record) {
  return std::string(kind) + " " + record.uni.str() + " " + record.dlDate.str() + " " + record.dlTime.str();
}

}  // namespace

std::vector<Reminder> Reminders::check(const TopicTree& tree, const Moment& now) {
  std::vector<Reminder> fresh;
  tree.forEachInDisplayOrder([&](const TopicNode& node, int) {
    if (node.record == nullptr || !Dated(*node.record)) return;
    const TopicRecord& record = *node.record;
    const auto note = [&](const char* kind, const char* words) {
      if (told_.insert(Occurrence(kind, record)).second && seeded_) {
        fresh.push_back({record.uni.str(), words + record.text.str()});
      }
    };
    if (DueNow(record, now)) note("due", "Due now: ");
    else if (record.urgent && record.flno > 0) note("lead", "Due soon: ");
  });
  seeded_ = true;
  return fresh;
}

}  // namespace tarvo
