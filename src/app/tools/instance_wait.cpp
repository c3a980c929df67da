#include "app/tools/instance_wait.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstdlib>

#include "platform/channel.h"
#include "platform/process_helpers.h"
#include "platform/single_instance.h"

namespace tarvo {
namespace {

constexpr int kPollMilliseconds = 200;

}  // namespace

void UseProgramChannelFallback() {
  const char* home = std::getenv("HOMEDRIVE");
  if (home == nullptr || *home == '\0') home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') SetFallbackChannelFolder(std::string(home) + "/$Tarvo/.run");
}

ResultOf<bool> WaitUntilNoInstance(int seconds) {
  const QDeadlineTimer deadline{std::chrono::seconds{seconds}};
  for (;;) {
    {
      ChannelManager probe;
      const ResultOf<bool> held = CreateMarkerChannel(probe, kMarkerChannel);
      if (!held) return held.status();
      if (!*held) return true;  // taken, so nobody holds it; let go as `probe` ends
    }
    if (deadline.hasExpired()) return false;
    QThread::msleep(kPollMilliseconds);
  }
}

Result StartCommandLine(const std::string& commandLine) {
  const QFileInfo whole(QString::fromStdString(commandLine));
  if (whole.isFile() && whole.isExecutable()) {
    return QProcess::startDetached(whole.absoluteFilePath(), {}) ? Result()
                                                                  : Result::Failure("cannot start " + commandLine);
  }
  return RunProgram(commandLine, false, 0, kNoProcessFlags, kShowNormal);
}

}  // namespace tarvo
