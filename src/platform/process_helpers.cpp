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

bool RunProgram(const std::string& commandLine, bool wait, int timeoutMs, unsigned flags,
                int /*showMode*/) {
  QStringList words = QProcess::splitCommand(QString::fromStdString(commandLine));
  if (words.isEmpty()) return false;
  const QString program = words.takeFirst();
  const bool idle = (flags & kIdlePriority) != 0;
  if (!wait) {
    // A detached start runs no code in the child, so the idle priority comes from nice(1).
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty()) return false;
    if (!idle) return QProcess::startDetached(found, words);
    return QProcess::startDetached("nice", QStringList{"-n", QString::number(kIdleNice), found} + words);
  }
  QProcess process;
  process.setProgram(program);
  process.setArguments(words);
  if (idle) {
    // Lowered in the child before the program runs, so it never runs at normal priority.
    process.setChildProcessModifier([] { setpriority(PRIO_PROCESS, 0, kIdleNice); });
  }
  process.start();
  if (!process.waitForStarted()) return false;
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    return false;
  }
  return true;
}

bool OpenWithShell(const std::string& pathOrAddress) {
  QProcess opener;
  opener.start("xdg-open", {QString::fromStdString(pathOrAddress)});
  if (!opener.waitForStarted() || !opener.waitForFinished(kOpenerMilliseconds)) return false;
  return opener.exitStatus() == QProcess::NormalExit && opener.exitCode() == 0;
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

bool StartRunRequest(const RunRequest& request) {
  if (request.control == "controlled") return false;
  return RunProgram(request.commandLine, false, 0, kIdlePriority, request.showMode);
}

}  // namespace tarvo
