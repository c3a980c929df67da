// A registered product for the update test: it serves its command channel, says it has
// started, and ends when it is asked to close.
//
//   monitor_product_stub <channel name> <folder for its marker files>

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include "platform/channel.h"

namespace {

void Mark(const QString& path) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write("yes\n");
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  if (argc != 3) return 2;
  const QString folder = QString::fromLocal8Bit(argv[2]);
  tarvo::ChannelManager channels;
  const bool taken = tarvo::CreateServerChannel(channels, argv[1], [&](const tarvo::ChannelMessages& lines) {
    for (const std::string& line : lines) {
      if (line != "close") continue;
      Mark(folder + "/closed");
      QCoreApplication::quit();
    }
  });
  if (taken) return 1;
  Mark(folder + "/started");
  QTimer::singleShot(120000, &application, &QCoreApplication::quit);  // never outlives its test
  return QCoreApplication::exec();
}
