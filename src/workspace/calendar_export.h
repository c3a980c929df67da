#pragma once

// The organiser's deadlines as an iCalendar file (RFC 5545) that a calendar program can
// import or subscribe to: every task with a deadline as a to-do, every dated event as an
// event, recurrence as a rule, event durations, finished tasks as completed. Each entry's UID
// is the topic's own id, so a second export updates the same entries instead of adding new ones.

#include <QDateTime>
#include <string>

#include "base/result.h"

namespace tarvo {

class TopicTree;

// The calendar's text, lines ended with CR LF and folded at 75 bytes. `now` stamps the entries.
std::string CalendarText(const TopicTree& tree, const QDateTime& now);

// Writes the calendar to `path`, replacing it whole or not at all.
Result ExportCalendar(const TopicTree& tree, const std::string& path, const QDateTime& now);

}  // namespace tarvo
