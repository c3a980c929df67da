#pragma once

// One piece of work on its own thread, cancellable: indexing a large file or searching it
// while the window stays responsive. The work polls the flag it is given and ends soon after
// it is set.
//
// Threading: start, cancel and the destructor are called from one thread (the window's);
// cancel returns once the work has ended, so what the work reads may change after it.

#include <atomic>
#include <functional>
#include <thread>

namespace tarvo {

class BackgroundJob {
 public:
  using Work = std::function<void(const std::atomic<bool>& cancelled)>;

  BackgroundJob() = default;
  ~BackgroundJob() { cancel(); }
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

  // Cancels any work still running, then starts this one.
  void start(Work work) {
    cancel();
    cancelled_.store(false);
    running_.store(true);
    thread_ = std::thread([this, work = std::move(work)] {
      work(cancelled_);
      running_.store(false);
    });
  }
  void cancel() {
    cancelled_.store(true);
    if (thread_.joinable()) thread_.join();
  }
  [[nodiscard]] bool running() const { return running_.load(); }

 private:
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> running_{false};
  std::thread thread_;
};

}  // namespace tarvo
