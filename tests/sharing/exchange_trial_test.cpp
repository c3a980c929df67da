#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <filesystem>
#include <map>
#include <memory>

#include "sharing/exchange_names.h"
#include "sharing/send_file.h"
#include "structure/structure_file.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

constexpr int kTopics = 300;
constexpr int kKillEverySends = 60;  // sends of all three together between two kills
const std::vector<std::string> kNames{"Ann", "Bob", "Carl"};

struct Colleague {
  std::string name;
  test::TempFolder home;
  std::unique_ptr<QProcess> process;
  bool finished = false;
  int starts = 0;

  int sent() const { return std::atoi(test::ReadBytes(home.file("next.txt")).c_str()); }
};

std::map<std::string, int> IdCounts(const std::string& home) {
  Structure master;
  const StructureLoad load = LoadStructure(master, JoinPath(JoinPath(home, "$Tarvo"), "Structure.dat"));
  EXPECT_TRUE(load.loaded()) << load.message;
  std::map<std::string, int> counts;
  for (std::size_t i = 0; i < master.size(); ++i) ++counts[master.record(i)->uni.str()];
  return counts;
}

// Three colleagues send 300 topics each to the other two, one topic per send, while one of
// them after another is killed without warning every 60 sends and started again. Kills come by
// progress, not by the clock, so the trial is the same on a fast machine and a slow one.
TEST(ExchangeTrial, ColleaguesKilledAgainAndAgainEndWithEveryTopicExactlyOnce) {
  test::TempFolder shared;
  std::vector<std::unique_ptr<Colleague>> colleagues;
  for (const std::string& name : kNames) {
    colleagues.push_back(std::make_unique<Colleague>());
    colleagues.back()->name = name;
  }
  const auto start = [&](Colleague& colleague) {
    QStringList others;
    for (const std::string& name : kNames) {
      if (name != colleague.name) others << QString::fromStdString(name);
    }
    colleague.process = std::make_unique<QProcess>();
    colleague.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    colleague.process->start(TARVO_EXCHANGE_INSTANCE,
                             {QString::fromStdString(colleague.home.path()), QString::fromStdString(shared.path()),
                              QString::fromStdString(colleague.name), others.join(','), QString::number(kTopics)});
    ASSERT_TRUE(colleague.process->waitForStarted());
    ++colleague.starts;
  };
  for (auto& colleague : colleagues) start(*colleague);

  int kills = 0;
  std::size_t victim = 0;
  QElapsedTimer sinceStart;
  sinceStart.start();
  const auto allFinished = [&] {
    return std::all_of(colleagues.begin(), colleagues.end(), [](const auto& c) { return c->finished; });
  };
  while (!allFinished() && sinceStart.elapsed() < 240000) {  // a hang guard, not a measure
    for (auto& colleague : colleagues) {
      if (colleague->finished || colleague->process->state() != QProcess::NotRunning) continue;
      ASSERT_EQ(colleague->process->exitStatus(), QProcess::NormalExit) << colleague->name << " crashed";
      ASSERT_EQ(colleague->process->exitCode(), 0) << colleague->name << " failed";
      colleague->finished = true;
    }
    int sent = 0;
    for (const auto& colleague : colleagues) sent += colleague->sent();
    if (sent >= (kills + 1) * kKillEverySends) {
      for (std::size_t tries = 0; tries < colleagues.size(); ++tries, victim = (victim + 1) % colleagues.size()) {
        Colleague& target = *colleagues[victim];
        if (target.finished || target.process->state() == QProcess::NotRunning) continue;
        target.process->kill();  // SIGKILL: no saving, no cleaning up
        target.process->waitForFinished();
        start(target);
        ++kills;
        break;
      }
      victim = (victim + 1) % colleagues.size();
    }
    // QProcess learns of an ended child only while it waits (there is no event loop here).
    for (auto& colleague : colleagues) {
      if (!colleague->finished) colleague->process->waitForFinished(10);
    }
  }
  ASSERT_TRUE(allFinished()) << "the trial did not end";
  EXPECT_GE(kills, 5);
  RecordProperty("kills", kills);

  for (const auto& colleague : colleagues) {
    const std::map<std::string, int> counts = IdCounts(colleague->home.path());
    for (const std::string& name : kNames) {
      for (int i = 1; i <= kTopics; ++i) {
        const std::string id = name == colleague->name ? std::to_string(i) : ExchangePrefix(name) + std::to_string(i);
        const auto found = counts.find(id);
        ASSERT_TRUE(found != counts.end() && found->second == 1)
            << colleague->name << " holds " << id << " " << (found == counts.end() ? 0 : found->second) << " times";
      }
    }
  }
  // Whatever is still in an inbox under a real name (a send repeated after a kill, arriving
  // after its receiver ended) is whole.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(shared.path())) {
    const std::string name = entry.path().filename();
    if (!name.ends_with(".str")) continue;
    const ResultOf<ReceivedFile> read = ReadSendFile(entry.path());
    EXPECT_TRUE(read) << name << ": " << read.reason();
  }
}

}  // namespace
}  // namespace tarvo
