#include "workspace/calendar_export.h"

#include <algorithm>
#include <vector>

#include "base/date_text.h"
#include "base/interval.h"
#include "base/version.h"
#include "store/safe_replace.h"
#include "structure/topic_record.h"
#include "structure/topic_tree.h"

namespace tarvo {
namespace {

constexpr std::size_t kFoldAt = 75;

// Text values escape backslash, semicolon, comma and line breaks.
std::string Escaped(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '\\' || c == ';' || c == ',') escaped += '\\';
    if (c == '\n') {
      escaped += "\\n";
      continue;
    }
    if (c == '\r') continue;
    escaped += c;
  }
  return escaped;
}

// A content line folded into lines of at most 75 bytes, never inside a UTF-8 character.
std::string Folded(const std::string& line) {
  std::string folded;
  std::size_t start = 0;
  std::size_t limit = kFoldAt;
  while (line.size() - start > limit) {
    std::size_t cut = start + limit;
    while (cut > start && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    folded += line.substr(start, cut - start) + "\r\n ";
    start = cut;
    limit = kFoldAt - 1;  // the leading blank of a continuation counts
  }
  return folded + line.substr(start) + "\r\n";
}

// A date with its time of day, or the whole day when the time is empty or midnight.
std::string DateValue(const std::string& property, std::string_view date, std::string_view time) {
  if (time.empty() || time == "00:00:00") return property + ";VALUE=DATE:" + std::string(date);
  std::string clock(time);
  clock.erase(std::remove(clock.begin(), clock.end(), ':'), clock.end());
  return property + ":" + std::string(date) + "T" + clock;
}

std::string UtcStamp(const QDateTime& when) {
  return when.toUTC().toString("yyyyMMdd'T'HHmmss'Z'").toStdString();
}

// The recurrence as a rule. Monthly and yearly dates late in the month keep to the month's
// end when a month is shorter, as the organiser itself moves them.
std::string Rule(const TopicRecord& record) {
  static const char* const kFrequency[] = {"MINUTELY", "HOURLY", "DAILY", "WEEKLY", "MONTHLY", "YEARLY"};
  if (!record.recur || record.rtype < kMinutes || record.rtype > kYears || record.rno < 1) return {};
  std::string rule = "RRULE:FREQ=" + std::string(kFrequency[record.rtype]) + ";INTERVAL=" + std::to_string(record.rno);
  const ParsedDate due = ParseDate(record.dlDate);
  if ((record.rtype == kMonths || record.rtype == kYears) && due.ok() && due.day >= 29) {
    if (record.rtype == kYears) rule += ";BYMONTH=" + std::to_string(due.month);
    if (due.day == 31) return rule + ";BYMONTHDAY=-1";
    rule += due.day == 30 ? ";BYMONTHDAY=28,29,30" : ";BYMONTHDAY=28,29";
    rule += ";BYSETPOS=-1";
  }
  return rule;
}

// An event's length: DURATION where it is a fixed span, the end itself for months and years.
std::string EventEnd(const TopicRecord& record) {
  const int count = std::max(record.durno, 1);
  switch (record.durtype < 0 ? int{kDays} : int{record.durtype}) {
    case kMinutes: return "DURATION:PT" + std::to_string(count) + "M";
    case kHours: return "DURATION:PT" + std::to_string(count) + "H";
    case kWeeks: return "DURATION:P" + std::to_string(count) + "W";
    case kMonths:
    case kYears: {
      const DateAndTime end = AddInterval(record.dlDate.str(), record.dlTime.str(), record.durtype, count);
      return DateValue("DTEND", end.date, record.dlTime.view());
    }
    default: return "DURATION:P" + std::to_string(count) + "D";
  }
}

void AddEntry(std::vector<std::string>& lines, const TopicRecord& record, const std::string& stamp) {
  const bool event = record.ttype == kEvent;
  lines.push_back(event ? "BEGIN:VEVENT" : "BEGIN:VTODO");
  lines.push_back("UID:" + Escaped(record.uni) + "@tarvo");
  lines.push_back("DTSTAMP:" + stamp);
  lines.push_back("SUMMARY:" + Escaped(record.text));
  if (event) {
    lines.push_back(DateValue("DTSTART", record.dlDate, record.dlTime));
    lines.push_back(EventEnd(record));
  } else {
    lines.push_back(DateValue("DUE", record.dlDate, record.dlTime));
    if (record.pri > 0) lines.push_back("PRIORITY:" + std::to_string(record.pri));
    if (record.status == kFinished) {
      lines.push_back("STATUS:COMPLETED");
      if (!record.fdate.empty()) lines.push_back(DateValue("COMPLETED", record.fdate, record.fTime.empty() ? "00:00:01" : record.fTime.view()));
      lines.push_back("PERCENT-COMPLETE:100");
    } else {
      lines.push_back(record.status == kInProgress ? "STATUS:IN-PROCESS" : "STATUS:NEEDS-ACTION");
      if (record.progress > 0) lines.push_back("PERCENT-COMPLETE:" + std::to_string(record.progress));
    }
  }
  if (const std::string rule = Rule(record); !rule.empty()) lines.push_back(rule);
  lines.push_back(event ? "END:VEVENT" : "END:VTODO");
}

bool Exported(const TopicRecord& record) {
  if (record.isSection() || !record.dl || !ParseDate(record.dlDate).ok()) return false;
  return record.isTask() || record.ttype == kEvent;
}

}  // namespace

std::string CalendarText(const TopicTree& tree, const QDateTime& now) {
  std::vector<std::string> lines = {"BEGIN:VCALENDAR", "VERSION:2.0",
                                    std::string("PRODID:-//Tarvo//Tarvo ") + kProgramVersion + "//EN",
                                    "CALSCALE:GREGORIAN", "X-WR-CALNAME:Tarvo"};
  const std::string stamp = UtcStamp(now);
  tree.forEachInDisplayOrder([&](const TopicNode& node, int) {
    if (node.record != nullptr && Exported(*node.record)) AddEntry(lines, *node.record, stamp);
  });
  lines.push_back("END:VCALENDAR");
  std::string text;
  for (const std::string& line : lines) text += Folded(line);
  return text;
}

Result ExportCalendar(const TopicTree& tree, const std::string& path, const QDateTime& now) {
  return WriteFileSafely(path, CalendarText(tree, now));
}

}  // namespace tarvo
