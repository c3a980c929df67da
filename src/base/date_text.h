#pragma once

// Dates and times as the data files store them and as the user sees them.
//
// Stored forms, the same in every data file whatever the user's preferences:
//   date   yyyymmdd          20260115
//   stamp  yyyymmdd-hhnnss   20260115-093000
//   time   hh:mm:ss          09:30:00
// Display forms follow the date-order preference: 0 day first (dd/mm/yyyy), 1 month first
// (mm/dd/yyyy), 2 and anything else year first (yyyy/mm/dd).
//
// A null QDateTime argument means "now" (Clock::now()). Pure apart from reading the clock.

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

enum DateOrder : int { kDayFirst = 0, kMonthFirst = 1, kYearFirst = 2 };

std::string DateStamp(const QDateTime& when = QDateTime());
std::string DateStamp(QDate date);
std::string StampText(const QDateTime& when = QDateTime());
// The stamp of a day and a time of day, without any time-zone conversion.
std::string StampText(QDate date, QTime time);
// The same 15-character stamp as StampText for every four-digit year.
std::string ShortStampText(const QDateTime& when = QDateTime());
std::string TimeText(const QDateTime& when = QDateTime());
std::string TimeText(QTime time);
std::string DateTimeText(const QDateTime& when, int dateOrder);
// Day first whatever the preference: the log's own form.
std::string LogTimeText(const QDateTime& when = QDateTime());

// Cut from a stored date or stamp; short texts give short parts, never an error.
std::string DisplayDate(std::string_view storedDate, int dateOrder);
std::string DisplayStamp(std::string_view stamp, int dateOrder);

struct ParsedDate {
  int year = 0;
  int month = 0;
  int day = 0;
  QDate date;  // invalid when the three parts make no date
  [[nodiscard]] bool ok() const { return date.isValid(); }
};

struct ParsedTime {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  int milliseconds = 0;
  QTime time;  // invalid when the parts make no time
  [[nodiscard]] bool ok() const { return time.isValid(); }
};

ParsedDate ParseDate(std::string_view storedDate);
ParsedTime ParseTime(std::string_view storedTime);

// Day zero of the stored calendar; a date that cannot be read counts as this day, so a topic
// with a broken date shows as long overdue instead of vanishing.
QDate CalendarDayZero();
QDate StoredDateOrDayZero(std::string_view storedDate);

// True when the date at the start of `stamp` moved on by `count` units ("M" months, "W" weeks,
// anything else days) is today or earlier.
bool PeriodElapsed(std::string_view stamp, std::string_view unit, std::string_view count);

// A file time as a local date and time.
QDateTime DateTimeFromTime(std::time_t seconds);

// Reads a whole text as a decimal number (leading blanks and a sign allowed); nothing, or
// `fallback`, when it is not one.
std::optional<int> ParseDecimal(std::string_view text);
int DecimalOr(std::string_view text, int fallback);

}  // namespace tarvo
