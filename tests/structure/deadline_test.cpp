#include "structure/deadline.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/date_text.h"
#include "base/interval.h"

namespace tarvo {
namespace {

const QDate kToday(2026, 12, 7);  // a Monday

Moment At(int hour, int minute, int second = 0) {
  return Moment::At(QDateTime(kToday, QTime(hour, minute, second)));
}

// A topic of type `ttype` due `daysAhead` days from today, lasting `durno` `durtype` units.
TopicRecord Dated(int ttype, int daysAhead, const std::string& time = "", int durno = 0, int durtype = -1) {
  TopicRecord record("1");
  record.ttype = ttype;
  record.dl = true;
  record.dlDate = DateStamp(kToday.addDays(daysAhead));
  record.dlTime = time;
  record.durno = durno;
  record.durtype = durtype;
  return record;
}

TopicRecord Task(int daysAhead, const std::string& time = "") {
  TopicRecord record = Dated(kTask, daysAhead, time);
  record.status = kNotStarted;
  return record;
}

// The days text and colour of a day count, set directly and through a task due that many days
// from today, which keeps its status without automatic finish.
TEST(Deadline, DaysTextBoundariesAndColours) {
  for (const auto& [days, text, colour] :
       {std::tuple{1, "1 day", kAheadColour}, {2, "2 days", kAheadColour}, {30, "30 days", kAheadColour},
        {31, "4 weeks", kAheadColour}, {90, "12 weeks", kAheadColour}, {91, "3 months", kAheadColour},
        {95, "3 months", kAheadColour}, {400, "13 months", kAheadColour}, {0, "0 days", kCurrentColour},
        {-1, "-1 day", kOverdueColour}, {-2, "-2 days", kOverdueColour}, {-45, "-45 days", kOverdueColour}}) {
    TopicRecord record("1");
    EXPECT_EQ(DaysText(record, days), kStatusTextChanged) << days;
    EXPECT_EQ(std::tuple(record.statusText.str(), record.statusColour), std::tuple(text, colour)) << days;
    EXPECT_EQ(DaysText(record, days), kNothingVisible) << "same text again: " << days;
    if (days == 0) continue;  // a task due today shows the time left instead
    TopicRecord task = Task(days);
    EXPECT_EQ(UpdateDeadlineStatus(task, At(12, 0)), kStatusTextChanged) << days;
    EXPECT_EQ(std::tuple(task.statusText.str(), task.statusColour, task.daysDue, task.status),
              std::tuple(text, colour, days, kNotStarted)) << days;
  }
}

TEST(Deadline, FinishedUndatedAndUnreadableDeadlines) {
  const Moment noon = At(12, 0);
  TopicRecord finished = Task(-3);
  finished.status = kFinished;
  finished.statusText = "stale";
  EXPECT_EQ(UpdateDeadlineStatus(finished, noon), kNoDeadlineSet);
  EXPECT_EQ(std::tuple(finished.statusText.str(), finished.daysDue), std::tuple("", kNoDeadline));
  TopicRecord none("2");
  EXPECT_EQ(UpdateDeadlineStatus(none, noon), kNoDeadlineSet);
  TopicRecord broken = Task(0);
  broken.dlDate = "2026x";
  UpdateDeadlineStatus(broken, noon);
  EXPECT_LT(broken.daysDue, -40000) << "an unreadable date is long overdue, not hidden";
}

TEST(Deadline, TimeLeftToday) {
  for (const auto& [now, text] : std::vector<std::pair<Moment, const char*>>{
           {At(15, 0), "2 hours "},     {At(15, 29), "1 hour "},   {At(15, 45), "75 mins"},
           {At(16, 10), "50 mins"},     {At(16, 59), "1 min"},     {At(16, 59, 59), "1 sec"},
           {At(16, 59, 30), "30 secs"}, {At(17, 0, 30), "-30 secs"}, {At(19, 30), "-2 hours "},
           {At(15, 59, 55), "60 mins"}}) {
    TopicRecord record = Task(0, "17:00:00");
    UpdateDeadlineStatus(record, now);
    EXPECT_EQ(record.statusText, text) << now.msecsOfDay / 1000;
  }
  TopicRecord noTime = Task(0, "00:00:00");
  EXPECT_EQ(UpdateDeadlineStatus(noTime, At(9, 0)), kStatusTextChanged);
  EXPECT_EQ(std::tuple(noTime.statusText.str(), noTime.statusColour), std::tuple("Today", kCurrentColour));
  EXPECT_EQ(UpdateDeadlineStatus(noTime, At(10, 0)), kNothingVisible);
  EXPECT_EQ(noTime.status, kNotStarted);
}

// Days ahead, the lead in days, what the refresh changed and the urgent marks after it; a
// topic turns urgent only once.
TEST(Deadline, UrgencyLead) {
  for (const auto& [days, lead, changed, marks] :
       {std::tuple{5, 3, kStatusTextChanged, 0}, {3, 3, kAttributesChanged, 1}, {-10, 1, kAttributesChanged, 1}}) {
    TopicRecord record = Task(days);
    record.flno = lead;
    EXPECT_EQ(UpdateDeadlineStatus(record, At(12, 0)), changed) << days;
    EXPECT_EQ(std::tuple(bool{record.urgent}, record.urgentCount), std::tuple(marks > 0, marks)) << days;
    EXPECT_EQ(UpdateDeadlineStatus(record, At(12, 0)), kNothingVisible) << "urgent only once: " << days;
  }
}

// An event's status, status text and finish moment, for comparing in one go.
auto Progress(const TopicRecord& record) {
  return std::tuple(record.status, record.statusText.str(), record.fdate.str(), record.fTime.str());
}

TEST(Deadline, EventsRunAndFinish) {
  TopicRecord event = Dated(kEvent, 0, "10:00:00", 2, kHours);
  EXPECT_EQ(UpdateDeadlineStatus(event, At(9, 0)), kAttributesChanged) << "armed: not started";
  EXPECT_EQ(Progress(event), std::tuple(kNotStarted, "60 mins", "", ""));
  EXPECT_EQ(UpdateDeadlineStatus(event, At(10, 30)), kStatusTextChanged);
  EXPECT_EQ(Progress(event), std::tuple(kInProgress, "In progress", "", ""));
  EXPECT_EQ(UpdateDeadlineStatus(event, At(10, 45)), kNothingVisible);
  EXPECT_EQ(UpdateDeadlineStatus(event, At(11, 0)), kAttributesChanged);
  EXPECT_EQ(Progress(event), std::tuple(kFinished, "", DateStamp(kToday), "11:00:00"));
  EXPECT_EQ(UpdateDeadlineStatus(event, At(11, 1)), kNothingVisible) << "an ended event changes once, not at every tick";

  TopicRecord oneDay = Dated(kEvent, -1, "", 1, kDays);
  EXPECT_EQ(UpdateDeadlineStatus(oneDay, At(8, 0)), kAttributesChanged);
  EXPECT_EQ(std::tuple(oneDay.status, oneDay.fdate), std::tuple(kFinished, oneDay.dlDate));
  EXPECT_EQ(UpdateDeadlineStatus(oneDay, At(8, 1)), kNothingVisible);
  oneDay.urgent = true;
  EXPECT_EQ(UpdateDeadlineStatus(oneDay, At(8, 2)), kAttributesChanged) << "an urgent mark still goes";
  EXPECT_FALSE(oneDay.urgent);

  TopicRecord week = Dated(kEvent, -2, "", 7, kDays);
  EXPECT_EQ(UpdateDeadlineStatus(week, At(8, 0)), kStatusTextChanged);
  EXPECT_EQ(week.statusText, "In progress");

  TopicRecord note = Dated(kNotesTopic, 0);
  EXPECT_EQ(UpdateDeadlineStatus(note, At(8, 0)), kStatusTextChanged);
  EXPECT_EQ(note.status, kInProgress) << "anything but a task goes into progress on its day";
}

TEST(Deadline, RecurringTopicsMoveOnOneStep) {
  const auto weeklyTask = [](int daysAhead) {
    TopicRecord record = Task(daysAhead);
    record.recur = true;
    record.autoFinish = true;
    record.rno = 1;
    record.rtype = kWeeks;
    return record;
  };
  TopicRecord weekly = weeklyTask(-7);  // due last Monday
  weekly.progress = 80;
  weekly.urgent = true;
  weekly.urgentCount = 1;
  EXPECT_EQ(UpdateDeadlineStatus(weekly, At(12, 0)), kAttributesChanged);
  EXPECT_EQ(std::tuple(weekly.status, weekly.progress, weekly.daysDue, bool{weekly.urgent}, weekly.urgentCount),
            std::tuple(kNotStarted, 0, 0, false, 0));
  EXPECT_EQ(std::tuple(weekly.dlDate.str(), weekly.rsDate.str(), weekly.fdate.str()),
            std::tuple(DateStamp(kToday), DateStamp(kToday), DateStamp(kToday.addDays(-7))));

  TopicRecord stale = weeklyTask(-30);  // a month behind moves one week per refresh
  UpdateDeadlineStatus(stale, At(12, 0));
  EXPECT_EQ(stale.dlDate, DateStamp(kToday.addDays(-23)));

  TopicRecord idea("9");
  idea.ttype = kIdeaTopic;
  idea.recur = true;
  idea.rno = 1;
  idea.rtype = kMonths;
  idea.dlDate = "20261031";
  idea.fdate = "x";
  FinishTopic(idea, At(12, 0));
  EXPECT_EQ(std::tuple(idea.status, idea.dlDate.str()), std::tuple(kWaiting, "20261128"));
}

}  // namespace
}  // namespace tarvo
