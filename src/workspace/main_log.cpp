#include "workspace/main_log.h"

#include "store/data_file.h"
#include "base/date_text.h"

namespace tarvo {

void MainLog::write(const std::string& line) {
  // A log line that cannot reach the file still reaches the screen, saying why; the file is
  // not tried again for that one line, so a full disk cannot make the log recurse.
  if (!path_.empty()) {
    if (Result appended = AppendLine(path_, line); !appended && display_) {
      display_("*** The log file cannot be written: " + appended.reason());
    }
  }
  if (display_) display_(line);
}

void MainLog::LogMessage(const std::string& message) {
  write(DateTimeText(QDateTime(), dateFormat_) + "  " + message);
}

void MainLog::LogError(const std::string& message, const std::string& detail) {
  LogMessage(message);
  write(std::string(20, ' ') + detail);
}

bool MainLog::Report(const Result& result, const std::string& message) {
  if (!result) {
    LogError(message, result.reason());
  } else if (!result.note().empty()) {
    LogMessage(result.note());
  }
  return result.ok();
}

}  // namespace tarvo
