// The viewer on large files: a 1,000,000-line, 6-column CSV (about 60 MB) and a
// 1,000,000-line syslog-style log (about 90 MB). Opening in table and text layout (through
// the real viewer window, offscreen), sorting by a number and a date column, refreshing.
// Run one benchmark per process to read its peak memory (peak_MB).

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <utime.h>

#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

#include "viewer/display_format.h"
#include "ui/viewer/table_rows_model.h"
#include "ui/viewer/text_display_window.h"
#include "viewer/text_document.h"

namespace {

constexpr int kLines = 1000000;

QTemporaryDir& Folder() {
  static QTemporaryDir folder;
  return folder;
}

std::string Path(const char* name) { return Folder().path().toStdString() + "/" + name; }

const std::string& CsvPath() {
  static const std::string path = [] {
    const std::string file = Path("sales.csv");
    std::ofstream out(file, std::ios::binary);
    std::mt19937 engine(3);
    const auto random = [&engine] { return static_cast<unsigned>(engine()); };
    const char* names[] = {"Ann Lee", "Bo Nyström", "Carl Ode", "Dana Sky", "Eeva Mäki"};
    const char* notes[] = {"\"delivered, signed\"", "pending", "\"returned, damaged, refunded\"",
                           "ok", "\"late, called customer\""};
    char line[256];
    out << "id,name,quantity,date,price,note\r\n";
    for (int i = 1; i < kLines; ++i) {
      const unsigned quantity = random() % 2000000;
      char amount[32];
      if (quantity >= 1000 && random() % 2 == 0) {
        std::snprintf(amount, sizeof amount, "\"%u,%03u\"", quantity / 1000, quantity % 1000);
      } else {
        std::snprintf(amount, sizeof amount, "%u", quantity);
      }
      std::snprintf(line, sizeof line, "%d,%s,%s,%02u/%02u/%04u,%u.%02u,%s\r\n", i,
                    names[random() % 5], amount, 1 + random() % 28, 1 + random() % 12,
                    2000 + random() % 26, random() % 10000, random() % 100, notes[random() % 5]);
      out << line;
    }
    return file;
  }();
  return path;
}

const std::string& LogPath() {
  static const std::string path = [] {
    const std::string file = Path("system.log");
    std::ofstream out(file, std::ios::binary);
    std::mt19937 engine(5);
    const auto random = [&engine] { return static_cast<unsigned>(engine()); };
    const char* services[] = {"sshd[812]", "kernel", "systemd[1]", "cron[455]", "tarvo[2201]"};
    const char* messages[] = {
        "Accepted publickey for ann from 127.0.0.1 port 50022 ssh2: ED25519 SHA256:q1w2e3",
        "usb 1-1: new high-speed USB device number 5 using xhci_hcd and some more",
        "Started Session 42 of user ann; unit has finished starting up ok",
        "(root) CMD (run-parts --report /etc/cron.hourly) finished normally",
        "Saved the structure file; 5 backups kept in the data folder folder"};
    char line[256];
    for (int i = 0; i < kLines; ++i) {
      std::snprintf(line, sizeof line, "Dec  5 %02d:%02d:%02d host %s: %s\n", (i / 3600) % 24,
                    (i / 60) % 60, i % 60, services[random() % 5], messages[random() % 5]);
      out << line;
    }
    return file;
  }();
  return path;
}

void ReportPeak(benchmark::State& state, const std::string& file) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  const double fileMb = static_cast<double>(in.tellg()) / (1024.0 * 1024.0);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["file_MB"] = fileMb;
}

// Opens the file in a fresh registry through the real window, as "Display log" does.
struct OpenedViewer {
  QTemporaryDir data;
  tarvo::ViewerRegistry registry{data.path().toStdString(), "Tarvo-1"};
  tarvo::TformTextDisplay* window = nullptr;

  OpenedViewer(const std::string& path, bool table, const char* layout = "table") {
    if (table) {
      tarvo::DisplayFormat format = tarvo::NewDisplayFormat(path, layout);
      format.formatPath = tarvo::FormatPathFor(data.path().toStdString(), path);
      format.headings = true;
      format.columnHeadings = {"id", "name", "quantity", "date", "price", "note"};
      format.columnTypes = {"number", "text", "number", "date1", "number", "text"};
      if (!tarvo::SaveDisplayFormat(format)) std::abort();
    }
    window = registry.OpenTextDisplay(path, table ? layout : "text");
    window->showViewer();
  }
};

void OpenCsvInTable(benchmark::State& state) {
  CsvPath();
  for (auto _ : state) {
    auto viewer = std::make_unique<OpenedViewer>(CsvPath(), true);
    benchmark::DoNotOptimize(viewer->window);
    state.PauseTiming();
    viewer.reset();
    state.ResumeTiming();
  }
  ReportPeak(state, CsvPath());
}
BENCHMARK(OpenCsvInTable)->Unit(benchmark::kMillisecond)->Iterations(3);

