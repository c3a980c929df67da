#pragma once

// Stepping a stored date and time by a count of interval units: the arithmetic of
// recurrences and event durations.

#include <string>
#include <string_view>

namespace tarvo {

// Interval units of recurrences (rtype) and durations (durtype).
enum IntervalUnit : int {
  kNoUnit = -1,
  kMinutes = 0,
  kHours = 1,
  kDays = 2,
  kWeeks = 3,
  kMonths = 4,
  kYears = 5,
};

struct DateAndTime {
  std::string date;  // yyyymmdd
  std::string time;  // hh:mm:ss, or empty when the start had no time of day
};

// Moves (date, time) on by `count` units; a negative count moves back.
//
// - Minutes and hours move the time of day; when it passes midnight the date moves on (or
//   back) by the whole days passed, so 23:00 plus two hours is 01:00 of the next day.
// - Months carry into the year and cap the day at 28, so a monthly step always lands on a
//   date that exists.
// - Years keep month and day, except that 29 February steps to 28 February in a year
//   without one.
// - A date that cannot be read starts from day zero of the calendar; a time of "00:00:00" or
//   an empty time means "no time of day" and stays empty.
// - Any other unit leaves the date as it is.
DateAndTime AddInterval(std::string_view date, std::string_view time, int unit, int count);

}  // namespace tarvo
