#include "monitor/monitor_log.h"

#include "base/date_text.h"
#include "store/data_file.h"

namespace tarvo {

MonitorLog::MonitorLog(std::string path, int dateOrder) : path_(std::move(path)), dateOrder_(dateOrder) {}

void MonitorLog::LogMonitor(const std::string& text) const {
  const Result appended = AppendLine(path_, DateTimeText(QDateTime(), dateOrder_) + " " + text);
  if (!appended && failureSink_) failureSink_("*** The update log cannot be written: " + appended.reason());
}

}  // namespace tarvo
