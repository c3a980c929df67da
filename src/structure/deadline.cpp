#include "structure/deadline.h"

#include <cstdlib>

#include "base/clock.h"
#include "base/date_text.h"
#include "base/interval.h"

namespace tarvo {
namespace {

constexpr std::int64_t kMsecsPerSecond = 1000;
constexpr std::int64_t kMsecsPerMinute = 60 * kMsecsPerSecond;
constexpr std::int64_t kMsecsPerHour = 60 * kMsecsPerMinute;

// A stored time as milliseconds of the day; 0 for "no time" ("" or "00:00:00").
std::int64_t TimeOfDay(std::string_view text) {
  if (text.empty() || text == "00:00:00") return 0;
  const QTime time = ParseTime(text).time;
  return time.isValid() ? time.msecsSinceStartOfDay() : 0;
}

int SetText(TopicRecord& record, std::string text, std::uint32_t colour) {
  record.statusColour = colour;
  if (record.statusText == text) return kNothingVisible;
  record.statusText = std::move(text);
  return kStatusTextChanged;
}

int MarkInProgress(TopicRecord& record) {
  if (record.statusText == "In progress") return kNothingVisible;
  record.status = kInProgress;
  record.statusColour = kCurrentColour;
  record.statusText = "In progress";
  return kStatusTextChanged;
}

int Finish(TopicRecord& record, std::string_view date, std::string_view time,
           const Moment& now) {
  // An event that ended stays finished at every later tick: only the first tells of a change,
  // or every tick would save the structure and redraw each past event.
  const bool finishedAlready = record.status == kFinished && !record.recur && !record.urgent &&
                               record.statusText.empty() && record.fdate == date && record.fTime == time;
  if (finishedAlready) return kNothingVisible;
  record.fdate = date;
  record.fTime = time;
  FinishTopic(record, now);
  return kAttributesChanged;
}

// An event whose start lies ahead waits as "not started".
int ArmEvent(TopicRecord& record, int result) {
  if (record.ttype == kEvent && record.status != kNotStarted) {
    record.status = kNotStarted;
    return kAttributesChanged;
  }
  return result;
}

}  // namespace

Moment Moment::Now() { return At(Clock::now()); }

Moment Moment::At(const QDateTime& when) {
  return {when.date(), when.time().msecsSinceStartOfDay()};
}

int UpdateDeadlineStatus(TopicRecord& record) { return UpdateDeadlineStatus(record, Moment::Now()); }

int UpdateDeadlineStatus(TopicRecord& record, const Moment& now) {
  if ((!record.dl && !record.recur) || record.dlDate.empty() ||
      (record.ttype == kTask && record.status == kFinished)) {
    record.statusText.clear();
    record.daysDue = kNoDeadline;
    return kNoDeadlineSet;
  }
  const QDate start = StoredDateOrDayZero(record.dlDate);
  const std::int64_t startTime = TimeOfDay(record.dlTime);

  // The end of the period: an event lasts durno units from its start, counting the start;
  // anything else ends where it starts (and is not worked out twice: this runs for every dated
  // topic at every tick of the deadline timer).
  DateAndTime eventEnd;
  if (record.ttype == kEvent) eventEnd = AddInterval(record.dlDate, record.dlTime, record.durtype, record.durno - 1);
  const bool ownEnd = record.ttype == kEvent;
  const struct {
    std::string_view date;
    std::string_view time;
  } end{ownEnd ? std::string_view(eventEnd.date) : record.dlDate.view(),
        ownEnd ? std::string_view(eventEnd.time) : record.dlTime.view()};
  const QDate endDate = ownEnd ? StoredDateOrDayZero(end.date) : start;
  const std::int64_t endTime = ownEnd ? TimeOfDay(end.time) : startTime;
  const bool isTask = record.ttype == kTask;

  record.daysDue = static_cast<int>(now.today.daysTo(start));

  if (start > now.today) return ArmEvent(record, DaysText(record, record.daysDue));

  if (start < now.today) {
    if (isTask) {
      if (record.autoFinish) return Finish(record, record.dlDate, record.dlTime, now);
      return DaysText(record, record.daysDue);
    }
    if (endDate < now.today) return Finish(record, end.date, end.time, now);
    if (endDate > now.today) return MarkInProgress(record);
    if (endTime != 0 && now.msecsOfDay >= endTime) return Finish(record, end.date, end.time, now);
    return MarkInProgress(record);
  }

  if (startTime != 0) {
    if (now.msecsOfDay < startTime) {
      return ArmEvent(record, TimeLeftText(record, startTime - now.msecsOfDay));
    }
    if (isTask) return TimeLeftText(record, startTime - now.msecsOfDay);
    if (endDate != now.today) {
      const int result = MarkInProgress(record);
      return result == kStatusTextChanged ? kAttributesChanged : result;
    }
    if (now.msecsOfDay >= endTime) return Finish(record, end.date, end.time, now);
    return MarkInProgress(record);
  }

  if (isTask) return SetText(record, "Today", kCurrentColour);
  return MarkInProgress(record);
}

int DaysText(TopicRecord& record, int days) {
  const std::uint32_t colour = days < 0 ? kOverdueColour : days > 0 ? kAheadColour : kCurrentColour;
  std::string text;
  if (days == -1) {
    text = "-1 day";
  } else if (days >= 91) {
    text = std::to_string(days / 30) + " months";
  } else if (days >= 31) {
    text = std::to_string(days / 7) + " weeks";
  } else if (days == 1) {
    text = "1 day";
  } else {
    text = std::to_string(days) + " days";
  }
  const int result = SetText(record, std::move(text), colour);
  if (!record.urgent && record.flno > 0 && days <= record.flno) {
    record.urgent = true;
    ++record.urgentCount;
    return kAttributesChanged;
  }
  return result;
}

int TimeLeftText(TopicRecord& record, std::int64_t msecsLeft) {
  const std::string prefix = msecsLeft < 0 ? "-" : "";
  const std::uint32_t colour = msecsLeft < 0 ? kOverdueColour : kCurrentColour;
  const std::int64_t magnitude = std::llabs(msecsLeft);
  const std::int64_t hours = magnitude / kMsecsPerHour;
  const std::int64_t minutes = magnitude % kMsecsPerHour / kMsecsPerMinute;
  const std::int64_t seconds = magnitude % kMsecsPerMinute / kMsecsPerSecond;

  std::string text;
  if (hours >= 2 || (hours == 1 && minutes > 30)) {
    text = prefix + (hours == 1 ? "1 hour " : std::to_string(hours) + " hours ");
  } else if (60 * hours + minutes > 0) {
    const std::int64_t total = 60 * hours + minutes;
    text = prefix + (total == 1 ? "1 min" : std::to_string(total) + " mins");
  } else {
    text = prefix + (seconds == 1 ? "1 sec" : std::to_string(seconds) + " secs");
  }
  return SetText(record, std::move(text), colour);
}

void FinishTopic(TopicRecord& record, const Moment& now) {
  record.status = kFinished;
  record.statusText.clear();
  AdvanceRecurrence(record, now);
  if (record.urgent) {
    --record.urgentCount;
    record.urgent = false;
  }
}

void AdvanceRecurrence(TopicRecord& record, const Moment& now) {
  if (!record.recur) return;
  record.rsDate = record.dlDate;
  record.rsTime = record.dlTime;
  // One step only, even when the new date is still past: the next refresh moves it again.
  DateAndTime next = AddInterval(record.rsDate, record.rsTime, record.rtype, record.rno);
  record.dlDate = std::move(next.date);
  record.dlTime = std::move(next.time);
  record.daysDue = static_cast<int>(now.today.daysTo(StoredDateOrDayZero(record.dlDate)));
  record.rsDate = record.dlDate;
  record.rsTime = record.dlTime;
  record.status = record.isTask() ? kNotStarted : kWaiting;
  record.progress = 0;
}

}  // namespace tarvo
