// The program: arguments, the single-instance test, the main window.
//
//   tarvo [--program-folder DIR] [--report-startup]
//
// --program-folder  where the shipped files are (default: the executable's folder)
// --report-startup  print "shown-at-ms=<epoch ms>" once the window is shown, then close

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QTimer>
#include <cstdio>

#include "workspace/data_folders.h"
#include "ui/main/main_window.h"
#include "platform/single_instance.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(tarvo::kProductName);

  QCommandLineParser parser;
  parser.addHelpOption();
  const QCommandLineOption programFolder("program-folder", "Folder of the shipped files.", "folder",
                                         QApplication::applicationDirPath());
  const QCommandLineOption reportStartup("report-startup", "Print when the window is shown, then close.");
  parser.addOption(programFolder);
  parser.addOption(reportStartup);
  parser.process(application);

  tarvo::ChannelManager channels;
  if (!tarvo::BecomeTheOnlyInstance(channels)) return 0;
  tarvo::TformMain window(channels, parser.value(programFolder).toStdString());
  if (!window.listenForCommands()) return 0;
  window.start();
  window.show();
  if (parser.isSet(reportStartup)) {
    QTimer::singleShot(0, &window, [&window] {
      std::printf("shown-at-ms=%lld\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
      std::fflush(stdout);
      window.close();
    });
  }
  return QApplication::exec();
}
