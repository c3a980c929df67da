#include "platform/process_helpers.h"

#include <sys/resource.h>
#include <sys/utsname.h>

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include "store/line_split.h"
#include "base/date_text.h"

namespace tarvo {
namespace {

constexpr int kIdleNice = 19;
constexpr int kOpenerMilliseconds = 10000;

}  // namespace

Result RunProgram(const std::string& commandLine, bool wait, int timeoutMs, unsigned flags,
                  int /*showMode*/) {
  QStringList words = QProcess::splitCommand(QString::fromStdString(commandLine));
  if (words.isEmpty()) return Result::Failure("nothing to run: the command line is empty");
  const QString program = words.takeFirst();
  const bool idle = (flags & kIdlePriority) != 0;
  const QString found = QStandardPaths::findExecutable(program);
  if (found.isEmpty()) return Result::Failure("cannot run " + program.toStdString() + ": no such program");
  if (!wait) {
    // A detached start runs no code in the child, so the idle priority comes from nice(1).
    const bool started =
        idle ? QProcess::startDetached("nice", QStringList{"-n", QString::number(kIdleNice), found} + words)
             : QProcess::startDetached(found, words);
    return started ? Result() : Result::Failure("cannot start " + found.toStdString());
  }
  QProcess process;
  process.setProgram(found);
  process.setArguments(words);
  if (idle) {
    // Lowered in the child before the program runs, so it never runs at normal priority.
    process.setChildProcessModifier([] { setpriority(PRIO_PROCESS, 0, kIdleNice); });
  }
  process.start();
  if (!process.waitForStarted()) {
    return Result::Failure("cannot start " + found.toStdString() + ": " +
                           process.errorString().toStdString());
  }
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    return Result::Failure(found.toStdString() + " did not end within " +
                           std::to_string(timeoutMs) + " ms and was stopped");
  }
  return {};
}

Result OpenWithShell(const std::string& pathOrAddress) {
  const QString opener = QStandardPaths::findExecutable("xdg-open");
  if (opener.isEmpty()) {
    return Result::Failure("cannot open " + pathOrAddress + ": xdg-open is not installed");
  }
  QProcess process;
  process.start(opener, {QString::fromStdString(pathOrAddress)});
  if (!process.waitForStarted() || !process.waitForFinished(kOpenerMilliseconds)) {
    return Result::Failure("cannot open " + pathOrAddress + ": xdg-open did not finish");
  }
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    return Result::Failure("cannot open " + pathOrAddress + ": no program is set up to open it (xdg-open ended with " +
                           std::to_string(process.exitCode()) + ")");
  }
  return {};
}

std::string OsVersionText() {
  utsname name{};
  if (uname(&name) != 0) return {};
  std::string release = name.release;
  std::vector<std::string> parts;
  SplitDelimited(release, parts, '.');
  if (parts.size() < 2) return release;
  return std::to_string(DecimalOr(parts[0], 0)) + "." + std::to_string(DecimalOr(parts[1], 0));
}

RunRequest ParseRunRequest(const std::string& value) {
  std::vector<std::string> fields;
  SplitDelimited(value, fields, ',');
  fields.resize(std::max<std::size_t>(fields.size(), 7));
  RunRequest request;
  request.program = fields[0];
  request.parameters = fields[1];
  request.showWord = fields[2];
  request.control = fields[3];
  request.extra1 = fields[4];
  request.extra2 = fields[5];
  request.numberText = fields[6];
  request.number = DecimalOr(request.numberText, 0);
  request.showMode = request.showWord == "minimized" ? kShowMinimized
                     : request.showWord == "hidden"  ? kShowHidden
                                                     : kShowNormal;
  request.commandLine = "\"" + request.program + "\" \"" + request.parameters + "\"";
  return request;
}

ResultOf<bool> StartRunRequest(const RunRequest& request) {
  if (request.control == "controlled") return false;
  if (Result started = RunProgram(request.commandLine, false, 0, kIdlePriority, request.showMode); !started) {
    return started;
  }
  return true;
}

}  // namespace tarvo
