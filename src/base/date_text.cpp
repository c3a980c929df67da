#include "base/date_text.h"

#include <charconv>
#include <cstdio>

#include "base/clock.h"

namespace tarvo {
namespace {

QDateTime OrNow(const QDateTime& when) { return when.isValid() ? when : Clock::now(); }

// Characters first..last (1-based, inclusive) of text, cut short at its end.
std::string_view Cut(std::string_view text, std::size_t first, std::size_t last) {
  if (first > text.size()) return {};
  return text.substr(first - 1, last - first + 1);
}

std::string Format(const char* pattern, int a, int b, int c, int d, int e, int f) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, a, b, c, d, e, f);
  return text;
}

std::string StampOf(const QDateTime& when, const char* pattern) {
  const QDateTime at = OrNow(when);
  const QDate d = at.date();
  const QTime t = at.time();
  return Format(pattern, d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

}  // namespace

std::optional<int> ParseDecimal(std::string_view text) {
  // Stored dates and times are read field by field at every tick of the deadline timer: plain
  // digits, too few to overflow, are the case worth a short way.
  if (!text.empty() && text.size() <= 9) {
    int value = 0;
    std::size_t read = 0;
    for (; read < text.size() && text[read] >= '0' && text[read] <= '9'; ++read) value = value * 10 + (text[read] - '0');
    if (read == text.size()) return value;
  }
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

int DecimalOr(std::string_view text, int fallback) { return ParseDecimal(text).value_or(fallback); }

std::string DateStamp(const QDateTime& when) { return DateStamp(OrNow(when).date()); }

std::string DateStamp(QDate date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d", date.year(), date.month(), date.day());
  return text;
}

std::string StampText(const QDateTime& when) { return StampOf(when, "%04d%02d%02d-%02d%02d%02d"); }

std::string StampText(QDate date, QTime time) {
  return Format("%04d%02d%02d-%02d%02d%02d", date.year(), date.month(), date.day(), time.hour(),
                time.minute(), time.second());
}

std::string ShortStampText(const QDateTime& when) {
  return StampOf(when, "%02d%02d%02d-%02d%02d%02d");
}

std::string TimeText(const QDateTime& when) { return TimeText(OrNow(when).time()); }

std::string TimeText(QTime time) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour(), time.minute(), time.second());
  return text;
}

std::string DateTimeText(const QDateTime& when, int dateOrder) {
  const QDateTime at = OrNow(when);
  const QDate d = at.date();
  const QTime t = at.time();
  switch (dateOrder) {
    case kDayFirst:
      return Format("%02d/%02d/%04d %02d:%02d:%02d", d.day(), d.month(), d.year(), t.hour(),
                    t.minute(), t.second());
    case kMonthFirst:
      return Format("%02d/%02d/%04d %02d:%02d:%02d", d.month(), d.day(), d.year(), t.hour(),
                    t.minute(), t.second());
    default:
      return Format("%04d/%02d/%02d %02d:%02d:%02d", d.year(), d.month(), d.day(), t.hour(),
                    t.minute(), t.second());
  }
}

std::string LogTimeText(const QDateTime& when) {
  const QDateTime at = OrNow(when);
  const QDate d = at.date();
  const QTime t = at.time();
  return Format("%02d/%02d/%02d %02d:%02d:%02d", d.day(), d.month(), d.year(), t.hour(),
                t.minute(), t.second());
}

std::string DisplayDate(std::string_view storedDate, int dateOrder) {
  const std::string_view year = Cut(storedDate, 1, 4);
  const std::string_view month = Cut(storedDate, 5, 6);
  const std::string_view day = Cut(storedDate, 7, 8);
  std::string shown;
  const auto join = [&shown](std::string_view a, std::string_view b, std::string_view c) {
    shown.append(a).append("/").append(b).append("/").append(c);
  };
  switch (dateOrder) {
    case kDayFirst:
      join(day, month, year);
      break;
    case kMonthFirst:
      join(month, day, year);
      break;
    default:
      join(year, month, day);
      break;
  }
  return shown;
}

std::string DisplayStamp(std::string_view stamp, int dateOrder) {
  std::string shown = DisplayDate(stamp, dateOrder);
  shown.append(" ").append(Cut(stamp, 10, 11)).append(":").append(Cut(stamp, 12, 13));
  shown.append(":").append(Cut(stamp, 14, 15));
  return shown;
}

ParsedDate ParseDate(std::string_view storedDate) {
  ParsedDate parsed;
  parsed.year = DecimalOr(Cut(storedDate, 1, 4), 0);
  parsed.month = DecimalOr(Cut(storedDate, 5, 6), 0);
  parsed.day = DecimalOr(Cut(storedDate, 7, 8), 0);
  if (QDate::isValid(parsed.year, parsed.month, parsed.day) && parsed.year > 0) {
    parsed.date = QDate(parsed.year, parsed.month, parsed.day);
  }
  return parsed;
}

ParsedTime ParseTime(std::string_view storedTime) {
  ParsedTime parsed;
  parsed.hours = DecimalOr(Cut(storedTime, 1, 2), 0);
  parsed.minutes = DecimalOr(Cut(storedTime, 4, 5), 0);
  parsed.seconds = DecimalOr(Cut(storedTime, 7, 8), 0);
  parsed.milliseconds = DecimalOr(Cut(storedTime, 10, 12), 0);
  if (QTime::isValid(parsed.hours, parsed.minutes, parsed.seconds, parsed.milliseconds)) {
    parsed.time = QTime(parsed.hours, parsed.minutes, parsed.seconds, parsed.milliseconds);
  }
  return parsed;
}

QDate CalendarDayZero() { return QDate(1899, 12, 30); }

QDate StoredDateOrDayZero(std::string_view storedDate) {
  const ParsedDate parsed = ParseDate(storedDate);
  return parsed.ok() ? parsed.date : CalendarDayZero();
}

bool PeriodElapsed(std::string_view stamp, std::string_view unit, std::string_view count) {
  if (stamp.size() < 8) return false;
  const int year = DecimalOr(Cut(stamp, 1, 4), 0);
  const int month = DecimalOr(Cut(stamp, 5, 6), 0);
  const int day = DecimalOr(Cut(stamp, 7, 8), 0);
  long long steps = DecimalOr(count, 1);
  QDate moved;
  if (unit == "M") {
    // Months carry into the year; a day the target month lacks gives no date (day zero).
    const long long monthIndex = static_cast<long long>(year) * 12 + (month - 1) + steps;
    const long long targetYear = monthIndex >= 0 ? monthIndex / 12 : (monthIndex - 11) / 12;
    const int targetMonth = static_cast<int>(monthIndex - targetYear * 12) + 1;
    moved = QDate::isValid(static_cast<int>(targetYear), targetMonth, day)
                ? QDate(static_cast<int>(targetYear), targetMonth, day)
                : CalendarDayZero();
  } else {
    if (unit == "W") steps *= 7;
    const QDate start =
        QDate::isValid(year, month, day) ? QDate(year, month, day) : CalendarDayZero();
    moved = start.addDays(steps);
  }
  return moved <= Clock::today();
}

QDateTime DateTimeFromTime(std::time_t seconds) {
  return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(seconds));
}

}  // namespace tarvo
