// lanvire: the launcher. Starts every command line of a command list, so one entry in the
// desktop's start-up can bring up several programs.
//
//   lanvire commandlist=FILE
//
// Exit status: 0 when every line started, 1 when the list cannot be read or a line did not
// start (the others still are), 2 for bad arguments.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>

#include "app/tools/helper_arguments.h"
#include "app/tools/instance_wait.h"

namespace {

// FILE as given when it names a folder; else beside the launcher, then in the data folder.
QString FindCommandList(const std::string& name) {
  const QString given = QString::fromStdString(name);
  if (given.contains('/')) return given;
  const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(given);
  if (QFile::exists(beside)) return beside;
  const char* home = std::getenv("HOMEDRIVE");
  if (home == nullptr || *home == '\0') home = std::getenv("HOME");
  return home != nullptr ? QDir(QString::fromLocal8Bit(home) + "/$Tarvo").filePath(given) : beside;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const tarvo::ResultOf<std::string> listName = tarvo::ParseLauncherArguments(arguments);
  if (!listName) {
    std::fprintf(stderr, "lanvire: %s\nusage: lanvire commandlist=FILE\n", listName.reason().c_str());
    return 2;
  }
  QFile list(FindCommandList(*listName));
  if (!list.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "lanvire: cannot read %s: %s\n", qPrintable(list.fileName()), qPrintable(list.errorString()));
    return 1;
  }
  int status = 0;
  for (const std::string& line : tarvo::CommandLinesOf(list.readAll().toStdString())) {
    if (tarvo::Result started = tarvo::StartCommandLine(line); !started) {
      std::fprintf(stderr, "lanvire: %s\n", started.reason().c_str());
      status = 1;
    }
  }
  return status;
}
