// One colleague of the exchange trial, as a program of its own: it owns a data folder with
// `topics` topics of its own, sends each of them in turn to all its colleagues, merges what
// arrives in its inbox, and ends (exit 0) once it has sent every topic and holds every topic of
// every colleague. It may be killed at any moment and started again: what it has sent is kept
// in "next.txt", what it has received in its structure file.
//
// Usage: exchange_instance HOME SHARED USER COLLEAGUE,COLLEAGUE,... TOPICS

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>
#include <cstdio>
#include <string>
#include <vector>

#include "sharing/exchange_names.h"
#include "store/file_system.h"
#include "store/pair_file.h"
#include "workspace/topic_exchange.h"

namespace {

using namespace tarvo;

void WriteWhole(const std::string& path, const std::string& bytes) {
  if (!SaveBytesThrough(path + ".tmp", path, bytes, 0)) std::exit(3);
  (void)fileSystem().remove(path + ".tmp");
}

std::string OwnTree(const std::string& user, int topics) {
  std::string text = "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nexp=Y\r\nsys=Y\r\nsend=Y\r\n";
  for (int i = 1; i <= topics; ++i) {
    text += "uni=" + std::to_string(i) + "\r\ntext=" + user + " topic " + std::to_string(i) + "\r\nlev=1\r\ntype=1\r\nttype=2\r\n";
  }
  return text;
}

bool HoldsEveryTopicOf(const Workspace& workspace, const std::vector<std::string>& colleagues, int topics) {
  for (const std::string& colleague : colleagues) {
    for (int i = 1; i <= topics; ++i) {
      if (workspace.master().recordOf(ExchangePrefix(colleague) + std::to_string(i)) == nullptr) return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc != 6) {
    std::fprintf(stderr, "usage: exchange_instance HOME SHARED USER COLLEAGUES TOPICS\n");
    return 2;
  }
  const std::string home = argv[1];
  const ExchangeIdentity self{argv[2], argv[3]};
  std::vector<std::string> colleagues;
  for (const QString& name : QString(argv[4]).split(',', Qt::SkipEmptyParts)) colleagues.push_back(name.toStdString());
  const int topics = std::stoi(argv[5]);

  DataFolders folders = DataFolders::For(home, home);
  if (!folders.createFolders()) return 3;
  const std::string structure = JoinPath(folders.data, "Structure.dat");
  if (!fileSystem().exists(structure)) {
    WriteWhole(JoinPath(folders.data, "StructUnique.dat"), "00090000");
    WriteWhole(structure, OwnTree(self.userName, topics));
  }
  Workspace workspace;
  if (!workspace.loadStructure(folders.data, folders.program).loaded()) return 4;
  workspace.buildTree(Moment::Now());
  workspace.setPageFolders({folders.packs, folders.checklists, folders.notes});
  MainLog log;
  log.setPath(folders.mainLog);
  TopicExchange exchange(workspace, log, folders);

  std::vector<std::string> users{self.userName};
  users.insert(users.end(), colleagues.begin(), colleagues.end());
  const std::string progress = JoinPath(home, "next.txt");
  ResultOf<std::string> sent = ReadWholeFile(progress);
  int next = std::max(1, sent ? std::atoi(sent->c_str()) : 1);
  const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + 120000;
  while (QDateTime::currentMSecsSinceEpoch() < deadline) {
    (void)exchange.receive(self);
    if (next <= topics) {
      TopicNode* node = workspace.master().recordOf(std::to_string(next))->treeNode;
      if (exchange.send(node, users, -1, false, self) == ExchangeSound::Sent) WriteWhole(progress, std::to_string(++next));
    } else if (HoldsEveryTopicOf(workspace, colleagues, topics)) {
      return workspace.saveStructureIfChanged() ? 0 : 5;
    }
  }
  return 6;  // ran out of time
}
