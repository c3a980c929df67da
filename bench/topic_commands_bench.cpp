// Every kind of topic command as a user gives it in the window: through the workspace, with
// the item model and a tree view attached (as the main window has them), at 100,000 and at
// 1,000,000 topics. One iteration is the command, its undo and its redo (then an untimed undo
// restores the start), so the time per iteration over three is the time of one step.
// A last benchmark gives 10,000 commands and their 10,000 undos and reports the memory.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "structure_generator.h"
#include "ui/main/topic_item_delegate.h"
#include "ui/main/topic_options_dialog.h"
#include "ui/main/topic_tree_model.h"
#include "workspace/workspace.h"

namespace {

using tarvo::TopicNode;
using tarvo::Workspace;

const QDateTime kClick(QDate(2026, 12, 5), QTime(12, 0));

double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

struct Shown {
  QTemporaryDir folder;
  Workspace workspace;
  std::unique_ptr<tarvo::TopicTreeModel> model;
  std::unique_ptr<QTreeView> view;

  explicit Shown(int topics) {
    const std::string data = folder.path().toStdString();
    tarvo::bench::MakeStructureFile(data + "/Structure.dat", topics);
    model = std::make_unique<tarvo::TopicTreeModel>(workspace);
    if (!workspace.loadStructure(data, data).loaded()) std::abort();
    workspace.buildTree(tarvo::Moment::At(kClick));
    view = std::make_unique<QTreeView>();
    view->setUniformRowHeights(true);
    view->setModel(model.get());
    view->setItemDelegate(new tarvo::TopicItemDelegate(view.get()));
    view->resize(800, 600);
    view->show();
    model->openLikeTheTree(*view);  // as the main window does
    QApplication::processEvents();
  }