// The rotated layout: a million records become a million columns.
void OpenCsvRotated(benchmark::State& state) {
  CsvPath();
  for (auto _ : state) {
    auto viewer = std::make_unique<OpenedViewer>(CsvPath(), true, "list");
    benchmark::DoNotOptimize(viewer->window);
    state.PauseTiming();
    viewer.reset();
    state.ResumeTiming();
  }
  ReportPeak(state, CsvPath());
}
BENCHMARK(OpenCsvRotated)->Unit(benchmark::kMillisecond)->Iterations(3);

void OpenLogInText(benchmark::State& state) {
  LogPath();
  for (auto _ : state) {
    auto viewer = std::make_unique<OpenedViewer>(LogPath(), false);
    benchmark::DoNotOptimize(viewer->window);
    state.PauseTiming();
    viewer.reset();
    state.ResumeTiming();
  }
  ReportPeak(state, LogPath());
}
BENCHMARK(OpenLogInText)->Unit(benchmark::kMillisecond)->Iterations(3);

// The 1,000,000-line log with one line of 50,000 characters in its middle.
const std::string& LongLineLogPath() {
  static const std::string path = [] {
    const std::string file = Path("wide.log");
    std::ifstream in(LogPath(), std::ios::binary);
    std::ofstream out(file, std::ios::binary);
    std::string line;
    for (int i = 0; std::getline(in, line); ++i) {
      out << line << '\n';
      if (i == kLines / 2) out << std::string(50000, 'w') << '\n';
    }
    return file;
  }();
  return path;
}

void OpenLogWithALongLine(benchmark::State& state) {
  LongLineLogPath();
  for (auto _ : state) {
    auto viewer = std::make_unique<OpenedViewer>(LongLineLogPath(), false);
    benchmark::DoNotOptimize(viewer->window);
    state.PauseTiming();
    viewer.reset();
    state.ResumeTiming();
  }
  ReportPeak(state, LongLineLogPath());
}
BENCHMARK(OpenLogWithALongLine)->Unit(benchmark::kMillisecond)->Iterations(3);

void SortCsv(benchmark::State& state, int column) {
  OpenedViewer viewer(CsvPath(), true);
  for (auto _ : state) {
    viewer.window->columnClick(column);  // each click turns the order: a full sort each time
  }
  ReportPeak(state, CsvPath());
}
BENCHMARK_CAPTURE(SortCsv, ByNumberQuantity, 2)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK_CAPTURE(SortCsv, ByDate1, 3)->Unit(benchmark::kMillisecond)->Iterations(4);

// The table's rows sorted by every type, both ways, without a window: column 1 holds names,
// column 3 dates (dd/mm/yyyy), so each type word does its whole work.
void SortRows(benchmark::State& state, int column, const char* type, bool ascending) {
  static tarvo::TextDocument document;
  static tarvo::TableRows rows;
  if (rows.rowCount() == 0) {
    if (!document.load(CsvPath())) std::abort();
    rows.build(document, 1, tarvo::TableRows::Shape::Table);
  }
  for (auto _ : state) rows.sort(static_cast<std::size_t>(column), type, ascending);
  state.counters["rows"] = static_cast<double>(rows.rowCount());
}
BENCHMARK_CAPTURE(SortRows, Text, 1, "text", true)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(SortRows, TextDescending, 1, "text", false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(SortRows, Number, 2, "number", true)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(SortRows, Date1, 3, "date1", true)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(SortRows, Date2Descending, 3, "date2", false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(SortRows, Date3, 3, "date3", true)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(SortRows, Date4, 3, "date4", true)->Unit(benchmark::kMillisecond)->Iterations(3);

// "Save copy" of the 1,000,000-row table in the order shown.
void SaveTableCopy(benchmark::State& state) {
  OpenedViewer viewer(CsvPath(), true);
  const std::string copy = Path("copy.csv");
  for (auto _ : state) {
    if (!viewer.window->saveCopyTo(copy)) state.SkipWithError("copy failed");
  }
}
BENCHMARK(SaveTableCopy)->Unit(benchmark::kMillisecond)->Iterations(3);

void RefreshLog(benchmark::State& state) {
  OpenedViewer viewer(LogPath(), false);
  std::time_t stamp = 1000000000;
  for (auto _ : state) {
    state.PauseTiming();
    const utimbuf times{stamp, stamp};
    utime(LogPath().c_str(), &times);  // a changed file, as a growing log is
    stamp += 10;
    state.ResumeTiming();
    viewer.window->Timer1Timer();
  }
  ReportPeak(state, LogPath());
}
BENCHMARK(RefreshLog)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
