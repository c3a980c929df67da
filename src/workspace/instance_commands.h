#pragma once

// The commands a running instance takes over its command channel: "wakeup" (come to the
// front), "close" (end the program; later lines are not carried out) and "run" (start a
// program) and "view" (show a file in the viewer). Other words are ignored.

#include <functional>
#include <string>
#include <vector>

#include "platform/process_helpers.h"

namespace tarvo {

struct InstanceCommandHandlers {
  std::function<void()> wake;
  std::function<void()> close;
  std::function<void(const RunRequest&)> run;
  std::function<void(const std::string& path)> view;
};

void DispatchInstanceCommands(const std::vector<std::string>& lines,
                              const InstanceCommandHandlers& handlers);

}  // namespace tarvo
