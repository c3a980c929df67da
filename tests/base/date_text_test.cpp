#include "base/date_text.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/clock.h"
#include "base/interval.h"

namespace tarvo {
namespace {

const QDateTime kMoment(QDate(2026, 3, 5), QTime(9, 7, 3));

// Stored forms, and display forms that follow the date order; no moment means the clock's now.
TEST(DateText, StoredAndDisplayFormsOfAMomentOrOfTheClocksNow) {
  EXPECT_EQ(DateStamp(kMoment), "20260305");
  EXPECT_EQ(StampText(kMoment), "20260305-090703");
  EXPECT_EQ(ShortStampText(kMoment), "20260305-090703");
  EXPECT_EQ(TimeText(kMoment), "09:07:03");
  EXPECT_EQ(DateStamp(QDate(987, 1, 2)), "09870102");
  EXPECT_EQ(LogTimeText(kMoment), "05/03/2026 09:07:03");
  EXPECT_EQ(DisplayDate("2026", kDayFirst), "//2026") << "short text gives short parts";
  // Each date order's date and moment; any other order puts the year first.
  for (const auto& [order, date, moment] : {std::tuple{int{kDayFirst}, "05/03/2026", "05/03/2026 09:07:03"},
                                            {kMonthFirst, "03/05/2026", "03/05/2026 09:07:03"},
                                            {kYearFirst, "2026/03/05", "2026/03/05 09:07:03"},
                                            {7, "2026/03/05", "2026/03/05 09:07:03"}}) {
    EXPECT_EQ(DisplayDate("20260305", order), date) << order;
    EXPECT_EQ(DisplayStamp("20260305-090703", order), moment) << order;
    EXPECT_EQ(DateTimeText(kMoment, order), moment) << order;
  }

  FixedClock clock(QDateTime(QDate(2031, 12, 31), QTime(23, 59, 58)));
  EXPECT_EQ(DateStamp(), "20311231");
  EXPECT_EQ(StampText(), "20311231-235958");
  EXPECT_EQ(TimeText(), "23:59:58");
  EXPECT_EQ(LogTimeText(), "31/12/2031 23:59:58");
  EXPECT_EQ(DateTimeText(QDateTime(), kMonthFirst), "12/31/2031 23:59:58");
}

TEST(DateText, ParseDateTimeAndNumbers) {
  EXPECT_EQ(ParseDate("20240229").date, QDate(2024, 2, 29));
  for (const char* text : {"20260230", "20250229", "2026xx05", ""}) EXPECT_FALSE(ParseDate(text).ok()) << text;
  const ParsedDate partial = ParseDate("2026");
  EXPECT_EQ(std::tuple(partial.ok(), partial.year, partial.month, partial.day), std::tuple(false, 2026, 0, 0));
  EXPECT_EQ(ParseDate("2026xx05").month, 0);

  EXPECT_EQ(ParseTime("09:07").time, QTime(9, 7, 0));
  EXPECT_EQ(ParseTime("09:07:03.250").time, QTime(9, 7, 3, 250));
  EXPECT_FALSE(ParseTime("24:00:00").ok());
  EXPECT_FALSE(ParseTime("12:60:00").ok());
  EXPECT_EQ(ParseTime("ab:cd:ef").time, QTime(0, 0, 0)) << "unreadable parts count 0";

  EXPECT_EQ(StoredDateOrDayZero("nonsense"), CalendarDayZero());
  EXPECT_EQ(StoredDateOrDayZero("20260101"), QDate(2026, 1, 1));

  EXPECT_EQ(DecimalOr("42", -1), 42);
  EXPECT_EQ(DecimalOr(" -7", 0), -7);
  for (const char* text : {"4 2", "", "99999999999"}) EXPECT_EQ(DecimalOr(text, -1), -1) << text;
}

TEST(DateText, PeriodElapsedByWeeksMonthsAndDays) {
  FixedClock clock(QDateTime(QDate(2026, 3, 31), QTime(12, 0)));
  const std::string twoWeeksAgo = StampText(QDateTime(QDate(2026, 3, 17), QTime(8, 0)));
  EXPECT_TRUE(PeriodElapsed(twoWeeksAgo, "W", "1"));
  EXPECT_TRUE(PeriodElapsed(twoWeeksAgo, "W", "2"));
  EXPECT_FALSE(PeriodElapsed(twoWeeksAgo, "W", "3"));
  EXPECT_TRUE(PeriodElapsed("20260330", "D", "1"));
  EXPECT_FALSE(PeriodElapsed("20260330", "D", "2"));
  EXPECT_TRUE(PeriodElapsed("20260330", "", "junk")) << "an unreadable count is 1";
  EXPECT_TRUE(PeriodElapsed("20251231", "M", "3"));
  EXPECT_FALSE(PeriodElapsed("20260101", "M", "3"));
  EXPECT_TRUE(PeriodElapsed("20251130", "M", "4"));
  EXPECT_FALSE(PeriodElapsed("20251130", "M", "5")) << "30 April is still ahead";
  EXPECT_TRUE(PeriodElapsed("20260131", "M", "1")) << "31 February is no date: day zero";
  EXPECT_FALSE(PeriodElapsed("2026033", "D", "1")) << "too short";
  EXPECT_FALSE(PeriodElapsed("", "D", "1"));
}

TEST(Interval, AddIntervalSteps) {
  // Date, time, unit, count, and the date and time that many units later.
  const std::vector<std::tuple<std::string, std::string, int, int, std::string, std::string>> cases = {
      {"20260131", "", kMonths, 1, "20260228", ""}, {"20260115", "", kMonths, 1, "20260215", ""},
      {"20261130", "", kMonths, 3, "20270228", ""}, {"20260330", "", kMonths, 25, "20280428", ""},
      {"20260315", "", kMonths, -3, "20251215", ""}, {"20260101", "", kMinutes, 1500, "20260102", ""},
      {"20260101", "00:00:00", kMinutes, 30, "20260101", ""},
      {"20260105", "10:00:00", kWeeks, 2, "20260119", "10:00:00"},
      {"20260105", "10:00:00", kMinutes, 59, "20260105", "10:59:00"},
      {"20260105", "23:00:00", kHours, 2, "20260106", "01:00:00"},
      {"20261231", "23:30:00", kMinutes, 45, "20270101", "00:15:00"},
      {"20260105", "10:00:00", kHours, 49, "20260107", "11:00:00"},
      {"20260105", "00:30:00", kMinutes, -60, "20260104", "23:30:00"},
      {"20260105", "10:00:00", kHours, -1, "20260105", "09:00:00"}, {"20260228", "", kDays, 1, "20260301", ""},
      {"20240228", "", kDays, 1, "20240229", ""}, {"20260105", "", kDays, -10, "20251226", ""},
      {"20240229", "", kYears, 1, "20250228", ""}, {"20240229", "", kYears, 4, "20280229", ""},
      {"20260105", "08:15:00", kNoUnit, 3, "20260105", "08:15:00"}, {"20260105", "", 9, 3, "20260105", ""},
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
