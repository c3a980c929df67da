// Editing a large tree as a user does, through the workspace's undoable commands: removing a
// subtree of about 100 topics and putting it back (undo), dragging a subtree, an indent and an
// outdent, at 100,000 and 1,000,000 topics. Each step moves nodes in place; nothing rebuilds
// the tree. The undo that restores the start is timed apart ("paused").

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <map>
#include <memory>

#include "structure_generator.h"
#include "workspace/workspace.h"

namespace {

const tarvo::Moment kNow = tarvo::Moment::At(QDateTime(QDate(2026, 12, 5), QTime(12, 0)));

struct Loaded {
  QTemporaryDir folder;
  tarvo::Workspace workspace;
  explicit Loaded(int topics) {
    const std::string data = folder.path().toStdString();
    tarvo::bench::MakeStructureFile(data + "/Structure.dat", topics);
    if (!workspace.loadStructure(data, data).loaded()) std::abort();
    workspace.buildTree(kNow);
  }
  // The node whose subtree size is nearest to `size`, in the last quarter of the tree (so its
  // display index is large and finding it by index costs the most).
  tarvo::TopicNode* subtreeOf(std::size_t size) {
    const std::vector<tarvo::TopicNode*> order = workspace.tree().displayOrder();
    tarvo::TopicNode* best = nullptr;
    std::size_t bestDistance = static_cast<std::size_t>(-1);
    for (std::size_t i = order.size() * 3 / 4; i < order.size(); ++i) {
      if (order[i]->level() == 0) continue;
      std::size_t count = 0;
      tarvo::TopicTree::VisitSubtree(*order[i], 0, [&count](tarvo::TopicNode&, int) { ++count; });
      const std::size_t distance = count > size ? count - size : size - count;
      if (distance < bestDistance) {
        best = order[i];
        bestDistance = distance;
      }
    }
    return best;
  }
  int displayIndexOf(const tarvo::TopicNode* node) {
    const std::vector<tarvo::TopicNode*> order = workspace.tree().displayOrder();
    return static_cast<int>(std::find(order.begin(), order.end(), node) - order.begin());
  }
};

Loaded& LoadedAt(int topics) {
  static std::map<int, std::unique_ptr<Loaded>> loaded;
  auto& slot = loaded[topics];
  if (!slot) slot = std::make_unique<Loaded>(topics);
  return *slot;
}

void Undo(benchmark::State& state, tarvo::Workspace& workspace) {
  state.PauseTiming();
  workspace.undoStack().undo();
  state.ResumeTiming();
}

void RemoveAndUndo100Topics(benchmark::State& state) {
  Loaded& loaded = LoadedAt(static_cast<int>(state.range(0)));
  tarvo::TopicNode* node = loaded.subtreeOf(100);
  std::size_t size = 0;
  tarvo::TopicTree::VisitSubtree(*node, 0, [&size](tarvo::TopicNode&, int) { ++size; });
  for (auto _ : state) {
    loaded.workspace.removeSubtree(node);  // take: nodes and records out
    loaded.workspace.undoStack().undo();   // insert: both back
  }
  state.counters["subtree_topics"] = static_cast<double>(size);
}

void DragSubtree(benchmark::State& state) {
  Loaded& loaded = LoadedAt(static_cast<int>(state.range(0)));
  tarvo::TopicNode* node = loaded.subtreeOf(20);
  tarvo::TopicNode* target = node->parent()->child(0);
  const int from = loaded.displayIndexOf(node);
  const int to = loaded.displayIndexOf(target);
  for (auto _ : state) {
    loaded.workspace.moveSubtree(from, to, 0);
    Undo(state, loaded.workspace);
  }
}

void Indent(benchmark::State& state) {
  Loaded& loaded = LoadedAt(static_cast<int>(state.range(0)));
  tarvo::TopicNode* node = loaded.subtreeOf(20);
  while (node->previousSibling() == nullptr) node = node->nextSibling();
  const int at = loaded.displayIndexOf(node);
  for (auto _ : state) {
    loaded.workspace.moveSubtree(at, at, 1);
    Undo(state, loaded.workspace);
  }
}

void Outdent(benchmark::State& state) {
  Loaded& loaded = LoadedAt(static_cast<int>(state.range(0)));
  tarvo::TopicNode* node = loaded.subtreeOf(20);
  while (node->level() < 2) node = node->child(0);
  // As the outdent command does: in front of the parent's next sibling (or the end).
  tarvo::TopicNode* after = tarvo::TopicTree::nextAfterSubtree(node->parent());
  const int from = loaded.displayIndexOf(node);
  const int to = after == nullptr ? -1 : loaded.displayIndexOf(after);
  for (auto _ : state) {
    loaded.workspace.moveSubtree(from, to, -1);
    Undo(state, loaded.workspace);
  }
}

}  // namespace

BENCHMARK(RemoveAndUndo100Topics)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(DragSubtree)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Indent)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Outdent)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
