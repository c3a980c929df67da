#include "viewer/cut_short_guard.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

namespace tarvo {
namespace {

// The handler reads the slots; only lock-free atomics are safe to touch there.
struct Slot {
  std::atomic<std::uintptr_t> begin{0};
  std::atomic<std::uintptr_t> end{0};
  std::atomic<bool> cutShort{false};
};

constexpr std::size_t kSlots = 64;
std::array<Slot, kSlots> slots;
struct sigaction previous {};
std::uintptr_t pageBytes = 4096;  // read when the handler is installed, not in it

void PassOn(int signal, siginfo_t* info, void* context) {
  if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr) {
    previous.sa_sigaction(signal, info, context);
    return;
  }
  if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN && previous.sa_handler != nullptr) {
    previous.sa_handler(signal);
    return;
  }
  // Back to the default, and the program stops as it would have.
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

void OnBusError(int signal, siginfo_t* info, void* context) {
  const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
  if (info->si_code == BUS_ADRERR) {
    for (Slot& slot : slots) {
      const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
      const std::uintptr_t end = slot.end.load(std::memory_order_acquire);
      if (begin == 0 || address < begin || address >= end) continue;
      // A zero page in place of the faulting one only: the system faulted it as a page of a
      // file mapping, so it is one, even if the slot changed hands meanwhile. Each further page
      // past the end faults once in its turn.
      const std::uintptr_t from = address & ~(pageBytes - 1);
      void* zeros = ::mmap(reinterpret_cast<void*>(from), pageBytes, PROT_READ,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
      if (zeros == MAP_FAILED) break;
      slot.cutShort.store(true, std::memory_order_release);
      return;
    }
  }
  PassOn(signal, info, context);
}

void InstallOnce() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    pageBytes = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &previous);
  });
}

}  // namespace

CutShortGuard::CutShortGuard(const char* begin, std::size_t size) {
  if (begin == nullptr || size == 0) return;
  InstallOnce();
  const auto from = reinterpret_cast<std::uintptr_t>(begin);
  for (std::size_t i = 0; i < kSlots; ++i) {
    std::uintptr_t expected = 0;
    // A slot is claimed by its end first, so the handler never sees a begin without its end.
    if (!slots[i].end.compare_exchange_strong(expected, from + size, std::memory_order_acq_rel)) continue;
    slots[i].cutShort.store(false, std::memory_order_relaxed);
    slots[i].begin.store(from, std::memory_order_release);
    slot_ = static_cast<int>(i);
    return;
  }
}

CutShortGuard::~CutShortGuard() {
  if (slot_ < 0) return;
  Slot& slot = slots[static_cast<std::size_t>(slot_)];
  slot.begin.store(0, std::memory_order_release);
  slot.end.store(0, std::memory_order_release);
}

bool CutShortGuard::cutShort() const {
  return slot_ >= 0 && slots[static_cast<std::size_t>(slot_)].cutShort.load(std::memory_order_acquire);
}

}  // namespace tarvo
