#include "workspace/topic_attributes.h"

#include "base/date_text.h"
#include "structure/deadline.h"
#include "structure/topic_tree.h"

namespace tarvo {
namespace {

constexpr const char* kUndatedEventId = "STD010";  // an event that keeps no deadline of its own
constexpr int kEventDurationUnit = 2;

void MakeEvent(TopicRecord& record, const QDateTime& now) {
  if (record.uni == kUndatedEventId) return;
  record.autoFinish = true;
  if (record.durno < 1) {
    record.durno = 1;
    record.durtype = kEventDurationUnit;
  }
  record.dl = true;
  if (record.dlDate.empty()) {
    record.dlDate = DateStamp(now);
    record.rsDate = record.dlDate.str();
  }
  UpdateDeadlineStatus(record, Moment::At(now));
}

void FinishTask(TopicRecord& record, const QDateTime& now) {
  if (record.urgent) {
    record.urgent = false;
    --record.urgentCount;
  }
  record.status = kFinished;
  record.progress = 100;
  record.pri = 0;
  record.fdate = DateStamp(now);
  record.fTime = TimeText(now);
  AdvanceRecurrence(record, Moment::At(now));
  UpdateDeadlineStatus(record, Moment::At(now));
}

bool IsTopic(const TopicNode* node) {
  return node != nullptr && node->record != nullptr && !node->record->isSection();
}

}  // namespace

bool DrivenBySubTasks(const TopicRecord& record) { return record.childTasks != 0 && record.calpr; }

bool ApplyTopicType(TopicRecord& record, int ttype, const QDateTime& now) {
  if (record.ttype == ttype) return false;
  record.ttype = ttype;
  if (ttype == kTask) {
    if (record.status == kNoStatus) record.status = kNotStarted;
  } else {
    record.status = kNoStatus;
    if (ttype == kEvent) MakeEvent(record, now);
  }
  MakeSortKey(record);
  return true;
}

bool ApplyChosenType(TopicRecord& record, int ttype) {
  if (record.ttype == ttype) return false;
  record.ttype = ttype;
  MakeSortKey(record);
  return true;
}

bool ApplyChecklistProgress(TopicRecord& record, const ChecklistProgress& progress, const QDateTime& now) {
  if (!record.isTask()) {
    if (record.progress == progress.progress) return false;
    record.progress = progress.progress;
    return true;
  }
  if (record.status == progress.status && record.progress == progress.progress) return false;
  if (record.status != progress.status) {
    if (progress.status == kInProgress && record.sta.empty()) record.sta = StampText(now);
    if (progress.status == kFinished) {
      record.fdate = DateStamp(now);
      record.fTime = "00:00:00";
    }
  }
  record.progress = progress.progress;
  record.status = progress.status;
  MakeSortKey(record);
  return true;
}

bool ApplyTaskStatus(TopicRecord& record, int status, const QDateTime& now) {
  if (!record.isTask() || DrivenBySubTasks(record) || record.status == status) return false;
  switch (status) {
    case kNotStarted:
      record.progress = 0;
      record.prog = false;
      record.status = kNotStarted;
      break;
    case kInProgress:
      record.status = kInProgress;
      if (record.progress == 0 || record.progress == 100) record.progress = 50;
      record.prog = true;
      if (record.sta.empty()) record.sta = StampText(now);
      break;
    case kFinished:
      FinishTask(record, now);
      break;
    case kWaiting:
    case kOnHold:
      if (record.status == kFinished) return false;
      record.status = status;
      break;
    default:
      return false;
  }
  MakeSortKey(record);
  return true;
}

bool ApplyUrgency(TopicRecord& record, bool urgent) {
  if (record.isTask() && record.status == kFinished) return false;
  if (record.urgent == urgent) return false;
  record.urgent = urgent;
  record.urgentCount += urgent ? 1 : -1;
  MakeSortKey(record);
  return true;
}

bool ApplyPriorityStep(TopicRecord& record, bool up) {
  if (!record.isTask() || record.status == kFinished) return false;
  int priority = record.pri;
  if (up) {
    priority = priority == 0 ? 9 : std::max(1, priority - 1);
  } else {
    priority = priority == 0 || priority >= 9 ? 0 : priority + 1;
  }
  return ApplyPriority(record, priority);
}

bool ApplyPriority(TopicRecord& record, int priority) {
  if (!record.isTask() || record.status == kFinished || priority < 0 || priority > 9) return false;
  if (record.pri == priority) return false;
  record.pri = priority;
  MakeSortKey(record);
  return true;
}

bool ToggleFavourite(TopicRecord& record) {
  record.fav = !record.fav;
  return true;
}

AttributeButtons AttributeButtonsFor(const TopicNode* node) {
  AttributeButtons enabled{};
  if (!IsTopic(node)) return enabled;
  const TopicRecord& record = *node->record;
  if (record.type != kMainSection || record.sys) return enabled;

  const bool finished = record.isTask() && record.status == kFinished;
  enabled[kButtonUrgent] = !finished && !record.urgent;
  enabled[kButtonNotUrgent] = !finished && record.urgent;
  if (!record.isTask()) {
    enabled[kButtonTask] = true;
    // Any type the bar has no button of counts as an event.
    const int current = record.ttype == kGeneralTopic || record.ttype == kNotesTopic ||
                                record.ttype == kIdeaTopic || record.ttype == kFinanceTopic
                            ? int{record.ttype}
                            : int{kEvent};
    enabled[kButtonGeneral] = current != kGeneralTopic;
    enabled[kButtonInfo] = current != kNotesTopic;
    enabled[kButtonIdea] = current != kIdeaTopic;
    enabled[kButtonFinance] = current != kFinanceTopic;
    enabled[kButtonEvent] = current != kEvent;
    return enabled;
  }

  const bool notStarted = record.status == kNotStarted;
  for (const int button : {kButtonGeneral, kButtonInfo, kButtonIdea, kButtonFinance, kButtonEvent}) {
    enabled[static_cast<std::size_t>(button)] = notStarted;
  }
  if (!finished) {
    enabled[kButtonPriorityUp] = record.pri == 0 || record.pri > 1;
    enabled[kButtonPriorityDown] = record.pri > 0;
  }
  if (!DrivenBySubTasks(record)) {
    enabled[kButtonNotStarted] = record.status != kNotStarted;
    enabled[kButtonInProgress] = record.status != kInProgress;
    enabled[kButtonFinished] = !finished;
    enabled[kButtonOnHold] = record.status != kOnHold && !finished;
    enabled[kButtonWaiting] = record.status != kWaiting && !finished;
  }
  return enabled;
}

}  // namespace tarvo
