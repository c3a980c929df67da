// Receiving from colleagues: a send file of 1,000 topics, each with a pages file, a note and a
// checklist, merged into a tree of 10,000 topics (saved before the send file is deleted); and
// the inbox check every few seconds when nothing new has come.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "workspace/topic_exchange.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvo;

constexpr int kSentTopics = 1000;
constexpr int kReceiverTopics = 10000;

void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string ReceiverTree() {
  std::string text = "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nexp=Y\r\nsys=Y\r\nsend=Y\r\n";
  for (int i = 0; i < kReceiverTopics; ++i) {
    text += "uni=" + std::to_string(100 + i) + "\r\ntext=Topic " + std::to_string(i) + "\r\nlev=" +
            std::to_string(1 + i % 3) + "\r\ntype=1\r\nttype=4\r\nstatus=1\r\n";
  }
  return text;
}

// The inbox a colleague's send of 1,000 topics leaves: send file, pages files, notes, checklists.
void FillInbox(const fs::path& inbox, bool withPages) {
  fs::create_directories(inbox);
  std::string send = "uni=-1\r\ntext=From: Ann - 20260305-090703\r\nlev=1\r\ntype=1\r\nttype=2\r\n";
  for (int i = 0; i < kSentTopics; ++i) {
    const std::string id = "ann-" + std::to_string(5000 + i);
    send += "uni=" + id + "\r\ntext=Sent topic " + std::to_string(i) + "\r\nlev=" + std::to_string(i == 0 ? 2 : 3) +
            "\r\ntype=1\r\nttype=4\r\nstatus=2\r\npr%=30\r\ndl=Y\r\ndlDate=20270101\r\nfrom=Ann\r\nsent=20260305-090703\r\n";
    if (!withPages) continue;
    Write(inbox / (id + ".pkt"), "con=0\r\nuni=1\r\nfile=" + id + "-1.txt\r\ncon=1\r\nuni=2\r\nfile=" + id + "-2.lst\r\n");
    Write(inbox / (id + "-1.txt"), "{\\rtf1\\ansi A note of a few words for topic " + std::to_string(i) + ".\\par}");
    Write(inbox / (id + "-2.lst"), "item=First step\r\nitem=Second step\r\n");
  }
  Write(inbox / "ann-20260305-090703.str", send);
}

struct Receiver {
  QTemporaryDir home;
  QTemporaryDir program;
  QTemporaryDir shared;
  DataFolders folders = DataFolders::For(home.path().toStdString(), program.path().toStdString());
  Workspace workspace;
  MainLog log;
  TopicExchange exchange{workspace, log, folders};
  ExchangeIdentity self{shared.path().toStdString(), "Bob"};

  Receiver() {
    if (!folders.createFolders()) std::abort();
    Write(fs::path(folders.data) / "Structure.dat", ReceiverTree());
    Write(fs::path(folders.data) / "StructUnique.dat", "00090000");
    if (!workspace.loadStructure(folders.data, folders.program).loaded()) std::abort();
    workspace.buildTree(Moment::Now());
    workspace.setPageFolders({folders.packs, folders.checklists, folders.notes});
    fs::create_directories(fs::path(self.sharedFolder) / "bob-Inbox");
  }
};

// state.range(0): 1 with a pages file, a note and a checklist per topic, 0 without.
void BM_Receive1000Topics(benchmark::State& state) {
  // Every receiver and its inbox is made before the first timed receive, so the timing holds
  // only the receive and not the file system's work of making and removing the setups.
  constexpr int kRuns = 8;
  QTemporaryDir prepared;
  FillInbox(fs::path(prepared.path().toStdString()), state.range(0) == 1);
  std::vector<std::unique_ptr<Receiver>> receivers;
  for (int i = 0; i < kRuns; ++i) {
    receivers.push_back(std::make_unique<Receiver>());
    fs::copy(prepared.path().toStdString(), fs::path(receivers.back()->self.sharedFolder) / "bob-Inbox");
  }
  ::sync();  // the setups' files on disk first: the receive's one flush is its own work only
  std::size_t next = 0;
  for (auto _ : state) {
    Receiver& receiver = *receivers[next++];
    const ReceiveOutcome outcome = receiver.exchange.receive(receiver.self);
    if (outcome.sendFiles != 1 || receiver.workspace.master().size() != kReceiverTopics + 1 + kSentTopics + 1) {
      state.SkipWithError("the send file was not merged whole");
    }
  }
}
BENCHMARK(BM_Receive1000Topics)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_InboxCheckWithNothingNew(benchmark::State& state) {
  Receiver receiver;
  for (auto _ : state) {
    benchmark::DoNotOptimize(receiver.exchange.receive(receiver.self));
  }
}
BENCHMARK(BM_InboxCheckWithNothingNew)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
