#include "workspace/topic_options.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "base/date_text.h"
#include "structure/deadline.h"
#include "structure/topic_tree.h"

namespace tarvo {
namespace {

constexpr const char* kMidnight = "00:00:00";

// A stored time of day, or none for an empty time or midnight (a deadline without a time).
std::optional<QTime> TimeOfDay(std::string_view stored) {
  if (stored.empty() || stored == kMidnight) return std::nullopt;
  const ParsedTime parsed = ParseTime(stored);
  return parsed.ok() ? std::optional<QTime>(parsed.time) : std::nullopt;
}

std::string StoredTime(const std::optional<QTime>& time) { return time ? TimeText(*time) : kMidnight; }

QDate DateOr(std::string_view stored, const QDate& fallback) {
  const ParsedDate parsed = ParseDate(stored);
  return parsed.ok() ? parsed.date : fallback;
}

// The fields the dialog edits, to tell whether OK changed anything.
auto Edited(const TopicRecord& record) {
  return std::tuple(record.text.str(), bool{record.recur}, bool{record.dl}, record.dlDate.str(), record.dlTime.str(),
                    record.rsDate.str(), record.rsTime.str(), record.rno, record.rtype, record.flno,
                    bool{record.autoFinish}, bool{record.calpr}, record.status, record.progress, bool{record.prog},
                    record.pri, record.durno, record.durtype);
}

int StatusForPercent(int percent) {
  if (percent >= 100) return kFinished;
  if (percent < 1) return kNotStarted;
  return kInProgress;
}

}  // namespace

int FieldNumber(const std::string& typed) { return std::max(0, DecimalOr(typed, 0)); }

bool HasSubTasks(const TopicNode& node) { return node.record->childTasks >= 1 || node.hasChildren(); }

const char* PeriodWord(int unit, bool singular) {
  static const std::array<const char*, 6> plural = {"Minutes", "Hours", "Days", "Weeks", "Months", "Years"};
  static const std::array<const char*, 6> one = {"Minute", "Hour", "Day", "Week", "Month", "Year"};
  if (unit < 0 || unit >= 6) return "";
  return singular ? one[static_cast<std::size_t>(unit)] : plural[static_cast<std::size_t>(unit)];
}

void MakePercentConsistent(TopicRecord& record, bool hasSubTasks) {
  if (!record.isTask()) return;
  if (record.status == kFinished && record.progress != 100) record.progress = 100;
  if (record.status == kInProgress && record.progress == 0) record.progress = 50;
  if (record.status == kNotStarted && !hasSubTasks && record.progress > 0) record.progress = 0;
}

TopicOptions OptionsOf(const TopicRecord& record, const QDate& today) {
  TopicOptions options;
  options.name = record.text.str();
  options.dueRequired = record.dl;
  options.dueDate = DateOr(record.dlDate, today);
  options.dueTime = TimeOfDay(record.dlTime);
  options.recurring = record.recur;
  options.recurDate = today;
  if (record.recur) {
    if (record.rno > 0 && record.rtype > -1) {
      options.recurNumber = std::to_string(record.rno);
      options.recurUnit = record.rtype;
    }
    options.recurDate = DateOr(record.rsDate.str(), today);
    options.recurTime = TimeOfDay(record.rsTime.str());
  }
  if (record.durno > 0) options.durationNumber = std::to_string(record.durno);
  if (record.durtype > -1) options.durationUnit = record.durtype;
  options.flagDays = std::to_string(record.flno);
  options.priority = record.pri >= 1 && record.pri <= 9 ? record.pri : 0;
  options.autoComplete = record.autoFinish;
  options.progressFromSubTasks = record.calpr;
  options.percent = record.progress >= 0 && record.progress <= 100 ? record.progress / 10 * 10 : -1;
  return options;
}

bool ApplyTopicOptions(TopicRecord& record, const TopicOptions& options, bool hasSubTasks, const QDateTime& now) {
  if (record.isSection() || record.sys) return false;
  const TopicRecord before = record;
  if (!options.name.empty()) record.text = options.name;
  record.recur = options.recurring;
  if (options.recurring) {
    const std::string previousDate = record.rsDate.str();
    const std::string previousTime = record.rsTime.empty() ? kMidnight : record.rsTime.str();
    record.rno = FieldNumber(options.recurNumber);
    record.rtype = options.recurUnit;
    record.rsDate = DateStamp(options.recurDate);
    record.rsTime = StoredTime(options.recurTime);
    if (record.rsDate.str() != previousDate || record.rsTime.str() != previousTime) {
      record.dlDate = record.rsDate.str();
      record.dlTime = record.rsTime.str();
    }
    record.dl = true;
  } else {
    record.dl = options.dueRequired;
    if (record.dl) {
      record.dlDate = DateStamp(options.dueDate);
      record.dlTime = StoredTime(options.dueTime);
    }
  }
  record.flno = FieldNumber(options.flagDays);
  record.autoFinish = options.autoComplete;
  record.calpr = options.progressFromSubTasks;

  if (record.isTask()) {
    int percent = options.percent < 0 ? record.progress : options.percent;
    // A recurring task done is the next occurrence, not started yet.
    if (record.recur && percent == 100) percent = 0;
    const bool fromSubTasks = hasSubTasks && options.progressFromSubTasks;
    const int status = StatusForPercent(percent);
    if (status == kInProgress && (percent != record.progress || fromSubTasks)) record.prog = true;
    record.status = status;
    if (!fromSubTasks) record.progress = percent;
  } else if (record.ttype == kEvent) {
    record.durno = FieldNumber(options.durationNumber);
    record.durtype = options.durationUnit;
  }
  record.pri = options.priority;
  UpdateDeadlineStatus(record, Moment::At(now));
  MakeSortKey(record);
  return Edited(before) != Edited(record);
}

std::string TopicKindText(const TopicRecord& record, bool hasChildren) {
  if (record.isSection()) {
    switch (record.type) {
      case kMainSection: return "Topics";
      case kNetworkSection: return "Local network information";
      case kPreferencesSection: return "Preferences";
      case kInformationSection: return "Product information";
      case kContactsSection: return "Contacts";
      default: return "";
    }
  }
  switch (record.ttype) {
    case kGeneralTopic: return hasChildren ? "General topic group" : "General topic";
    case kNotesTopic: return "Information topic";
    case kIdeaTopic: return "Idea topic";
    case kFinanceTopic: return "Financial topic";
    case kTask:
      if (record.sys) return "Task group";
      switch (record.status) {
        case kInProgress: return "Task in progress";
        case kFinished: return "Task completed";
        case kOnHold: return "Task on hold";
        case kWaiting: return "Task waiting";
        default: return "Task not started";
      }
    case kEvent:
      if (hasChildren) return "Events group";
      if (record.status == kInProgress) return "Event in progress";
      if (record.status == kFinished) return "Event finished";
      return "Future event";
    default: return "";
  }
}

}  // namespace tarvo