  // A task deep in the last quarter of the tree (so finding its place costs the most), with a
  // previous sibling and sub-tasks.
  TopicNode* busyTopic() {
    const std::vector<TopicNode*> order = workspace.tree().displayOrder();
    for (std::size_t i = order.size() * 3 / 4; i < order.size(); ++i) {
      TopicNode* node = order[i];
      if (node->level() >= 2 && node->previousSibling() != nullptr && node->nextSibling() != nullptr &&
          node->hasChildren() && node->record->type == tarvo::kMainSection) {
        return node;
      }
    }
    std::abort();
  }
};

// The trees on show, made once per size; emptied before the application ends, since their
// views must go while it still exists.
std::map<int, std::unique_ptr<Shown>>& AllShown() {
  static std::map<int, std::unique_ptr<Shown>> shown;
  return shown;
}

Shown& ShownAt(int topics) {
  auto& slot = AllShown()[topics];
  if (!slot) slot = std::make_unique<Shown>(topics);
  return *slot;
}

using Command = std::function<bool(Workspace&, TopicNode*)>;

void Run(benchmark::State& state, const Command& command) {
  Shown& shown = ShownAt(static_cast<int>(state.range(0)));
  TopicNode* node = shown.busyTopic();
  QUndoStack& stack = shown.workspace.undoStack();
  for (auto _ : state) {
    if (!command(shown.workspace, node)) {
      state.SkipWithError("the command did nothing");
      break;
    }
    stack.undo();
    stack.redo();
    state.PauseTiming();
    stack.undo();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}

void AddTopic(benchmark::State& s) { Run(s, [](Workspace& w, TopicNode* n) { return w.addTopic(n, false, kClick).ok(); }); }
void AddSubTopic(benchmark::State& s) { Run(s, [](Workspace& w, TopicNode* n) { return w.addTopic(n, true, kClick).ok(); }); }
void Rename(benchmark::State& s) { Run(s, [](Workspace& w, TopicNode* n) { return w.renameTopic(n, "Renamed"); }); }
void Indent(benchmark::State& s) { Run(s, [](Workspace& w, TopicNode* n) { return w.indent(n); }); }
void Outdent(benchmark::State& s) { Run(s, [](Workspace& w, TopicNode* n) { return w.outdent(n); }); }
void MoveDown(benchmark::State& s) { Run(s, [](Workspace& w, TopicNode* n) { return w.moveAmongSiblings(n, +1); }); }
void Drop(benchmark::State& s) {
  Run(s, [](Workspace& w, TopicNode* n) { return w.dropOnto(n, n->parent()->child(0)); });
}
void SortSubTopics(benchmark::State& s) {
  Run(s, [](Workspace& w, TopicNode* n) { return w.sortChildren(n, tarvo::ChildOrder::DaysDue); });
}
void Remove(benchmark::State& s) { Run(s, [](Workspace& w, TopicNode* n) { return w.removeSubtree(n); }); }
void TypeIdea(benchmark::State& s) {
  Run(s, [](Workspace& w, TopicNode* n) { return w.setChosenType(n, tarvo::kIdeaTopic); });
}
void StatusOnHold(benchmark::State& s) {
  Run(s, [](Workspace& w, TopicNode* n) {
    // A task that is not driven by its sub-tasks, whatever the generated topic was.
    n->record->ttype = tarvo::kTask;
    n->record->calpr = false;
    if (n->record->status == tarvo::kNoStatus || n->record->status == tarvo::kFinished) n->record->status = tarvo::kNotStarted;
    return w.setTaskStatus(n, n->record->status == tarvo::kOnHold ? tarvo::kWaiting : tarvo::kOnHold, kClick);
  });
}
void Urgent(benchmark::State& s) {
  Run(s, [](Workspace& w, TopicNode* n) { return w.setUrgent(n, !n->record->urgent); });
}
void Favourite(benchmark::State& s) { Run(s, [](Workspace& w, TopicNode* n) { return w.toggleFavourite(n); }); }

// 10,000 commands then 10,000 undos: the memory after the undos, against where it started.
void TenThousandCommandsAndUndos(benchmark::State& state) {
  Shown& shown = ShownAt(100000);
  TopicNode* node = shown.busyTopic();
  QUndoStack& stack = shown.workspace.undoStack();
  double start = 0, afterCommands = 0, afterUndos = 0;
  for (auto _ : state) {
    stack.clear();
    QApplication::processEvents();
    start = ResidentMegabytes();
    for (int i = 0; i < 10000; ++i) {
      const bool done = i % 2 == 0 ? shown.workspace.addTopic(node, true, kClick).ok()
                                   : shown.workspace.toggleFavourite(node);
      if (!done) state.SkipWithError("a command did nothing");
    }
    afterCommands = ResidentMegabytes();
    while (stack.canUndo()) stack.undo();
    afterUndos = ResidentMegabytes();
  }
  state.counters["start_MB"] = start;
  state.counters["after_commands_MB"] = afterCommands;
  state.counters["after_undos_MB"] = afterUndos;
}

// The clock's pass over every dated topic and the dashboard's lists rebuilt, as the deadline
// timer and the summary button do.
void DeadlinePassAndDashboard(benchmark::State& state) {
  Shown& shown = ShownAt(static_cast<int>(state.range(0)));
  int day = 0;
  for (auto _ : state) {
    const tarvo::Moment later = tarvo::Moment::At(kClick.addSecs(60L * (++day % 1440)));
    shown.workspace.deadlinePass(later);
    shown.workspace.rebuildDashboard();
  }
}

// The two parts apart: the clock's pass, and the lists.
void DeadlinePassOnly(benchmark::State& state) {
  Shown& shown = ShownAt(static_cast<int>(state.range(0)));
  int minute = 0;
  for (auto _ : state) shown.workspace.deadlinePass(tarvo::Moment::At(kClick.addSecs(60L * (++minute % 1440))));
}

void DashboardOnly(benchmark::State& state) {
  Shown& shown = ShownAt(static_cast<int>(state.range(0)));
  for (auto _ : state) shown.workspace.rebuildDashboard();
}

// The options dialog made and shown for a topic, as "Edit details" opens it.
void OpenOptionsDialog(benchmark::State& state) {
  Shown& shown = ShownAt(static_cast<int>(state.range(0)));
  TopicNode* node = shown.busyTopic();
  for (auto _ : state) {
    tarvo::TformProgress dialog(*node->record, node->hasChildren(), true, 0);
    dialog.show();
    QApplication::processEvents();
  }
}

// A screen of rows painted, with the "Due" and "Status" columns drawn by the delegate.
void RepaintAScreen(benchmark::State& state) {
  Shown& shown = ShownAt(static_cast<int>(state.range(0)));
  for (auto _ : state) shown.view->viewport()->repaint();
}

}  // namespace

BENCHMARK(DeadlinePassAndDashboard)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(DeadlinePassOnly)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(DashboardOnly)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenOptionsDialog)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintAScreen)->Arg(100000)->Unit(benchmark::kMillisecond);

#define TOPIC_COMMAND(name) BENCHMARK(name)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
TOPIC_COMMAND(AddTopic);
TOPIC_COMMAND(AddSubTopic);
TOPIC_COMMAND(Rename);
TOPIC_COMMAND(Indent);
TOPIC_COMMAND(Outdent);
TOPIC_COMMAND(MoveDown);
TOPIC_COMMAND(Drop);
TOPIC_COMMAND(SortSubTopics);
TOPIC_COMMAND(Remove);
TOPIC_COMMAND(TypeIdea);
TOPIC_COMMAND(StatusOnHold);
TOPIC_COMMAND(Urgent);
TOPIC_COMMAND(Favourite);
BENCHMARK(TenThousandCommandsAndUndos)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  AllShown().clear();
  return 0;
}
