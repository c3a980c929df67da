#include "base/clock.h"

#include <atomic>
#include <mutex>

namespace tarvo {
namespace {

std::atomic<bool> isFixed{false};
std::mutex fixedMutex;
QDateTime fixedMoment;

}  // namespace

QDateTime Clock::now() {
  if (isFixed.load(std::memory_order_acquire)) {
    const std::lock_guard lock(fixedMutex);
    if (fixedMoment.isValid()) return fixedMoment;
  }
  return QDateTime::currentDateTime();
}

void Clock::fix(const QDateTime& moment) {
  const std::lock_guard lock(fixedMutex);
  fixedMoment = moment;
  isFixed.store(true, std::memory_order_release);
}

void Clock::release() {
  const std::lock_guard lock(fixedMutex);
  fixedMoment = QDateTime();
  isFixed.store(false, std::memory_order_release);
}

}  // namespace tarvo
