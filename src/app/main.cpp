// The program: arguments, the single-instance test, the main window.
//
//   tarvo [--program-folder DIR] [--report-startup] [--verbose] [--version] [--help]
//         [--view FILE...]
//
// --program-folder  where the shipped files are (default: beside the executable, or the
//                   installed ../share/tarvo)
// --report-startup  print "shown-at-ms=<epoch ms>" and "resident-kb=<memory in use>" once the
//                   window is shown, then close
// --verbose         print every line of the window's log on standard output as well
// --view            show each FILE in the viewer; when an instance runs already, it is asked
//                   to show them, and this start ends
//
// Exit status: 0 after a normal run or when another instance was woken instead; 1 when the
// program cannot make sure it is the only instance (its runtime folder or lock is unusable) or
// has no place for its data (neither HOMEDRIVE nor HOME is set).

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <unistd.h>


#include <cstdio>
#include <string_view>
#include <vector>

#include "base/version.h"
#include "platform/single_instance.h"
#include "ui/main/main_window.h"
#include "workspace/data_folders.h"

namespace {

// The memory the process holds in RAM now.
long ResidentKilobytes() {
  long pages = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    long size = 0;
    if (std::fscanf(statm, "%ld %ld", &size, &pages) != 2) pages = 0;
    std::fclose(statm);
  }
  return pages * (sysconf(_SC_PAGESIZE) / 1024);
}

// Says why the program cannot start: on standard error, and in a message box where someone
// can see one.
void ReportStartFailure(const std::string& reason) {
  const std::string text = "*** Tarvo cannot start: " + reason;
  std::fprintf(stderr, "%s\n", text.c_str());
  if (QGuiApplication::platformName() != "offscreen") {
    QMessageBox::critical(nullptr, tarvo::kProductName, QString::fromStdString(text));
  }
}

// The files named with --view and after it, with absolute paths: a running instance has
// another working folder.
std::vector<std::string> FilesToView(const QCommandLineParser& parser, const QCommandLineOption& view) {
  std::vector<std::string> files;
  if (!parser.isSet(view)) return files;
  for (const QString& name : parser.values(view) + parser.positionalArguments()) {
    files.push_back(QFileInfo(name).absoluteFilePath().toStdString());
  }
  return files;
}

}  // namespace

// True when the program is only asked for its version or its options: those are answered
// on the terminal, without a display.
bool OnlyAsksForText(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "--version" || word == "-v" || word == "--help" || word == "-h") return true;
  }
  return false;
}

int main(int argc, char* argv[]) {
  if (OnlyAsksForText(argc, argv)) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setApplicationName(tarvo::kProductName);
  QApplication::setApplicationVersion(tarvo::kProgramVersion);
  QApplication::setWindowIcon(tarvo::ProgramIcon());

  QCommandLineParser parser;
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption programFolder(
      "program-folder", "Folder of the shipped files.", "folder",
      QString::fromStdString(tarvo::FindProgramFolder(QApplication::applicationDirPath().toStdString())));
  const QCommandLineOption reportStartup("report-startup", "Print when the window is shown, then close.");
  const QCommandLineOption verbose("verbose", "Print the log's lines on standard output too.");
  parser.addOption(programFolder);
  parser.addOption(reportStartup);
  const QCommandLineOption view("view", "Show each file in the viewer.", "file");
  parser.addOption(verbose);
  parser.addOption(view);
  parser.addPositionalArgument("files", "With --view: more files to show.", "[files...]");
  parser.process(application);
  const std::vector<std::string> viewed = FilesToView(parser, view);

  const tarvo::ResultOf<std::string> home = tarvo::HomeDrive();
  if (!home) {
    ReportStartFailure(home.reason());
    return 1;
  }
  // Where the channels go when the usual runtime folder is not ours: a private folder inside
  // the data folder, the same for every start of this user.
  tarvo::SetFallbackChannelFolder(*home + "/$Tarvo/.run");
  tarvo::ChannelManager channels;
  tarvo::ChannelMessages requests;
  for (const std::string& path : viewed) {
    const tarvo::ResultOf<std::string> request = tarvo::ViewRequest(path);
    if (request) {
      requests.push_back(*request);
    } else {
      std::fprintf(stderr, "*** %s\n", request.reason().c_str());
    }
  }
  const tarvo::ResultOf<tarvo::InstanceCheck> instance = tarvo::BecomeTheOnlyInstance(channels, requests);
  if (!instance) {
    ReportStartFailure(instance.reason());
    return 1;
  }
  if (*instance == tarvo::InstanceCheck::AnotherRuns) return 0;

  tarvo::TformMain window(channels, *home, parser.value(programFolder).toStdString());
  if (parser.isSet(verbose)) window.echoLogTo(stdout);
  if (!window.listenForCommands()) return 0;
  window.start();
  window.show();
  if (!requests.empty()) window.handleCommands(requests);
  if (parser.isSet(reportStartup)) {
    QTimer::singleShot(0, &window, [&window] {
      std::printf("shown-at-ms=%lld\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
      std::printf("resident-kb=%ld\n", ResidentKilobytes());
      std::fflush(stdout);
      window.close();
    });
  }
  return QApplication::exec();
}
