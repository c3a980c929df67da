#pragma once

// The software monitor's own log (VersionReg.log): one line per step, the date and time in
// the user's date order, one blank, the text.
//
// A line that cannot be written is handed to the failure sink (the main log), so a full disk
// never silently swallows what the monitor did.

#include <functional>
#include <string>

namespace tarvo {

class MonitorLog {
 public:
  MonitorLog(std::string path, int dateOrder);

  void LogMonitor(const std::string& text) const;
  void setFailureSink(std::function<void(const std::string&)> sink) { failureSink_ = std::move(sink); }
  void setDateOrder(int dateOrder) { dateOrder_ = dateOrder; }
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
  int dateOrder_;
  std::function<void(const std::string&)> failureSink_;
};

}  // namespace tarvo
