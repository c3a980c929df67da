// The topic structure at 100,000 and 1,000,000 topics: load and build, rebuild and save, one
// deadline pass, relinking a recent list, and the peak memory of the process. Run one size at
// a time for its peak (--benchmark_filter=/1000000).

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QTemporaryDir>
#include <map>
#include <memory>

#include "structure/deadline.h"
#include "structure/structure_file.h"
#include "structure/tree_build.h"
#include "structure_generator.h"

namespace {

const tarvo::Moment kNow = tarvo::Moment::At(QDateTime(QDate(2026, 12, 5), QTime(12, 0)));

QTemporaryDir& Folder() {
  static QTemporaryDir folder;
  return folder;
}

const std::string& StructurePath(int topics) {
  static std::map<int, std::string> paths;
  auto found = paths.find(topics);
  if (found == paths.end()) {
    const std::string path = Folder().path().toStdString() + "/Structure-" + std::to_string(topics) + ".dat";
    found = paths.emplace(topics, tarvo::bench::MakeStructureFile(path, topics)).first;
  }
  return found->second;
}

struct Loaded {
  tarvo::Structure master;
  tarvo::TopicTree tree;
  explicit Loaded(int topics) {
    master.path = StructurePath(topics);
    master.uniquePath = Folder().path().toStdString() + "/StructUnique.dat";
    if (!tarvo::LoadStructure(master).loaded()) std::abort();
    tarvo::BuildTree(master, tree, kNow);
  }
};

double ResidentMegabytes() {
  long pages = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    long size = 0;
    if (std::fscanf(statm, "%ld %ld", &size, &pages) != 2) pages = 0;
    std::fclose(statm);
  }
  return static_cast<double>(pages) * 4096.0 / (1024.0 * 1024.0);
}

void ReportMemory(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["resident_MB"] = ResidentMegabytes();
}

void LoadAndBuild(benchmark::State& state) {
  const int topics = static_cast<int>(state.range(0));
  StructurePath(topics);
  double resident = 0;
  for (auto _ : state) {
    auto loaded = std::make_unique<Loaded>(topics);
    benchmark::DoNotOptimize(loaded->tree.roots().data());
    state.PauseTiming();
    resident = ResidentMegabytes();
    loaded.reset();
    state.ResumeTiming();
  }
  ReportMemory(state);
  state.counters["loaded_resident_MB"] = resident;
}

void RebuildAndSave(benchmark::State& state) {
  Loaded loaded(static_cast<int>(state.range(0)));
  loaded.master.path = Folder().path().toStdString() + "/Saved.dat";
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  for (auto _ : state) {
    tarvo::RebuildFromTree(loaded.master, loaded.tree);
    if (!tarvo::SaveStructure(loaded.master)) state.SkipWithError("save failed");
  }
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  state.counters["peak_raise_MB"] = static_cast<double>(after.ru_maxrss - before.ru_maxrss) / 1024.0;
  ReportMemory(state);
}

void DeadlinePass(benchmark::State& state) {
  Loaded loaded(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const tarvo::Moment now = tarvo::Moment::Now();
    int changed = 0;
    for (std::size_t i = 0; i < loaded.master.size(); ++i) {
      tarvo::TopicRecord& record = *loaded.master.record(i);
      if (record.type != tarvo::kMainSection) continue;
      if (record.ttype != tarvo::kTask && record.ttype != tarvo::kEvent) continue;
      changed += tarvo::UpdateDeadlineStatus(record, now) > 1 ? 1 : 0;
    }
    benchmark::DoNotOptimize(changed);
  }
}

void RelinkRecentList(benchmark::State& state) {
  Loaded loaded(static_cast<int>(state.range(0)));
  tarvo::ReferenceList recent;
  for (std::size_t i = 0; i < 50; ++i) recent.add(loaded.master.record(i * 1999)->uni.str());
  for (auto _ : state) {
    tarvo::RelinkList(recent, loaded.master, 50);
    benchmark::DoNotOptimize(recent.size());
  }
}

}  // namespace

BENCHMARK(LoadAndBuild)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RebuildAndSave)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(DeadlinePass)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(RelinkRecentList)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
