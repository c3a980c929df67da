// The tree view's item model over one level of 100,000 children: parent() of a child costs the
// same whatever its row, as a view walking a wide level needs.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "store/safe_replace.h"
#include "ui/main/topic_tree_model.h"
#include "workspace/workspace.h"

namespace {

constexpr int kChildren = 100000;

struct WideLevel {
  QTemporaryDir folder;
  tarvo::Workspace workspace;
  std::unique_ptr<tarvo::TopicTreeModel> model;
  WideLevel() {
    std::string bytes = "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\n";
    for (int i = 0; i < kChildren; ++i) {
      bytes += "uni=" + std::to_string(i + 10) + "\r\ntext=Topic " + std::to_string(i) + "\r\nlev=1\r\ntype=1\r\n";
    }
    const std::string data = folder.path().toStdString();
    if (!tarvo::WriteFileSafely(data + "/Structure.dat", bytes)) std::abort();
    model = std::make_unique<tarvo::TopicTreeModel>(workspace);
    if (!workspace.loadStructure(data, data).loaded()) std::abort();
    workspace.buildTree(tarvo::Moment::Now());
  }
};

WideLevel& Level() {
  static WideLevel level;
  return level;
}

void ParentOfChildAtRow(benchmark::State& state) {
  WideLevel& level = Level();
  const QModelIndex section = level.model->index(0, 0, {});
  const QModelIndex child = level.model->index(static_cast<int>(state.range(0)), 0, section);
  for (auto _ : state) benchmark::DoNotOptimize(level.model->parent(child));
}

// A view's pass over the whole level: index and parent of every row.
void WalkTheWholeLevel(benchmark::State& state) {
  WideLevel& level = Level();
  const QModelIndex section = level.model->index(0, 0, {});
  for (auto _ : state) {
    for (int row = 0; row < kChildren; ++row) {
      benchmark::DoNotOptimize(level.model->parent(level.model->index(row, 0, section)));
    }
  }
}

}  // namespace

BENCHMARK(ParentOfChildAtRow)->Arg(0)->Arg(50000)->Arg(99999);
BENCHMARK(WalkTheWholeLevel)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
