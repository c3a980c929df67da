#include "base/interval.h"

#include <algorithm>

#include "base/date_text.h"

namespace tarvo {
namespace {

constexpr long long kSecondsPerDay = 24LL * 60 * 60;

// Floor division, so that moving back past midnight lands on the day before.
long long FloorDiv(long long value, long long divisor) {
  const long long quotient = value / divisor;
  return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

QDate AddMonths(QDate date, long long months) {
  const long long index = static_cast<long long>(date.year()) * 12 + (date.month() - 1) + months;
  const long long year = FloorDiv(index, 12);
  const int month = static_cast<int>(index - year * 12) + 1;
  return QDate(static_cast<int>(year), month, std::min(date.day(), 28));
}

QDate AddYears(QDate date, long long years) {
  const int year = static_cast<int>(date.year() + years);
  const int day = QDate::isValid(year, date.month(), date.day()) ? date.day() : 28;
  return QDate(year, date.month(), day);
}

}  // namespace

DateAndTime AddInterval(std::string_view date, std::string_view time, int unit, int count) {
  QDate day = StoredDateOrDayZero(date);
  const bool hasTime = !time.empty() && time != "00:00:00";
  long long secondOfDay = 0;
  if (hasTime) {
    const QTime parsed = ParseTime(time).time;
    secondOfDay = parsed.isValid() ? parsed.msecsSinceStartOfDay() / 1000 : 0;
  }

  const long long n = count;
  switch (unit) {
    case kMinutes:
    case kHours: {
      const long long total = secondOfDay + n * (unit == kMinutes ? 60 : 3600);
      day = day.addDays(FloorDiv(total, kSecondsPerDay));
      secondOfDay = total - FloorDiv(total, kSecondsPerDay) * kSecondsPerDay;
      break;
    }
    case kDays:
      day = day.addDays(n);
      break;
    case kWeeks:
      day = day.addDays(7 * n);
      break;
    case kMonths:
      day = AddMonths(day, n);
      break;
    case kYears:
      day = AddYears(day, n);
      break;
    default:
      break;
  }

  DateAndTime result;
  result.date = DateStamp(day);
  if (hasTime) result.time = TimeText(QTime(0, 0).addSecs(static_cast<int>(secondOfDay)));
  return result;
}

}  // namespace tarvo
