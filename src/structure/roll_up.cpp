#include "structure/roll_up.h"

#include "base/date_text.h"
#include "structure/topic_tree.h"

namespace tarvo {
namespace {

struct ChildSummary {
  int marked = 0;      // children urgent or holding urgent marks
  int tasks = 0;       // child tasks with a status
  int onHold = 0;
  bool anyInProgress = false;
  bool oneStatus = true;
  int sharedStatus = kNoStatus;
  int progressSum = 0;  // over child tasks not on hold
};

ChildSummary Summarise(const TopicNode& node) {
  ChildSummary summary;
  for (const auto& child : node.children()) {
    const TopicRecord* record = child->record;
    if (record == nullptr) continue;
    if (record->urgent || record->urgentCount >= 1) ++summary.marked;
    if (!record->isTask() || record->status == kNoStatus) continue;
    if (summary.tasks == 0) {
      summary.sharedStatus = record->status;
    } else if (record->status != summary.sharedStatus) {
      summary.oneStatus = false;
    }
    ++summary.tasks;
    if (record->status == kInProgress) summary.anyInProgress = true;
    if (record->status == kOnHold) {
      ++summary.onHold;
    } else {
      summary.progressSum += record->progress;
    }
  }
  return summary;
}

// Built from the moment's parts: a local-time conversion per parent would dominate a large
// tree's roll-up.
std::string TodayStamp(const Moment& now) {
  return StampText(now.today, QTime::fromMSecsSinceStartOfDay(static_cast<int>(now.msecsOfDay)));
}

void StartProgress(TopicRecord& record, const Moment& now) {
  if (record.sta.empty()) record.sta = TodayStamp(now);
}

// Steps 3 and 4: the task follows its child tasks.
void FollowChildTasks(TopicRecord& record, const ChildSummary& summary, const Moment& now) {
  if (summary.tasks > 0) {
    if (summary.oneStatus && record.status != summary.sharedStatus) {
      if (summary.sharedStatus == kFinished) {
        record.fdate = DateStamp(now.today);
        record.fTime = "00:00:00";
      } else if (summary.sharedStatus == kInProgress) {
        StartProgress(record, now);
      }
      record.status = summary.sharedStatus;
    } else if (!summary.oneStatus) {
      if (summary.anyInProgress) {
        record.status = kInProgress;
        StartProgress(record, now);
      } else {
        record.status = kNotStarted;
      }
    }
    if (record.calpr) {
      const int counted = summary.tasks - summary.onHold;
      record.progress = summary.progressSum == 0 || counted <= 0 ? 0 : summary.progressSum / counted;
    }
  } else if (record.sys && record.status != kNoStatus) {
    record.status = kNoStatus;
    record.calpr = true;
    record.progress = 0;
  }
}

}  // namespace

RolledUpFields RolledUpFields::Of(const TopicRecord& record) {
  return {record.status, record.progress,  record.calpr,       record.fdate,  record.fTime,
          record.sta,    record.childTasks, record.urgentCount, record.sortKey};
}

void RolledUpFields::applyTo(TopicRecord& record) const {
  record.status = status;
  record.progress = progress;
  record.calpr = calpr;
  record.fdate = fdate;
  record.fTime = fTime;
  record.sta = sta;
  record.childTasks = childTasks;
  record.urgentCount = urgentCount;
  record.sortKey = sortKey;
}

bool RollUpChildren(TopicNode* node, const Moment& now) {
  bool changedHere = false;
  bool first = true;
  while (node != nullptr && node->record != nullptr && !node->record->isSection()) {
    TopicRecord& record = *node->record;
    const ChildSummary summary = Summarise(*node);
    const RolledUpFields before = RolledUpFields::Of(record);
    if (record.isTask()) FollowChildTasks(record, summary, now);
    record.childTasks = summary.tasks;
    record.urgentCount = summary.marked;
    MakeSortKey(record);
    const bool changed = !(RolledUpFields::Of(record) == before);
    if (first) changedHere = changed;
    first = false;
    if (!changed) break;
    node = node->parent();
  }
  return changedHere;
}

}  // namespace tarvo
