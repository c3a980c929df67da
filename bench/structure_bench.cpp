// The topic structure at 100,000 topics: load and build, rebuild and save, one deadline pass,
// relinking a recent list, and the peak memory of the process.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QTemporaryDir>
#include <memory>

#include "structure/deadline.h"
#include "structure/structure_file.h"
#include "structure/tree_build.h"
#include "structure_generator.h"

namespace {

constexpr int kTopics = 100000;
const tarvo::Moment kNow = tarvo::Moment::At(QDateTime(QDate(2026, 12, 5), QTime(12, 0)));

QTemporaryDir& Folder() {
  static QTemporaryDir folder;
  return folder;
}

const std::string& StructurePath() {
  static const std::string path =
      tarvo::bench::MakeStructureFile(Folder().path().toStdString() + "/Structure.dat", kTopics);
  return path;
}

struct Loaded {
  tarvo::Structure master;
  tarvo::TopicTree tree;
  Loaded() {
    master.path = StructurePath();
    master.uniquePath = Folder().path().toStdString() + "/StructUnique.dat";
    tarvo::LoadStructure(master);
    tarvo::BuildTree(master, tree, kNow);
  }
};

void ReportPeakMemory(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void LoadAndBuild(benchmark::State& state) {
  StructurePath();
  for (auto _ : state) {
    auto loaded = std::make_unique<Loaded>();
    benchmark::DoNotOptimize(loaded->tree.roots().data());
    state.PauseTiming();
    loaded.reset();
    state.ResumeTiming();
  }
  state.counters["topics"] = kTopics;
  ReportPeakMemory(state);
}

void RebuildAndSave(benchmark::State& state) {
  Loaded loaded;
  loaded.master.path = Folder().path().toStdString() + "/Saved.dat";
  for (auto _ : state) {
    tarvo::RebuildFromTree(loaded.master, loaded.tree);
    if (!tarvo::SaveStructure(loaded.master)) state.SkipWithError("save failed");
  }
  ReportPeakMemory(state);
}

void DeadlinePass(benchmark::State& state) {
  Loaded loaded;
  for (auto _ : state) {
    const tarvo::Moment now = tarvo::Moment::Now();
    int changed = 0;
    for (const auto& entry : loaded.master.entries()) {
      tarvo::TopicRecord& record = *entry.record;
      if (record.type != tarvo::kMainSection) continue;
      if (record.ttype != tarvo::kTask && record.ttype != tarvo::kEvent) continue;
      changed += tarvo::UpdateDeadlineStatus(record, now) > 1 ? 1 : 0;
    }
    benchmark::DoNotOptimize(changed);
  }
}

void RelinkRecentList(benchmark::State& state) {
  Loaded loaded;
  tarvo::Structure recent;
  for (std::size_t i = 0; i < 50; ++i) {
    recent.add(loaded.master.record(i * 1999)->uni, nullptr);
  }
  for (auto _ : state) {
    // Every save rebuilds the master list, so relinking builds the lookup index afresh.
    state.PauseTiming();
    tarvo::RebuildFromTree(loaded.master, loaded.tree);
    state.ResumeTiming();
    tarvo::RelinkList(recent, loaded.master, 50);
    benchmark::DoNotOptimize(recent.size());
  }
}

}  // namespace

BENCHMARK(LoadAndBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(RebuildAndSave)->Unit(benchmark::kMillisecond);
BENCHMARK(DeadlinePass)->Unit(benchmark::kMillisecond);
BENCHMARK(RelinkRecentList)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
