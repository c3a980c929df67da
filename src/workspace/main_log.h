#pragma once

// The main log: MainLog.txt in the data folder and the log pane of the main window.
// Each entry is one line "<date and time in the user's order>  <message>"; an error adds a
// second line of twenty blanks and the detail.
//
// Threading: user-interface thread only; other threads hand their lines over first.

#include <functional>
#include <string>

#include "base/result.h"

namespace tarvo {

class MainLog {
 public:
  using Display = std::function<void(const std::string& line)>;

  void setPath(std::string path) { path_ = std::move(path); }
  void setDateFormat(int dateFormat) { dateFormat_ = dateFormat; }
  // Where lines are shown as well as written (the window's log pane).
  void setDisplay(Display display) { display_ = std::move(display); }

  void LogMessage(const std::string& message);
  // For "*** " messages, with the reason on the second line.
  void LogError(const std::string& message, const std::string& detail);
  // Logs a failed result as an error under `message`, or a success's note; returns ok().
  bool Report(const Result& result, const std::string& message);

 private:
  void write(const std::string& line);

  std::string path_;
  int dateFormat_ = 0;
  Display display_;
};

}  // namespace tarvo
