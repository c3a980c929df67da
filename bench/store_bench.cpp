// Reading a large pair file: ReadPairs against the floor no parser can beat, a plain scan of
// the same bytes for line ends (both include loading the file). The ratio is printed at the
// end; ReadPairs must keep at least a quarter of the scan's speed.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <random>

#include "store/data_file.h"

namespace {

constexpr std::size_t kTargetBytes = 50u << 20;

// A pair file shaped like the program's own: short keys, values from a digit to a sentence.
const std::string& PairFilePath() {
  static QTemporaryDir dir;
  static const std::string path = [] {
    const std::string file = dir.path().toStdString() + "/pairs.dat";
    std::ofstream out(file, std::ios::binary);
    std::mt19937 random(7);
    const char* keys[] = {"uni", "lev", "text", "ttype", "status", "pri", "dlDate", "dlTime",
                          "cDate", "mDate", "rno", "durtype"};
    const char* words[] = {"Quarterly", "report", "for", "the", "board", "päivitys",
                           "budget", "review", "call", "Ann", "about", "the", "plan"};
    std::string line;
    std::size_t written = 0;
    for (std::uint64_t n = 0; written < kTargetBytes; ++n) {
      line = keys[n % 12];
      line += '=';
      if (n % 12 == 2) {
        const int count = 2 + static_cast<int>(random() % 6);
        for (int w = 0; w < count; ++w) {
          if (w > 0) line += ' ';
          line += words[random() % 13];
        }
      } else {
        line += std::to_string(random() % 100000);
      }
      line += "\r\n";
      out << line;
      written += line.size();
    }
    return file;
  }();
  return path;
}

void ScanLineEnds(benchmark::State& state) {
  const std::string& path = PairFilePath();
  for (auto _ : state) {
    tarvo::ResultOf<tarvo::FileHandle> file = tarvo::fileSystem().open(path, tarvo::OpenIntent::Read);
    tarvo::ByteBuffer content;
    if (!file || !tarvo::fileSystem().readAll(*file, content)) state.SkipWithError("cannot read");
    std::size_t lines = 0;
    const char* at = content.data();
    const char* end = at + content.size();
    while ((at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) != nullptr) {
      ++lines;
      ++at;
    }
    benchmark::DoNotOptimize(lines);
    state.SetBytesProcessed(state.bytes_processed() + static_cast<std::int64_t>(content.size()));
  }
}
BENCHMARK(ScanLineEnds)->Unit(benchmark::kMillisecond);

void ReadPairs(benchmark::State& state) {
  const std::string& path = PairFilePath();
  for (auto _ : state) {
    tarvo::DataFilePtr file = std::move(tarvo::OpenDataFile(path, "R", 0).value());
    tarvo::PairList pairs;
    tarvo::ReadPairs(*file, pairs);
    benchmark::DoNotOptimize(pairs.key(0).data());
    state.SetBytesProcessed(state.bytes_processed() + static_cast<std::int64_t>(file->size));
    state.counters["pairs"] = static_cast<double>(pairs.size());
  }
}
BENCHMARK(ReadPairs)->Unit(benchmark::kMillisecond);

// Prints the usual table, then how ReadPairs compares with the scan.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) times_[run.run_name.function_name] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (times_.count("ScanLineEnds") != 0 && times_.count("ReadPairs") != 0) {
      std::cout << "ReadPairs speed / line-end scan speed: "
                << times_["ScanLineEnds"] / times_["ReadPairs"] << " (must be >= 0.25)\n";
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
