#pragma once

// What the "Topic options" dialog shows and gives back for one topic: its name, deadline,
// recurrence, event duration, early-urgency warning, priority and progress. The dialog is a
// view of these values; reading them from a record and writing them back follow the rules
// here, so they are tested without a window.

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <optional>
#include <string>

#include "structure/topic_record.h"

namespace tarvo {

class TopicNode;

struct TopicOptions {
  std::string name;
  bool recurring = false;
  // One-off deadline.
  bool dueRequired = false;
  QDate dueDate;
  std::optional<QTime> dueTime;  // none: the deadline has no time of day
  // Recurrence: every `recurNumber` units, next due on `recurDate`.
  std::string recurNumber = "7";
  int recurUnit = 2;  // days
  QDate recurDate;
  std::optional<QTime> recurTime;
  // Event duration.
  std::string durationNumber = "1";
  int durationUnit = 2;
  std::string flagDays = "2";  // "Flag as urgent" so many days before
  bool autoComplete = false;
  bool progressFromSubTasks = true;
  int priority = 0;    // 0 none, 1 top … 9
  int percent = -1;    // -1 none chosen, else 0, 10 … 100
};

// Before the dialog shows: a finished task shows 100 %, a task in progress at least something,
// a not-started task without sub-tasks nothing.
void MakePercentConsistent(TopicRecord& record, bool hasSubTasks);

// The values the dialog shows for the record, `today` standing in for unset dates.
TopicOptions OptionsOf(const TopicRecord& record, const QDate& today);

// Writes the confirmed values back (the OK button and applying the result together). Nothing
// for a section or a topic the program keeps; true when anything of the record changed.
bool ApplyTopicOptions(TopicRecord& record, const TopicOptions& options, bool hasSubTasks, const QDateTime& now);

// A number typed into one of the dialog's fields; anything that is not a number counts as 0.
int FieldNumber(const std::string& typed);

// Whether the topic counts as having sub-tasks: its progress may then come from them.
bool HasSubTasks(const TopicNode& node);

// The words of the period lists: singular while the number field holds exactly "1".
const char* PeriodWord(int unit, bool singular);

// What kind of topic it is, as the dialog's heading says it ("Task in progress", "Future
// event", "Topics" for a main section …).
std::string TopicKindText(const TopicRecord& record, bool hasChildren);

}  // namespace tarvo
