#include "platform/single_instance.h"

namespace tarvo {

ResultOf<InstanceCheck> BecomeTheOnlyInstance(ChannelManager& channels) {
  ResultOf<bool> held = CreateMarkerChannel(channels, kMarkerChannel);
  if (!held) return held.status();
  if (!*held) return InstanceCheck::OnlyInstance;
  const Channel running(kCommandChannel);
  if (PipeExists(running)) SendToChannel(running, &channels, {"wakeup=now"});
  return InstanceCheck::AnotherRuns;
}

ChannelCommand SplitCommand(const std::string& line) {
  const auto equals = line.find('=');
  if (equals == std::string::npos) return {line, {}};
  return {line.substr(0, equals), line.substr(equals + 1)};
}

}  // namespace tarvo
