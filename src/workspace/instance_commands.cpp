#include "workspace/instance_commands.h"

#include "platform/single_instance.h"

namespace tarvo {

void DispatchInstanceCommands(const std::vector<std::string>& lines,
                              const InstanceCommandHandlers& handlers) {
  for (const std::string& line : lines) {
    const ChannelCommand command = SplitCommand(line);
    if (command.word == "wakeup") {
      if (handlers.wake) handlers.wake();
    } else if (command.word == "close") {
      if (handlers.close) handlers.close();
      return;
    } else if (command.word == "run") {
      if (handlers.run) handlers.run(ParseRunRequest(command.value));
    } else if (command.word == "view") {
      if (handlers.view && !command.value.empty()) handlers.view(command.value);
    }
  }
}

}  // namespace tarvo
