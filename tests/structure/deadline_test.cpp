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
    if (c.days == 0) continue;  // a task due today shows the time left instead
    TopicRecord task = Task(c.days);
    EXPECT_EQ(UpdateDeadlineStatus(task, At(12, 0)), kStatusTextChanged) << c.days;
    EXPECT_EQ(std::tuple(task.statusText.str(), task.statusColour, task.daysDue, task.status),
              std::tuple(c.text, c.colour, c.days, kNotStarted)) << c.days;
  }
}

TEST(Deadline, FinishedUndatedAndUnreadableDeadlines) {
  const Moment noon = At(12, 0);
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

  TopicRecord oneDay = Dated(kEvent, -1, "", 1, kDays);
  EXPECT_EQ(UpdateDeadlineStatus(oneDay, At(8, 0)), kAttributesChanged);
  EXPECT_EQ(oneDay.status, kFinished);
  EXPECT_EQ(oneDay.fdate, oneDay.dlDate);

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
  EXPECT_EQ(idea.status, kWaiting);
  EXPECT_EQ(idea.dlDate, "20261128");
}

}  // namespace
}  // namespace tarvo
