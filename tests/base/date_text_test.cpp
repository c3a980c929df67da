#include "base/date_text.h"

#include <gtest/gtest.h>

#include "base/clock.h"

namespace tarvo {
namespace {

const QDateTime kMoment(QDate(2026, 3, 5), QTime(9, 7, 3));

TEST(DateText, AbsentMomentMeansTheClocksNow) {
  FixedClock clock(QDateTime(QDate(2031, 12, 31), QTime(23, 59, 58)));
  EXPECT_EQ(DateStamp(), "20311231");
  EXPECT_EQ(StampText(), "20311231-235958");
  EXPECT_EQ(TimeText(), "23:59:58");
  EXPECT_EQ(LogTimeText(), "31/12/2031 23:59:58");
  EXPECT_EQ(DateTimeText(QDateTime(), kMonthFirst), "12/31/2031 23:59:58");
}

TEST(DateText, StoredFormsAndDisplayFormsThatFollowTheDateOrder) {
  EXPECT_EQ(DateStamp(kMoment), "20260305");
  EXPECT_EQ(StampText(kMoment), "20260305-090703");
  EXPECT_EQ(ShortStampText(kMoment), "20260305-090703");
  EXPECT_EQ(TimeText(kMoment), "09:07:03");
  EXPECT_EQ(DateStamp(QDate(987, 1, 2)), "09870102");
  EXPECT_EQ(DisplayDate("20260305", kDayFirst), "05/03/2026");
  EXPECT_EQ(DisplayDate("20260305", kMonthFirst), "03/05/2026");
  EXPECT_EQ(DisplayDate("20260305", kYearFirst), "2026/03/05");
  EXPECT_EQ(DisplayDate("20260305", 7), "2026/03/05");
  EXPECT_EQ(DisplayStamp("20260305-090703", kDayFirst), "05/03/2026 09:07:03");
  EXPECT_EQ(DisplayStamp("20260305-090703", kYearFirst), "2026/03/05 09:07:03");
  EXPECT_EQ(DisplayDate("2026", kDayFirst), "//2026") << "short text gives short parts";
  EXPECT_EQ(DateTimeText(kMoment, kDayFirst), "05/03/2026 09:07:03");
  EXPECT_EQ(DateTimeText(kMoment, kMonthFirst), "03/05/2026 09:07:03");
  EXPECT_EQ(DateTimeText(kMoment, kYearFirst), "2026/03/05 09:07:03");
  EXPECT_EQ(LogTimeText(kMoment), "05/03/2026 09:07:03");
}

TEST(DateText, ParseDateTimeAndNumbers) {
  const ParsedDate good = ParseDate("20240229");
  EXPECT_TRUE(good.ok());
  EXPECT_EQ(good.date, QDate(2024, 2, 29));
  EXPECT_FALSE(ParseDate("20260230").ok());
  EXPECT_FALSE(ParseDate("20250229").ok());
  const ParsedDate partial = ParseDate("2026");
  EXPECT_FALSE(partial.ok());
  EXPECT_EQ(partial.year, 2026);
  EXPECT_EQ(partial.month, 0);
  EXPECT_EQ(partial.day, 0);
  const ParsedDate garbage = ParseDate("2026xx05");
  EXPECT_EQ(garbage.month, 0);
  EXPECT_FALSE(garbage.ok());
  EXPECT_FALSE(ParseDate("").ok());

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

}  // namespace
}  // namespace tarvo
