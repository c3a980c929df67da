#include "platform/single_instance.h"

namespace tarvo {

bool BecomeTheOnlyInstance(ChannelManager& channels) {
  if (!CreateMarkerChannel(channels, kMarkerChannel)) return true;
  const Channel running(kCommandChannel);
  if (PipeExists(running)) SendToChannel(running, &channels, {"wakeup=now"});
  return false;
}

ChannelCommand SplitCommand(const std::string& line) {
  const auto equals = line.find('=');
  if (equals == std::string::npos) return {line, {}};
  return {line.substr(0, equals), line.substr(equals + 1)};
}

}  // namespace tarvo
