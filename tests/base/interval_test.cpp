#include "base/interval.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tarvo {
namespace {

TEST(Interval, AddIntervalSteps) {
  // Date, time, unit, count, and the date and time that many units later.
  const std::vector<std::tuple<std::string, std::string, int, int, std::string, std::string>> cases = {
      {"20260131", "", kMonths, 1, "20260228", ""},
      {"20260115", "", kMonths, 1, "20260215", ""},
      {"20261130", "", kMonths, 3, "20270228", ""},
      {"20260330", "", kMonths, 25, "20280428", ""},
      {"20260315", "", kMonths, -3, "20251215", ""},
      {"20260101", "", kMinutes, 1500, "20260102", ""},
      {"20260101", "00:00:00", kMinutes, 30, "20260101", ""},
      {"20260105", "10:00:00", kWeeks, 2, "20260119", "10:00:00"},
      {"20260105", "10:00:00", kMinutes, 59, "20260105", "10:59:00"},
      {"20260105", "23:00:00", kHours, 2, "20260106", "01:00:00"},
      {"20261231", "23:30:00", kMinutes, 45, "20270101", "00:15:00"},
      {"20260105", "10:00:00", kHours, 49, "20260107", "11:00:00"},
      {"20260105", "00:30:00", kMinutes, -60, "20260104", "23:30:00"},
      {"20260105", "10:00:00", kHours, -1, "20260105", "09:00:00"},
      {"20260228", "", kDays, 1, "20260301", ""},
      {"20240228", "", kDays, 1, "20240229", ""},
      {"20260105", "", kDays, -10, "20251226", ""},
      {"20240229", "", kYears, 1, "20250228", ""},
      {"20240229", "", kYears, 4, "20280229", ""},
      {"20260105", "08:15:00", kNoUnit, 3, "20260105", "08:15:00"},
      {"20260105", "", 9, 3, "20260105", ""},
      {"garbage", "", kDays, 1, "18991231", ""},
  };
  for (const auto& [date, time, unit, count, newDate, newTime] : cases) {
    const DateAndTime result = AddInterval(date, time, unit, count);
    EXPECT_EQ(std::pair(result.date, result.time), std::pair(newDate, newTime))
        << date << " " << time << " unit " << unit << " x" << count;
  }
}

}  // namespace
}  // namespace tarvo
