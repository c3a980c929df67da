// The viewer on logs of 1,000,000 lines (about 100 MB) and 10,000,000 lines (about 1 GB),
// generated into a temporary folder and removed at the end: the first screen, the whole index
// (and the memory it leaves in use), finding a rare word, filtering, and the refresh of a log
// that grew by 1 MB. Each measure is taken three times in a row (one repetition each), so the
// spread between runs shows.
//
//   viewer_large_log_bench --benchmark_filter=WholeIndex   (one measure per process, for its memory)

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>

#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <memory>
#include <unistd.h>

#include "ui/viewer/find_bar.h"
#include "ui/viewer/text_display_window.h"
#include "ui/viewer/text_lines_model.h"

namespace {

constexpr const char* kRareWord = "xylophone";

QTemporaryDir& Folder() {
  static QTemporaryDir folder(QDir::tempPath() + "/tarvo-viewer-bench-XXXXXX");
  return folder;
}

// A syslog-style log of `lines` lines of about 100 bytes; every 1,000,000th line holds the rare
// word.
std::string MakeLog(const char* name, int lines) {
  const std::string path = Folder().path().toStdString() + "/" + name;
  std::ofstream out(path, std::ios::binary);
  const char* services[] = {"sshd[812]", "kernel", "systemd[1]", "cron[455]", "tarvo[2201]"};
  const char* messages[] = {
      "Accepted publickey for ann from 127.0.0.1 port 50022 ssh2: ED25519 SHA256:q1w2e3",
      "usb 1-1: new high-speed USB device number 5 using xhci_hcd and some more words",
      "Started Session 42 of user ann; unit has finished starting up and is running",
      "(root) CMD (run-parts --report /etc/cron.hourly) finished normally, exit code 0",
      "Saved the structure file; 5 backups kept in the data folder, nothing to report"};
  std::string block;
  char line[256];
  unsigned seed = 7;
  for (int i = 0; i < lines; ++i) {
    seed = seed * 1103515245u + 12345u;
    const bool rare = i % 1000000 == 500000;
    std::snprintf(line, sizeof line, "Dec  5 %02d:%02d:%02d host %s: %s%s\n", (i / 3600) % 24, (i / 60) % 60,
                  i % 60, services[(seed >> 16) % 5], messages[(seed >> 8) % 5], rare ? " xylophone" : "");
    block += line;
    if (block.size() > (1u << 20)) {
      out << block;
      block.clear();
    }
  }
  out << block;
  return path;
}

const std::string& Log100MB() {
  static const std::string path = MakeLog("1M.log", 1000000);
  return path;
}
const std::string& Log1GB() {
  static const std::string path = MakeLog("10M.log", 10000000);
  return path;
}

double ResidentMB() {
  long pages = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    long size = 0;
    if (std::fscanf(statm, "%ld %ld", &size, &pages) != 2) pages = 0;
    std::fclose(statm);
  }
  return static_cast<double>(pages) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double FileMB(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return static_cast<double>(in.tellg()) / (1024.0 * 1024.0);
}

template <typename Done>
void ProcessEventsUntil(Done&& done) {
  // Sleeps until the next event: a busy wait would take a core from the threads measured.
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// A viewer window over the file, as the menu command opens it.
struct Viewer {
  QTemporaryDir data;
  tarvo::ViewerRegistry registry{data.path().toStdString(), "Tarvo-1"};
  tarvo::TformTextDisplay* window = nullptr;

  explicit Viewer(const std::string& path) {
    window = registry.OpenTextDisplay(path, "text");
    window->showViewer();
  }
  void waitForIndex() {
    ProcessEventsUntil([this] { return !window->indexing(); });
  }
  // Types into a box of the find bar and waits for the search's result.
  void search(const char* box, const char* text) {
    bool finished = false;
    const auto connection = QObject::connect(window, &tarvo::TformTextDisplay::searchFinished, [&] { finished = true; });
    auto* edit = window->findChild<QLineEdit*>(box);
    edit->setText(text);
    emit edit->returnPressed();
    ProcessEventsUntil([&] { return finished; });
    QObject::disconnect(connection);
  }
};

// From the open command to the first lines painted.
void FirstScreen(benchmark::State& state, const std::string& (*log)()) {
  const std::string& path = log();
  for (auto _ : state) {
    auto viewer = std::make_unique<Viewer>(path);
    QCoreApplication::processEvents();  // the first paint
    state.PauseTiming();
    if (viewer->window->textModel().rowCount({}) == 0) state.SkipWithError("nothing shown");
    state.counters["lines_shown_at_once"] = viewer->window->textModel().rowCount({});
    viewer.reset();  // stops the indexing
    state.ResumeTiming();
  }
  state.counters["file_MB"] = FileMB(path);
}
BENCHMARK_CAPTURE(FirstScreen, 1M_lines, &Log100MB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK_CAPTURE(FirstScreen, 10M_lines, &Log1GB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// From the open command to the whole file indexed; the memory in use then, against the file.
void WholeIndex(benchmark::State& state, const std::string& (*log)()) {
  const std::string& path = log();
  for (auto _ : state) {
    auto viewer = std::make_unique<Viewer>(path);
    viewer->waitForIndex();
    state.PauseTiming();
    state.counters["lines"] = static_cast<double>(viewer->window->document().lineCount());
    state.counters["resident_MB"] = ResidentMB();
    state.counters["resident_per_file"] = ResidentMB() / FileMB(path);
    state.counters["index_MB"] = static_cast<double>(viewer->window->document().index().memoryBytes()) / (1024.0 * 1024.0);
    viewer.reset();
    state.ResumeTiming();
  }
  state.counters["file_MB"] = FileMB(path);
}
BENCHMARK_CAPTURE(WholeIndex, 1M_lines, &Log100MB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK_CAPTURE(WholeIndex, 10M_lines, &Log1GB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// A rare word in the indexed 1 GB log: from the request to the count of all its lines.
void FindRareWord(benchmark::State& state) {
  Viewer viewer(Log1GB());
  viewer.waitForIndex();
  viewer.window->openFind();
  for (auto _ : state) {
    viewer.search("editFind", kRareWord);
    state.PauseTiming();
    state.counters["matches"] = static_cast<double>(viewer.window->matches().size());
    viewer.window->findChild<QLineEdit*>("editFind")->clear();  // the next search starts afresh
    state.ResumeTiming();
  }
}
BENCHMARK(FindRareWord)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// Filtering the 100 MB log by a word on one line in five, and by a regular expression.
void Filter(benchmark::State& state, const char* pattern, bool regularExpression) {
  Viewer viewer(Log100MB());
  viewer.waitForIndex();
  viewer.window->findChild<QCheckBox*>("checkRegularExpression")->setChecked(regularExpression);
  for (auto _ : state) {
    viewer.search("editFilter", pattern);
    state.PauseTiming();
    state.counters["shown"] = viewer.window->textModel().rowCount({});
    viewer.window->findChild<QLineEdit*>("editFilter")->clear();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK_CAPTURE(Filter, Word, "cron", false)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK_CAPTURE(Filter, RegularExpression, "ssh2: ED\\d+", true)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// The 1 GB log, indexed and shown at its end, grows by 1 MB: the refresh reads and indexes the
// new lines only.
void RefreshGrownLog(benchmark::State& state) {
  const std::string path = Log1GB();
  Viewer viewer(path);
  viewer.waitForIndex();
  std::string grown;
  while (grown.size() < (1u << 20)) grown += "Dec  5 23:59:59 host tarvo[2201]: appended while the viewer follows the log\n";
  for (auto _ : state) {
    state.PauseTiming();
    {
      std::ofstream out(path, std::ios::binary | std::ios::app);
      out << grown;
    }
    const std::size_t before = viewer.window->document().lineCount();
    state.ResumeTiming();
    viewer.window->refreshFromDisk();
    state.PauseTiming();
    state.counters["lines_added"] = static_cast<double>(viewer.window->document().lineCount() - before);
    state.ResumeTiming();
  }
}
BENCHMARK(RefreshGrownLog)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

}  // namespace
