#include "workspace/main_log.h"

#include "store/data_file.h"
#include "store/file_system.h"
#include "base/date_text.h"

namespace tarvo {

void MainLog::write(const std::string& line) {
  if (!path_.empty()) AppendLine(path_, line);
  if (display_) display_(line);
}

void MainLog::LogMessage(const std::string& message) {
  write(DateTimeText(QDateTime(), dateFormat_) + "  " + message);
}

void MainLog::LogError(const std::string& message, const std::string& detail) {
  const std::string reason = detail.empty() ? LastErrorText() : detail;
  LogMessage(message);
  write(std::string(20, ' ') + reason);
}

}  // namespace tarvo
