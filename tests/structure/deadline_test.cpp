#include "structure/deadline.h"

#include <gtest/gtest.h>

#include "base/date_text.h"
#include "base/interval.h"

namespace tarvo {
namespace {

const QDate kToday(2026, 12, 7);  // a Monday

Moment At(int hour, int minute, int second = 0) {
  return Moment::At(QDateTime(kToday, QTime(hour, minute, second)));
}

TopicRecord Task(int daysAhead, const std::string& time = "") {
  TopicRecord record("1");
  record.status = kNotStarted;
  record.dl = true;
  record.dlDate = DateStamp(kToday.addDays(daysAhead));
  record.dlTime = time;
  return record;
}

TEST(Deadline, DaysTextBoundariesAndColours) {
  struct Case {
    int days;
    const char* text;
    std::uint32_t colour;
  };
  const std::vector<Case> cases = {
      {1, "1 day", kAheadColour},       {2, "2 days", kAheadColour},
      {30, "30 days", kAheadColour},    {31, "4 weeks", kAheadColour},
      {90, "12 weeks", kAheadColour},   {91, "3 months", kAheadColour},
      {95, "3 months", kAheadColour},   {400, "13 months", kAheadColour},
      {0, "0 days", kCurrentColour},    {-1, "-1 day", kOverdueColour},
      {-2, "-2 days", kOverdueColour},  {-45, "-45 days", kOverdueColour},
  };
  for (const Case& c : cases) {
    TopicRecord record("1");
    EXPECT_EQ(DaysText(record, c.days), kStatusTextChanged) << c.days;
    EXPECT_EQ(record.statusText, c.text) << c.days;
    EXPECT_EQ(record.statusColour, c.colour) << c.days;
    EXPECT_EQ(DaysText(record, c.days), kNothingVisible) << "same text again: " << c.days;
  }
}

TEST(Deadline, TasksShowDaysAheadAndOverdue) {
  const Moment noon = At(12, 0);
  TopicRecord tomorrow = Task(1);
  EXPECT_EQ(UpdateDeadlineStatus(tomorrow, noon), kStatusTextChanged);
  EXPECT_EQ(tomorrow.statusText, "1 day");
  EXPECT_EQ(tomorrow.daysDue, 1);
  TopicRecord later = Task(95);
  UpdateDeadlineStatus(later, noon);
  EXPECT_EQ(later.statusText, "3 months");
  TopicRecord yesterday = Task(-1);
  UpdateDeadlineStatus(yesterday, noon);
  EXPECT_EQ(yesterday.statusText, "-1 day");
  EXPECT_EQ(yesterday.statusColour, kOverdueColour);
  EXPECT_EQ(yesterday.status, kNotStarted) << "no automatic finish without auto";

  TopicRecord finished = Task(-3);
  finished.status = kFinished;
  finished.statusText = "stale";
  EXPECT_EQ(UpdateDeadlineStatus(finished, noon), kNoDeadlineSet);
  EXPECT_EQ(finished.statusText, "");
  EXPECT_EQ(finished.daysDue, kNoDeadline);

  TopicRecord none("2");
  EXPECT_EQ(UpdateDeadlineStatus(none, noon), kNoDeadlineSet);
  TopicRecord broken = Task(0);
  broken.dlDate = "2026x";
  UpdateDeadlineStatus(broken, noon);
  EXPECT_LT(broken.daysDue, -40000) << "an unreadable date is long overdue, not hidden";
}

TEST(Deadline, TimeLeftToday) {
  struct Case {
    Moment now;
    const char* text;
  };
  const std::vector<Case> cases = {
      {At(15, 0), "2 hours "},     {At(15, 29), "1 hour "},   {At(15, 45), "75 mins"},
      {At(16, 10), "50 mins"},     {At(16, 59), "1 min"},     {At(16, 59, 59), "1 sec"},
      {At(16, 59, 30), "30 secs"}, {At(17, 0, 30), "-30 secs"}, {At(19, 30), "-2 hours "},
      {At(15, 59, 55), "60 mins"},
  };
  for (const Case& c : cases) {
    TopicRecord record = Task(0, "17:00:00");
    UpdateDeadlineStatus(record, c.now);
    EXPECT_EQ(record.statusText, c.text) << c.now.msecsOfDay / 1000;
  }
  TopicRecord noTime = Task(0, "00:00:00");
  EXPECT_EQ(UpdateDeadlineStatus(noTime, At(9, 0)), kStatusTextChanged);
  EXPECT_EQ(noTime.statusText, "Today");
  EXPECT_EQ(noTime.statusColour, kCurrentColour);
  EXPECT_EQ(UpdateDeadlineStatus(noTime, At(10, 0)), kNothingVisible);
  EXPECT_EQ(noTime.status, kNotStarted);
}

TEST(Deadline, UrgencyLead) {
  TopicRecord far = Task(5);
  far.flno = 3;
  EXPECT_EQ(UpdateDeadlineStatus(far, At(12, 0)), kStatusTextChanged);
  EXPECT_FALSE(far.urgent);
  TopicRecord near = Task(3);
  near.flno = 3;
  EXPECT_EQ(UpdateDeadlineStatus(near, At(12, 0)), kAttributesChanged);
  EXPECT_TRUE(near.urgent);
  EXPECT_EQ(near.urgentCount, 1);
  EXPECT_EQ(UpdateDeadlineStatus(near, At(12, 0)), kNothingVisible) << "urgent only once";
  TopicRecord overdue = Task(-10);
  overdue.flno = 1;
  EXPECT_EQ(UpdateDeadlineStatus(overdue, At(12, 0)), kAttributesChanged);
}

TEST(Deadline, EventsRunAndFinish) {
  TopicRecord event("5");
  event.ttype = kEvent;
  event.dl = true;
  event.dlDate = DateStamp(kToday);
  event.dlTime = "10:00:00";
  event.durno = 2;
  event.durtype = kHours;

  EXPECT_EQ(UpdateDeadlineStatus(event, At(9, 0)), kAttributesChanged) << "armed: not started";
  EXPECT_EQ(event.status, kNotStarted);
  EXPECT_EQ(event.statusText, "60 mins");
  EXPECT_EQ(UpdateDeadlineStatus(event, At(10, 30)), kStatusTextChanged);
  EXPECT_EQ(event.statusText, "In progress");
  EXPECT_EQ(event.status, kInProgress);
  EXPECT_EQ(UpdateDeadlineStatus(event, At(10, 45)), kNothingVisible);
  EXPECT_EQ(UpdateDeadlineStatus(event, At(11, 0)), kAttributesChanged);
  EXPECT_EQ(event.status, kFinished);
  EXPECT_EQ(event.fdate, DateStamp(kToday));
  EXPECT_EQ(event.fTime, "11:00:00");
  EXPECT_EQ(event.statusText, "");

  TopicRecord oneDay("6");
  oneDay.ttype = kEvent;
  oneDay.dl = true;
  oneDay.dlDate = DateStamp(kToday.addDays(-1));
  oneDay.durno = 1;
  oneDay.durtype = kDays;
  EXPECT_EQ(UpdateDeadlineStatus(oneDay, At(8, 0)), kAttributesChanged);
  EXPECT_EQ(oneDay.status, kFinished);
  EXPECT_EQ(oneDay.fdate, oneDay.dlDate);

  TopicRecord week("7");
  week.ttype = kEvent;
  week.dl = true;
  week.dlDate = DateStamp(kToday.addDays(-2));
  week.durno = 7;
  week.durtype = kDays;
  EXPECT_EQ(UpdateDeadlineStatus(week, At(8, 0)), kStatusTextChanged);
  EXPECT_EQ(week.statusText, "In progress");

  TopicRecord note("8");
  note.ttype = kNotesTopic;
  note.dl = true;
  note.dlDate = DateStamp(kToday);
  EXPECT_EQ(UpdateDeadlineStatus(note, At(8, 0)), kStatusTextChanged);
  EXPECT_EQ(note.status, kInProgress) << "anything but a task goes into progress on its day";
}

TEST(Deadline, RecurringTopicsMoveOnOneStep) {
  TopicRecord weekly = Task(-7);  // due last Monday
  weekly.recur = true;
  weekly.autoFinish = true;
  weekly.rno = 1;
  weekly.rtype = kWeeks;
  weekly.progress = 80;
  weekly.urgent = true;
  weekly.urgentCount = 1;
  EXPECT_EQ(UpdateDeadlineStatus(weekly, At(12, 0)), kAttributesChanged);
  EXPECT_EQ(weekly.status, kNotStarted);
  EXPECT_EQ(weekly.progress, 0);
  EXPECT_EQ(weekly.dlDate, DateStamp(kToday));
  EXPECT_EQ(weekly.rsDate, weekly.dlDate);
  EXPECT_EQ(weekly.fdate, DateStamp(kToday.addDays(-7)));
  EXPECT_EQ(weekly.daysDue, 0);
  EXPECT_FALSE(weekly.urgent);
  EXPECT_EQ(weekly.urgentCount, 0);

  TopicRecord stale = Task(-30);  // a month behind moves one week per refresh
  stale.recur = true;
  stale.autoFinish = true;
  stale.rno = 1;
  stale.rtype = kWeeks;
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
  EXPECT_EQ(idea.status, kWaiting);
  EXPECT_EQ(idea.dlDate, "20261128");
}

}  // namespace
}  // namespace tarvo
