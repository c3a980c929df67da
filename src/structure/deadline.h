#pragma once

// What time passing does to a topic with a deadline: the due text beside it, its colour and
// days left, and the automatic consequences: events going into progress and finishing, tasks
// finishing automatically, urgency as the deadline approaches, recurrences moving on.
//
// Every function works against a Moment read once from the clock, so a pass over many
// topics sees one consistent "now".

#include <QDate>
#include <QDateTime>
#include <cstdint>

#include "structure/topic_record.h"

namespace tarvo {

struct Moment {
  QDate today;
  std::int64_t msecsOfDay = 0;

  static Moment Now();
  static Moment At(const QDateTime& when);
};

// What UpdateDeadlineStatus changed, so the caller refreshes no more than needed.
enum DeadlineChange : int {
  kNoDeadlineSet = 0,       // statusText cleared, daysDue 99999
  kNothingVisible = 1,
  kStatusTextChanged = 2,
  kAttributesChanged = 3,   // status, urgency or dates: redraw the icon, roll up, mark dirty
};

int UpdateDeadlineStatus(TopicRecord& record, const Moment& now);
int UpdateDeadlineStatus(TopicRecord& record);

// Due text for a whole number of days; may make the topic urgent (result 3).
int DaysText(TopicRecord& record, int days);
// Due text for the time left today, in milliseconds (negative when past).
int TimeLeftText(TopicRecord& record, std::int64_t msecsLeft);
// Finishes the topic and re-arms a recurrence; callers set fdate and fTime first.
void FinishTopic(TopicRecord& record, const Moment& now);
// Moves the deadline on by one recurrence step when the topic recurs.
void AdvanceRecurrence(TopicRecord& record, const Moment& now);

}  // namespace tarvo
