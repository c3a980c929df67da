#pragma once

// The program's one source of "now". Deadlines, stamps and the log all ask this clock, so a
// test can fix the time and see exactly what a user would see at that moment.
//
// Threading: safe from any thread; fixing the time is meant for tests.

#include <QDateTime>

namespace tarvo {

class Clock {
 public:
  // The current local date and time, or the fixed time while one is set.
  static QDateTime now();
  static QDate today() { return now().date(); }

  static void fix(const QDateTime& moment);
  static void release();
};

// Fixes the clock for its own lifetime.
class FixedClock {
 public:
  explicit FixedClock(const QDateTime& moment) { Clock::fix(moment); }
  ~FixedClock() { Clock::release(); }
  FixedClock(const FixedClock&) = delete;
  FixedClock& operator=(const FixedClock&) = delete;
  void set(const QDateTime& moment) { Clock::fix(moment); }
};

}  // namespace tarvo
